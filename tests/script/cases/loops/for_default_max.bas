n = 0
FOR i = 0 TO 1000
  n = n + 1
NEXT
print(n, " ", i)
' expect: 100 99
n = 0
FOR i = 0 TO 1000 MAX 500
  n = n + 1
NEXT
print(n)
' expect: 500
n = 0
FOR i = 1 TO 10 MAX 0
  n = n + 1
NEXT
print(n)
' expect: 0
