' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
s = COPY("abc", 1, -1)
PRINT("after")
' expect error: Invalid function call: COPY("abc", 1, -1)
' expect line: 4
