x = (-8) ^ (1/3)
' expect error: Invalid expression: (-8) ^ (1/3)
