IF 1 = 1
ELSE
ELSE
ENDIF
' expect structure error: If block mismatch on line 3.
