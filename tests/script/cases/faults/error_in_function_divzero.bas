FUNCTION F(v)
  RESULT 1 / v
ENDFUNCTION
x = F(0)
' expect error: Function runtime error: F
' expect error: Division by zero: 1 / v
