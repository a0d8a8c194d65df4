' A calendar day that does not exist is a conversion error of the call.
d = ENCODEDATE(2024, 2, 29)
PRINT(DATEDAY(d))
' expect: 29
d = ENCODEDATE(2023, 2, 29)
' expect error: Convert error: ENCODEDATE
' expect line: 5
