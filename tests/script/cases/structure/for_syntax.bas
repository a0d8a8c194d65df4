FOR i = 1
NEXT
' expect structure error: Syntax error of FOR statement on line 1.
