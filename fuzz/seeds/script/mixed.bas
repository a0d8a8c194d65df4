FUNCTION F(a, b)
  IF a > b
    RESULT a, b
  ELSEIF a = b
    RESULT EVALUATE("a * 2")
  ELSE
    EXIT
  ENDIF
ENDFUNCTION
DO WHILE n < 5 MAX 10
  n = n + 1
  p, q = F(n, 3)
  A(n) = p & "" & q
LOOP UNTIL n = 4
x = CITE("A", 0, 3)
print(x, NOT 1 AND 2 OR 3 XOR 4 MOD 5 DIV 6 \ 7 ^ 8 <> 9 >< 1 != 2 <= 3 =< 4 >= 5 => 6)
