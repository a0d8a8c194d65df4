' DO with neither condition nor MAX runs its body 100 times
n = 0
DO
  n = n + 1
LOOP
print(n)
' expect: 100
