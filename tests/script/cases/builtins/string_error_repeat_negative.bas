' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
s = STRINGREPEAT("ab", -1)
PRINT("after")
' expect error: Invalid function call: STRINGREPEAT("ab", -1)
' expect line: 4
