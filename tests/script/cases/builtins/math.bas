' Element-wise numeric functions: one result per argument.
PRINT(ABS(-2, 3, -4))
' expect: 234
x = ABS(-2)
PRINT(x, " ", TYPESTRINGOF(x))
' expect: 2 Double
' Built-in names are matched in any letter case.
a, b, c = Sqrt(16, 2.25, 0)
PRINT(a, " ", b, " ", c)
' expect: 4 1.5 0
PRINT(EXP(0), " ", FRAC(-2.75), " ", LN(1), " ", LOGE(1))
' expect: 1 -0.75 0 0
PRINT(LOG(1000), " ", LOG10(0.01), " ", LOG2(8), " ", LOGN(2, 1024))
' expect: 3 -2 3 10
PRINT(SIN(0), " ", COS(0), " ", TAN(0), " ", ROUND(COTAN(DEGTORAD(45)) * 1000))
' expect: 0 1 0 1000
PRINT(ROUND(RADTODEG(ARCTAN(1))), " ", ROUND(RADTODEG(ARCSIN(1))), " ", ROUND(RADTODEG(ARCCOS(0))))
' expect: 45 90 90
PRINT(SINH(0), " ", COSH(0), " ", TANH(0), " ", ARCSINH(0), " ", ARCCOSH(1), " ", ARCTANH(0))
' expect: 0 1 0 0 0 0
PRINT(RADTOGRAD(DEGTORAD(90)), " ", ROUND(RADTODEG(GRADTORAD(200))), " ", RADTOCYCLE(CYCLETORAD(0.5)))
' expect: 100 180 0.5
PRINT(ROUND(RADTODEG(ARCTAN2(1, -1))))
' expect: 135
PRINT(POWER(-2, 3), " ", POWER(2, -2), " ", POWER(9, 0.5))
' expect: -8 0.25 3
' Numbers written as strings are read as numbers.
PRINT(SQRT("81"))
' expect: 9
