x = 1
print("abc)
' expect structure error: Unmatched quotation on line 2.
