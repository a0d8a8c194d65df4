' Character functions count characters; their B twins count bytes (UTF-8).
s = "日本語"
PRINT(LENGTH(s), " ", LENGTHB(s))
' expect: 3 9
PRINT(LEFT(s, 2), " ", LEFTB(s, 3), " ", RIGHT(s, 1), " ", RIGHTB("abcdef", 2))
' expect: 日本 日 語 ef
PRINT(MID("abcdef", 3), " ", COPY("abcdef", 2, 3), " ", MIDB("abcdef", 5), " ", COPYB(s, 4, 3))
' expect: cdef bcd ef 本
PRINT(POS("語", s), " ", POSB("語", s), " ", POS("x", s))
' expect: 3 7 0
PRINT(INSTR(3, "abcabc", "b"), " ", INSTR("abcabc", "c"), " ", INSTRB(2, "日本日本", "日"))
' expect: 5 3 7
PRINT(LASTDELIMITER("/.", "dir/name.ext"), " ", LASTDELIMITER("/", "none"))
' expect: 9 0
PRINT(UPPERCASE("abcé"), " ", LOWERCASE("ABC日"))
' expect: ABCé abc日
PRINT("[", TRIM("  a b  "), "][", TRIMLEFT("  a "), "][", TRIMRIGHT("  a "), "]")
' expect: [a b][a ][  a]
PRINT(QUOTEDSTR("it's"), " ", STRINGREPEAT("ab", 3), " ", CHR(65), CHR(66))
' expect: 'it''s' ababab AB
PRINT(CODE("A"), " ", CODE("日"), " ", CODEB("日"))
' expect: 65 26085 230
' Element-wise string functions give one result per argument.
PRINT(UPPERCASE("a", "b", "c"))
' expect: ABC
' Positions count characters wherever the text has multibyte ones.
PRINT(CODE(""), " ", MID("a日本語", 3), " ", LASTDELIMITER("/日", "a/b日c"))
' expect: 0 本語 4
PRINT(INSTR(1, "abcabc", "c"), " ", INSTR(7, "abcabc", "c"), " ", INSTR(2, "日本日本", "日"), " ", INSTR("abc", ""))
' expect: 3 0 3 0
' CHR gives the character of a Unicode code point, the inverse of CODE; TRIM
' removes tabs and line breaks too.
PRINT(CHR(256 + 66), CHR(CODE("é")), CHR(CODE("日")), CHR(128512), "[", TRIM(CHR(9) & " a b " & CHR(13) & CHR(10)), "]")
' expect: łé日😀[a b]
' Counts that would give nothing or run past the end are fine.
PRINT("[", STRINGREPEAT("", 2000000000), "] ", COPY("abc", 2, 2147483647))
' expect: [] bc
