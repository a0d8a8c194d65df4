' A FUNCTION named like a built-in hides it
FUNCTION Max(a, b)
  RESULT "mine"
ENDFUNCTION
print(MAX(1, 2))
' expect: mine
