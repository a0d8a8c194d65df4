x = 0 / 0
' expect error: Invalid expression: 0 / 0
