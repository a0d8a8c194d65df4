' Rounding gives Integers: ROUND rounds halves up, ROUNDBANKERS to even.
PRINT(ROUND(2.5), " ", ROUND(-2.5), " ", ROUND(0.49))
' expect: 3 -2 0
PRINT(ROUNDBANKERS(2.5), " ", ROUNDBANKERS(3.5), " ", ROUNDBANKERS(3))
' expect: 2 4 3
PRINT(INT(-2.7), " ", INT(2.7), " ", FLOOR(-2.7), " ", FLOOR(2.7))
' expect: -2 2 -3 2
PRINT(TYPESTRINGOF(ROUND(1.2)), " ", TYPECODEOF(FLOOR(1.2)))
' expect: Integer 3
' Integer arguments are rounded halves to even before use.
PRINT(LEFT("abcdef", 2.5), " ", LEFT("abcdef", 3.5))
' expect: ab abcd
' Halves go to even below zero too; whole numbers beyond 32 bits stay Doubles.
PRINT(ROUNDBANKERS(-2.5), " ", INT(1E10 + 0.5), " ", TYPESTRINGOF(INT(1E10)))
' expect: -2 10000000000 Double
