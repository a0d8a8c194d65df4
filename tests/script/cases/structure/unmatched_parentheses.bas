x = (1 + 2
' expect structure error: Unmatched parentheses on line 1.
