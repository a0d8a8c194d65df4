x = "a"b"c"
' expect error: Invalid string: "a"b"c"
' expect line: 1
