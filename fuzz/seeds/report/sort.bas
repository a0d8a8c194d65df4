sort("title", true)
for i = 0 to datacount - 1
  print(pointsid(i), ":", title(i))
next
sort("X")
sort(" number ", "TRUE")
sort
print(Title(0))
