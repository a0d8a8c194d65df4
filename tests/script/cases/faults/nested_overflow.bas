big = 1E300
x = 1 + big * big
' expect error: Overflow: 1 + big * big
' expect line: 2
