x = 1
NEXT
' expect structure error: Loop mismatch on line 2.
