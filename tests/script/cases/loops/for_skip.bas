FOR i = 1 TO 0
  print("body")
NEXT
print(i)
' expect: 1
