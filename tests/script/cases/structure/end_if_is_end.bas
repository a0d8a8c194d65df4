' END IF is an END line, not ENDIF: it ends the program
print("a")
END IF
print("b")
' expect: a
