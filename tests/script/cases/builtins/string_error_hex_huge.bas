' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
s = INTTOHEXN(1, 300000000)
PRINT("after")
' expect error: Invalid function call: INTTOHEXN(1, 300000000)
' expect line: 4
