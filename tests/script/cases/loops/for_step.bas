FOR i = 10 TO 1 STEP -3
  print(i)
NEXT
' expect: 10
' expect: 7
' expect: 4
' expect: 1
FOR x = 0 TO 1 STEP 0.25
  print(x)
NEXT
' expect: 0
' expect: 0.25
' expect: 0.5
' expect: 0.75
' expect: 1
