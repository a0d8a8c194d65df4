FUNCTION F
FOR i = 1 TO 2
ENDFUNCTION
' expect structure error: EndFunction mismatch on line 3.
