' ln(0) inside "^" is a division by zero
x = 0 ^ 2
' expect error: Division by zero: 0 ^ 2
