i = 2
A(i) = 5
print(A(2))
' expect: 5
M(1, 2) = 7
print(M(1,2))
' expect: 7
A(1.5) = 3
print(A(1.5))
' expect error: No such function: A
