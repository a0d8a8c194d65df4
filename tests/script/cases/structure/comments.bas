REM a comment
rem another
' a quote comment
// a slash comment
REMARK = 1
print(REMARK)
' expect: 1
