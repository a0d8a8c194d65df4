' Type codes and names of values.
PRINT(TYPECODEOF(1), " ", TYPECODEOF(1.5), " ", TYPECODEOF("s"), " ", TYPECODEOF(TRUE), " ", TYPECODEOF(ENCODEDATE(2000, 1, 1)))
' expect: 3 5 256 11 7
PRINT(TYPECODEOF, " ", TYPESTRINGOF())
' expect: 0 Empty
PRINT(TYPESTRINGOF(1), " ", TYPESTRINGOF(1.5), " ", TYPESTRINGOF("s"), " ", TYPESTRINGOF(FALSE), " ", TYPESTRINGOF(DATE))
' expect: Integer Double String Boolean Date
PRINT(TRUE, " ", FALSE, " ", TRUE = NOT FALSE)
' expect: True False True
