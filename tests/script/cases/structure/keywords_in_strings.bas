' Keywords inside strings are not found by the block pass
n = ""
DO UNTIL n = " WHILE "
  n = " WHILE "
LOOP
print("[", n, "]")
' expect: [ WHILE ]
