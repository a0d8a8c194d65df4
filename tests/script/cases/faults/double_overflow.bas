x = 1E300 * 1E300
' expect error: Overflow: 1E300 * 1E300
