print("one")
IF 1 = 1
  EXIT
ENDIF
print("two")
' expect: one
