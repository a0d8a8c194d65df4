' A function sees only its parameters and its own variables
x = 1
FUNCTION SetX
  x = 99
  RESULT x
ENDFUNCTION
y = SetX
print(x, " ", y)
' expect: 1 99
