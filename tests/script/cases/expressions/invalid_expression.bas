print("before")
x = "abc" + 1
' expect: before
' expect error: Invalid expression: "abc" + 1
' expect line: 2
