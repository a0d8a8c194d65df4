' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
y = POWER(-8, 1 / 3)
PRINT("after")
' expect error: Invalid operation: POWER(-8, 1 / 3)
' expect line: 4
