x = CITE("A", 0)
' expect error: No such function: CITE
