' A seeded generator repeats its numbers; ranges are kept.
RANDOMIZE(12345)
a = RANDOM(1000)
b = RANDOM
RANDOMIZE(12345)
PRINT(RANDOM(1000) = a, " ", RANDOM = b)
' expect: True True
ok = TRUE
FOR i = 1 TO 100
  r = RANDOM(6)
  IF (r < 0) OR (r > 5)
    ok = FALSE
  ENDIF
  u = RANDOM()
  IF (u < 0) OR (u >= 1)
    ok = FALSE
  ENDIF
NEXT
PRINT(ok, " ", TYPESTRINGOF(RANDOM(6)), " ", TYPESTRINGOF(RANDOM))
' expect: True Integer Double
PRINT(RANDOMGAUSS(5, 0))
' expect: 5
' Gaussian numbers centre on their mean.
s = 0
FOR i = 1 TO 2000 MAX 2000
  s = s + RANDOMGAUSS(10, 2)
NEXT
PRINT(ABS(s / 2000 - 10) < 0.3)
' expect: True
