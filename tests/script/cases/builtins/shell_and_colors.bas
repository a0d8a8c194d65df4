' Without a display SHELL starts the program and answers 33, or 2 when it
' cannot; system colours (high bit set) become the colours of a light theme.
PRINT(SHELL("true", "", ""), " ", SHELL("/no/such/program", "", ""), " ", SHELL("true", "", "/no/such/folder"))
' expect: 33 2 2
PRINT(INTTOHEX(COLORTORGB(-2147483643)), " ", COLORTORGB(-2147483640), " ", INTTOHEX(COLORTORGB(255)))
' expect: FFFFFF 0 FF
' Quoted parameters stay one; an empty program name cannot start.
PRINT(SHELL("/bin/sh", "-c ""exit 0""", "/"), " ", SHELL("", "", ""))
' expect: 33 2
