' Element-wise application of operators to lists
FUNCTION L3()
  RESULT 1, 2, 3
ENDFUNCTION
FUNCTION L2()
  RESULT 10, 20
ENDFUNCTION
p, q, r = L3() + 10
print(p, ",", q, ",", r)
' expect: 11,12,13
p, q, r = L3() + L2()
print(p, ",", q, ",", r)
' expect: 11,22,13
