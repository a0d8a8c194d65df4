FUNCTION Pair
  RESULT 3, 4
ENDFUNCTION
a, b = Pair
print(a + b)
' expect: 7
FUNCTION Sum2(p, q)
  RESULT p + q
ENDFUNCTION
' one argument whose value is a list spreads over the parameters
print(Sum2(Pair()))
' expect: 7
