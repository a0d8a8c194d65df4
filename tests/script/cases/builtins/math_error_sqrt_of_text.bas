' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
y = SQRT("four")
PRINT("after")
' expect error: Convert error: SQRT
' expect line: 4
