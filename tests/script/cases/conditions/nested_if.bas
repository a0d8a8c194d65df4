a = 1
b = 2
IF a = 1
  IF b = 3
    print("x")
  ELSE
    print("y")
  ENDIF
  print("z")
ELSE
  print("w")
ENDIF
' expect: y
' expect: z
