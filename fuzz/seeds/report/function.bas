FUNCTION Line(i)
  RESULT Title(i) + "/" + Comment(i)
ENDFUNCTION
do while DataCount > n max 3
  print(Line(n))
  n = n + 1
loop
x = X(0)
