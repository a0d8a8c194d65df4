' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
s = STRINGREPEAT("abc", 100000000)
PRINT("after")
' expect error: Invalid function call: STRINGREPEAT("abc", 100000000)
' expect line: 4
