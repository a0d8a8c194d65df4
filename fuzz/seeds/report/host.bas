print(DataCount, PointCount(1), PointsID("2"), WindowID(3.5), Title(), Comment(4))
print(X(2, 1), Y(3, 2.6), FileNameOfWindow(0), FileNameOfWindow(1), FileNameOfWindow(-1))
print
print(1, "a", 2)
