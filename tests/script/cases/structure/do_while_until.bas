DO WHILE x UNTIL y
LOOP
' expect structure error: Syntax error of WHILE statement on line 1.
