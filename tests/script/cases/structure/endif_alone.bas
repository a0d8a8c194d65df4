x = 1
ENDIF
' expect structure error: If block mismatch on line 2.
