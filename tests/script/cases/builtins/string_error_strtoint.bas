' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
n = STRTOINT("12x")
PRINT("after")
' expect error: Convert error: STRTOINT
' expect line: 4
