DO
  IF 1 = 1
  ENDIF
  FOR i = 1 TO 3
' expect structure error: Mismatch on line 4.
