n = 0
FOR i = 1 TO 5 STEP 0 MAX 7
  n = n + 1
NEXT
print(n, " ", i)
' expect: 7 1
