x = 7 DIV 0
' expect error: Division by zero: 7 DIV 0
