FUNCTION F(a, b)
  RESULT b
ENDFUNCTION
x = F(1)
' expect error: Function runtime error: F
' expect error: No such function: b
