n = 0
t = (1 = 1)
DO WHILE t MAX 5
  n = n + 1
LOOP
print(n)
' expect: 5
n = 0
DO MAX 0
  n = n + 1
LOOP
print(n)
' expect: 1
n = 0
DO MAX 10
  n = n + 1
LOOP MAX 3
print(n)
' expect: 3
' Without a MAX of its own, LOOP counts with the default maximum
n = 0
DO MAX 1000
  n = n + 1
LOOP
print(n)
' expect: 100
