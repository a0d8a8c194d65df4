' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
x = SQRT(-1)
PRINT("after")
' expect error: Invalid operation: SQRT(-1)
' expect line: 4
