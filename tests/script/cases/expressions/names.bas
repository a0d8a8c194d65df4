' Names are matched without regard to letter case; messages keep the first form
Total = 1
TOTAL = TOTAL + 1
print(total)
' expect: 2
