' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
s = LEFT("abc")
PRINT("after")
' expect error: Invalid function call: LEFT("abc")
' expect line: 4
