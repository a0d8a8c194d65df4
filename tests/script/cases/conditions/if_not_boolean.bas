' IF 1 counts as false (not a Boolean); IF 1 = 1 as true
IF 1
  print("a")
ELSE
  print("b")
ENDIF
' expect: b
IF 1 = 1
  print("c")
ENDIF
' expect: c
IF
  print("d")
ENDIF
print("e")
' expect: e
