FUNCTION Add(a, b)
  RESULT a + b
ENDFUNCTION
print(Add(2, 3))
' expect: 5
x = add(10, 20)
print(x)
' expect: 30
