' Dates count days since 1899-12-30; the time of day is the fraction.
d = ENCODEDATE(2024, 6, 2)
PRINT(DATEYEAR(d), "-", DATEMONTH(d), "-", DATEDAY(d), " ", DAYOFWEEK(d), " ", DAYSTRINGOFWEEK(d))
' expect: 2024-6-2 1 Sun
PRINT(FLOATTOSTR(ENCODEDATE(1899, 12, 30)), " ", FLOATTOSTR(ENCODEDATE(2000, 1, 1)), " ", FLOATTOSTR(ENCODETIME(6, 0, 0)))
' expect: 0 36526 0.25
t = ENCODEDATE(2024, 6, 2) + ENCODETIME(13, 4, 5, 678)
PRINT(TIMEHOUR(t), ":", TIMEMINUTE(t), ":", TIMESECOND(t), ".", TIMEMILLISECOND(t))
' expect: 13:4:5.678
y, m, dd = DECODEDATE(d)
PRINT(y, " ", m, " ", dd)
' expect: 2024 6 2
h, n, s, ms = DECODETIME(ENCODETIME(6, 30, 15, 5))
PRINT(h, " ", n, " ", s, " ", ms)
' expect: 6 30 15 5
PRINT(DATETOSTR(INCMONTH(ENCODEDATE(2024, 1, 31), 1)), " ", DATETOSTR(INCMONTH(ENCODEDATE(2024, 3, 31), -13)))
' expect: 2024/02/29 2023/02/28
PRINT(FORMATDATETIME("yyyy-mm-dd hh:nn:ss.zzz", t))
' expect: 2024-06-02 13:04:05.678
PRINT(FORMATDATETIME("dddd d mmmm yy", d), ", ", FORMATDATETIME("h:mm am/pm", t), ", ", FORMATDATETIME("'week day' ddd mmm", d))
' expect: Sunday 2 June 24, 1:04 pm, week day Sun Jun
PRINT(TYPESTRINGOF(NOW), " ", TYPESTRINGOF(TODAY), " ", TYPESTRINGOF(DATE), " ", TYPESTRINGOF(TIME), " ", TYPESTRINGOF(ENCODETIME(6, 0, 0)), " ", TIME < 1, " ", FRAC(TODAY))
' expect: Date Date Date Date Date True 0
