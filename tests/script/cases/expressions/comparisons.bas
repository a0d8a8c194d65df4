' The five spellings of the comparisons
x = 3
print(x <> 3, x >< 3, x != 3)
' expect: FalseFalseFalse
print((x <= 3), (x =< 3), (x >= 4), (x => 3))
' expect: TrueTrueFalseTrue
print((x < 4), (x = 3), (x > 3))
' expect: TrueTrueFalse
print("abc" < "abd", "b" > "abc")
' expect: TrueTrue
print(("10" = 10), (2.5 > 2))
' expect: TrueTrue
e = ()
print((e = ""))
' expect: True
