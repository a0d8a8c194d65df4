x = (1, 2)
' expect error: No such function: 1, 2
