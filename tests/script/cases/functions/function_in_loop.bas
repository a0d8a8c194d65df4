FUNCTION Sq(v)
  RESULT v * v
ENDFUNCTION
s = 0
FOR i = 1 TO 10
  s = s + Sq(i)
NEXT
print(s)
' expect: 385
