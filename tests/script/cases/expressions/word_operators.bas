' ORDER and COLOR are names, not expressions with OR
ORDER = 5
COLOR = 7
print(ORDER + COLOR)
' expect: 12
a = 1
b = 2
print(a OR(b))
' expect: 3
andy = 4
print(andy MOD 3)
' expect: 1
