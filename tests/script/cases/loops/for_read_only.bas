FOR i = 1 TO 3
  i = 5
NEXT
' expect error: i is read-only.
' expect line: 2
