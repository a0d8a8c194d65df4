print("a")
x = 1 / 0
' expect: a
' expect error: Division by zero: 1 / 0
' expect line: 2
