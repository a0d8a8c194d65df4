' Folders in a folder of the program's own under /tmp.
RANDOMIZE
base = "/tmp/tracemill-builtins-" & INTTOSTR(RANDOM(1000000000)) & INTTOSTR(RANDOM(1000000000))
PRINT(CREATEDIR(base), " ", DIRECTORYEXISTS(base), " ", CREATEDIR(base), " ", FILEEXISTS(base))
' expect: True True False False
FORCEDIRECTORIES(base & "/beta/inner")
FORCEDIRECTORIES(base & "/alpha")
FORCEDIRECTORIES(base & "/.hidden")
n, d = DIRECTORIES(base, "*")
PRINT(n, " ", d(0), " ", d(1))
' expect: 2 alpha beta
n, d = DIRECTORIES(base, "*.*", TRUE)
PRINT(n, " ", d(0), " ", d(1), " ", d(2))
' expect: 3 alpha beta beta/inner
n, d = DIRECTORIES(base & "/", "B* ; in*", TRUE)
PRINT(n, " ", d(0), " ", d(1))
' expect: 2 beta beta/inner
n, f = FILES(base)
PRINT(n)
' expect: 0
PRINT(FILEATTRIBUTE(base & "/.hidden"), " ", FILEATTRIBUTE(base & "/alpha"), " ", FILESIZE(base & "/none"), " ", FILEATTRIBUTE(base & "/none"))
' expect: 18 16 -1 -1
PRINT(REMOVEDIR(base & "/beta"), " ", REMOVEDIR(base & "/beta/inner"), " ", REMOVEDIR(base & "/beta"))
' expect: False True True
REMOVEDIR(base & "/alpha")
REMOVEDIR(base & "/.hidden")
PRINT(REMOVEDIR(base), " ", DIRECTORYEXISTS(base))
' expect: True False
