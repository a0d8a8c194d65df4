IF 1 = 1
ELSE
ELSEIF 2 = 2
ENDIF
' expect structure error: If block mismatch on line 3.
