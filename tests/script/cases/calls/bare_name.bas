y = undefinedname
' expect error: No such function: undefinedname
