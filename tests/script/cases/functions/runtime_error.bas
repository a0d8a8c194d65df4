FUNCTION Inner(v)
  RESULT v + "x"
ENDFUNCTION
FUNCTION Outer(v)
  RESULT Inner(v)
ENDFUNCTION
print("start")
z = Outer(1)
' expect: start
' expect error: Function runtime error: Outer
' expect error: Function runtime error: Inner
' expect error: Invalid expression: v + "x"
' expect line: 8
