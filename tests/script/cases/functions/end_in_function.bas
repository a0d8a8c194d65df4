' END inside a function behaves like EXIT
FUNCTION F
  RESULT 1
  END
  RESULT 2
ENDFUNCTION
print(F())
print("after")
' expect: 1
' expect: after
