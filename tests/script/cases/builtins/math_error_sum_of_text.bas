' The failing call ends the run with its message; nothing after it runs.
PRINT("before")
' expect: before
y = SUM(1, "two")
PRINT("after")
' expect error: Convert error: SUM
' expect line: 4
