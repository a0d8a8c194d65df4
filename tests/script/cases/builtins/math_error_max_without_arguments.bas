' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
y = MAX()
PRINT("after")
' expect error: Invalid function call: MAX()
' expect line: 4
