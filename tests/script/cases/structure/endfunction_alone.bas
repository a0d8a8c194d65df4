ENDFUNCTION
' expect structure error: Function and EndFunction mismatch on line 1.
