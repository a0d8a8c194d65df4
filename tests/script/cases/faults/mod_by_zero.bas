y = 0
x = 7 MOD y
' expect error: Division by zero: 7 MOD y
' expect line: 2
