' Without a display the dialogs answer their defaults.
PRINT(MESSAGEBOX("Continue?", "Report", 4), " ", MESSAGEBOX("Done", "Report", 0), " ", MESSAGEBOX("Sure?", "Report", 4 + 256))
' expect: 6 1 7
PRINT(INPUTBOX("Report", "Value?", "12"))
' expect: 12
PRINT(SELECTDIRECTORY("/tmp", TRUE))
' expect: /tmp
' The third button answers when there is one, else the first; an unknown set answers OK.
PRINT(MESSAGEBOX("a", "b", 6 + 512), " ", MESSAGEBOX("a", "b", 1 + 512), " ", MESSAGEBOX("a", "b", 9))
' expect: 11 1 1
