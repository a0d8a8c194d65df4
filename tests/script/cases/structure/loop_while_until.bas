DO
LOOP WHILE x UNTIL y
' expect structure error: Syntax error of DO statement on line 2.
