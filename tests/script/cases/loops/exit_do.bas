n = 0
DO
  n = n + 1
  IF n = 3
    EXIT
  ENDIF
LOOP
print(n)
' expect: 3
