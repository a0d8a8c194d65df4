' The last RESULT that ran wins; RESULT does not leave the function
FUNCTION F
  RESULT 1
  print("still here")
  RESULT 2
ENDFUNCTION
print(F)
' expect: still here
' expect: 2
FUNCTION NoResult
  x = 1
ENDFUNCTION
y = 3
y = NoResult()
print(y)
' expect: 
