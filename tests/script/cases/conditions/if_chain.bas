FOR k = 1 TO 4
  IF k = 1
    print("one")
  ELSEIF k = 2
    print("two")
  ELSEIF k = 3
    print("three")
  ELSE
    print("other")
  ENDIF
NEXT
' expect: one
' expect: two
' expect: three
' expect: other
