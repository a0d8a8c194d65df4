' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
y = 2 * LN(0)
PRINT("after")
' expect error: Invalid operation: 2 * LN(0)
' expect line: 4
