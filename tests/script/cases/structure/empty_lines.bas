
x = 1

print(x)

' expect: 1
