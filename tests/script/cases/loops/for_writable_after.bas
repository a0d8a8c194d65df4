FOR I = 1 TO 2
NEXT
i = 7
print(I)
' expect: 7
FOR k = 1 TO 5
  IF k = 2
    EXIT
  ENDIF
NEXT
k = 9
print(k)
' expect: 9
