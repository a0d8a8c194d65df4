print("a")
x = Frobnicate(1, 2)
print("b")
' expect: a
' expect error: No such function: Frobnicate
' expect line: 2
