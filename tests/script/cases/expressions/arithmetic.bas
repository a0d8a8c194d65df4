print(3 / 2)
' expect: 1.5
print(3 \ 2, " ", 3 DIV 2, " ", 7 MOD 3, " ", -7 MOD 3, " ", -7 div 2)
' expect: 1 1 1 -1 -3
print(2.5 \ 1, " ", 3.5 \ 1)
' expect: 2 4
print(1 & 2)
' expect: 3
print("a" & "b", "x" + "y")
' expect: abxy
print("3" + 4)
' expect: 7
print(2E4)
' expect: 20000
print(0.1 + 0.2)
' expect: 0.3
print(2147483647 + 1)
' expect: 2147483648
print(65536 * 65536)
' expect: 4294967296
print(-2147483647 - 2)
' expect: -2147483649
print(4 ^ 0.5)
' expect: 2
a = 2147483647
b = a + 1 - 1
print(b, " ", TYPECODEOF(b), " ", TYPECODEOF(a - 1))
' expect: 2147483647 5 3
c = 1.5
print(c * 2 + a * 0, " ", TYPECODEOF(c * 2))
' expect: 3 5
