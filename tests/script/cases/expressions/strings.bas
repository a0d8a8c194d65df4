print("""")
' expect: "
s = ""
print("[", s, "]")
' expect: []
print("a""b")
' expect: a"b
print("x = 1, y")
' expect: x = 1, y
print("1 + 2")
' expect: 1 + 2
