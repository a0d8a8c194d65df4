m = -2147483647 - 1
n = -1
x = m \ n
' expect error: Overflow: m \ n
' expect line: 3
