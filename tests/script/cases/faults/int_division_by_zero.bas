x = 7 \ 0
' expect error: Division by zero: 7 \ 0
