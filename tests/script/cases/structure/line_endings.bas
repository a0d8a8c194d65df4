x = 1
y = 2print(x + y)
print("tab	bed")
' expect: 3
' expect: tab bed
