' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
y = ARCSIN(2)
PRINT("after")
' expect error: Invalid operation: ARCSIN(2)
' expect line: 4
