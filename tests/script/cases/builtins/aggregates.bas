' Aggregates take every argument and give one value.
PRINT(SUM(1, 2, 3), " ", MEAN(1, 2), " ", MAX(3, 7.5, -1), " ", MIN(3, 7.5, -1))
' expect: 6 1.5 7.5 -1
PRINT(MAX("pear", "apple"), " ", MIN("pear", "apple"))
' expect: pear apple
PRINT(SUM(1, "2", 0.5))
' expect: 3.5
' A list argument spreads into the aggregate.
PRINT(MEAN(ABS(4, 8)))
' expect: 6
