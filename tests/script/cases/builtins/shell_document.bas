' SHELL opens a document with the desktop's application for its type and
' answers above 32 when that started.
PRINT(SHELL("README.md", "", ""))
' expect: 33
