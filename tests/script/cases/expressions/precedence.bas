' Splitting at the rightmost operator of the lowest level
print(1 - 2 - 3)
' expect: -4
print(2 ^ 3 ^ 2)
' expect: 64
print(1 + 2 * 3)
' expect: 7
print((1 + 2) * 3)
' expect: 9
t = (1 = 1)
f = (1 = 0)
print(NOT t AND f)
' expect: False
print(5 = 2 OR 3)
' expect: False
print(3 = 2 OR 3)
' expect: True
print(-5, " ", +5)
' expect: -5 5
' "10 - -3" splits at the second minus: (10 - ()) - 3
print(10 - -3)
' expect: 7
