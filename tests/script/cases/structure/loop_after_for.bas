FOR i = 1 TO 2
LOOP
' expect structure error: Loop mismatch on line 2.
