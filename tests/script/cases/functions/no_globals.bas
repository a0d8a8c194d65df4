g = 5
FUNCTION ReadG
  RESULT g
ENDFUNCTION
y = ReadG()
' expect error: Function runtime error: ReadG
' expect error: No such function: g
' expect line: 5
