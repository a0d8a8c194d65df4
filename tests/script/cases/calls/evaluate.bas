print(EVALUATE("1+2"))
' expect: 3
x = "2*3"
print(evaluate(x))
' expect: 6
a, b = EVALUATE("1+1", "2+2")
print(a, " ", b)
' expect: 2 4
' A text whose value is a one-element list, as built-ins give, stands for its element
y = "EVALUATE(""3*3"")"
print(EVALUATE(y), " ", EVALUATE("SQRT(16)"))
' expect: 9 4
