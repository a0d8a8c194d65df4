' A(1) reads the variable A(1) when it exists and calls the function A otherwise
A(1) = 5
print(A(1))
' expect: 5
i = 1
print(A(i))
' expect: 5
x = A(1.5)
' expect error: No such function: A
