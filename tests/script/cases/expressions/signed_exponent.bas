' A signed exponent splits at its sign
x = 2E-4
' expect error: No such function: 2E
' expect line: 2
