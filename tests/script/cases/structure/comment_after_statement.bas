x = 1 ' note
' expect error: No such function: 1 ' note
' expect line: 1
