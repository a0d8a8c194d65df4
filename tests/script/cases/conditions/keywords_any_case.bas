for i = 1 to 2
  if i = 2
    print("two")
  EndIf
Next
' expect: two
