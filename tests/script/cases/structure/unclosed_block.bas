FOR i = 1 TO 2
  IF i = 1
NEXT
' expect structure error: Loop mismatch on line 3.
