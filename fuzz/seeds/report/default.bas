for i = 0 to DataCount-1
  s = Title(i) + ":"
  for j = 0 to PointCount(i)-1
    if j > 0
      s = s + "-"
    endif
    s = s + "(" + FloatToStr(X(i,j)) + ", " + FloatToStr(Y(i,j)) + ")"
  next
  s = s + ":" + Comment(i)
  Print(s)
next
