FOR i = 1 TO 3
  print(i)
NEXT
print("after ", i)
' expect: 1
' expect: 2
' expect: 3
' expect: after 3
