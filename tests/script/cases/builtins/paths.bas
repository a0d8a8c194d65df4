' File names on "/" paths; there are no drives.
p = "/home/user/data/chart.final.png"
PRINT(EXTRACTFILEDIR(p), " ", EXTRACTFILEPATH(p), " ", EXTRACTFILENAME(p), " ", EXTRACTFILEEXT(p))
' expect: /home/user/data /home/user/data/ chart.final.png .png
PRINT("[", EXTRACTFILEDRIVE(p), "]")
' expect: []
PRINT(EXPANDFILENAME("/a/b/../c/./d.txt"))
' expect: /a/c/d.txt
PRINT(MATCHESMASK("Chart.PNG", "*.png"), " ", MATCHESMASK("a.txt", "?.t*"), " ", MATCHESMASK("ab.txt", "?.txt"), " ", MATCHESMASK("日.txt", "?.txt"))
' expect: True True False True
n, d = DRIVES
PRINT(n)
' expect: 0
PRINT("[", ENVIRONMENT("TRACEMILL_NO_SUCH_VARIABLE"), "]", PARAMCOUNT >= 0)
' expect: []True
