x = nosuch1 + nosuch2
' expect error: No such function: nosuch1
