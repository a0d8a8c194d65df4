' A number that is no Unicode code point has no character.
PRINT(CHR(1114111) = CHR(1114111))
' expect: True
c = CHR(55296)
' expect error: Convert error: CHR
' expect line: 4
