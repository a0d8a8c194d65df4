FUNCTION Two(a, b)
  RESULT a, b
ENDFUNCTION
' a trailing comma adds no argument; a leading comma gives an Empty first one
p, q = Two(, 5)
print("[", p, "]", q)
' expect: []5
r = "r"
p, q, r = Two(1, 2,)
print(p, q, r)
' expect: 12r
