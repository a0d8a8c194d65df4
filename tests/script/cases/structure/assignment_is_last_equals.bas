' The last "=" is the assignment: x = a <= b assigns to "x = a <"
a = 1
b = 2
x = a <= b
print(x)
' expect error: No such function: x
' expect line: 5
