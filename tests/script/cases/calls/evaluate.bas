print(EVALUATE("1+2"))
' expect: 3
x = "2*3"
print(evaluate(x))
' expect: 6
a, b = EVALUATE("1+1", "2+2")
print(a, " ", b)
' expect: 2 4
