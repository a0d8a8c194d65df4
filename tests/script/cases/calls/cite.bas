A(0) = 10
A(1) = 20
A(2) = 30
p, q, r = CITE("A", 0, 2)
print(p, " ", q, " ", r)
' expect: 10 20 30
