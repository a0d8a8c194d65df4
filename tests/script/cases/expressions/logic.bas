t = (1 = 1)
f = (1 = 0)
print(t OR f, " ", t XOR t, " ", t EOR f, " ", f NOR f)
' expect: True False True True
print(t AND f, " ", t NAND f)
' expect: False True
print(12 OR 3, " ", 12 AND 10, " ", 12 XOR 10, " ", NOT 0, " ", not(1))
' expect: 15 8 6 -1 -2
print(6 NAND 3, " ", 1 NOR 2)
' expect: -3 -4
