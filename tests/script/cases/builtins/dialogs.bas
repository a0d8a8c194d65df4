' Without a display the dialogs answer their defaults.
PRINT(MESSAGEBOX("Continue?", "Report", 4), " ", MESSAGEBOX("Done", "Report", 0), " ", MESSAGEBOX("Sure?", "Report", 4 + 256))
' expect: 6 1 7
PRINT(INPUTBOX("Report", "Value?", "12"))
' expect: 12
PRINT(SELECTDIRECTORY("/tmp", TRUE))
' expect: /tmp
