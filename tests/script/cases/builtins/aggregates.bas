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
' Sums do not wrap at 32 bits; of equal values the first is kept, with its type.
PRINT(SUM(2147483647, 1), " ", TYPESTRINGOF(MAX(2, 4 / 2)))
' expect: 2147483648 Integer
