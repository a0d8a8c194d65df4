FOR i = 1 TO 2
  FOR j = 1 TO 3
    print(i, j)
  NEXT
NEXT
' expect: 11
' expect: 12
' expect: 13
' expect: 21
' expect: 22
' expect: 23
