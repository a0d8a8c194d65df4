' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
y = LOG(0)
PRINT("after")
' expect error: Invalid operation: LOG(0)
' expect line: 4
