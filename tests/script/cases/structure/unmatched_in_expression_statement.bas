print((1)
' expect structure error: Unmatched parentheses on line 1.
