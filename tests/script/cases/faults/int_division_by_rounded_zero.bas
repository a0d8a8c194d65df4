' The divisor of \ is rounded to an integer first: 0.4 becomes 0
x = 1 \ 0.4
' expect error: Division by zero: 1 \ 0.4
