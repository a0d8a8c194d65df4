n = 0
DO UNTIL 1
  n = n + 1
LOOP
print(n)
' expect: 0
n = 0
DO WHILE 1
  n = n + 1
LOOP
print(n)
' expect: 0
n = 0
DO WHILE n < 3
  n = n + 1
LOOP
print(n)
' expect: 3
n = 0
DO
  n = n + 1
LOOP UNTIL n >= 4
print(n)
' expect: 4
n = 0
DO
  n = n + 1
LOOP WHILE n < 6
print(n)
' expect: 6
