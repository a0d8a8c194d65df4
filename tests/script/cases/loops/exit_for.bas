FOR i = 1 TO 10
  IF i = 4
    EXIT
  ENDIF
  print(i)
NEXT
print("done ", i)
' expect: 1
' expect: 2
' expect: 3
' expect: done 4
