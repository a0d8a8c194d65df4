FUNCTION F
  RESULT 1, 2
ENDFUNCTION
FUNCTION G
  RESULT 7
ENDFUNCTION
p, q = F()
print(p, " ", q)
' expect: 1 2
y = G()
print(y)
' expect: 7
z = F()
print(z)
' expect: 1
