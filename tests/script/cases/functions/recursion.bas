FUNCTION Fact(n)
  IF n <= 1
    RESULT 1
  ELSE
    RESULT n * Fact(n - 1)
  ENDIF
ENDFUNCTION
print(Fact(10))
' expect: 3628800
FUNCTION Fib(n)
  IF n < 2
    RESULT n
    EXIT
  ENDIF
  RESULT Fib(n - 1) + Fib(n - 2)
ENDFUNCTION
print(Fib(15))
' expect: 610
