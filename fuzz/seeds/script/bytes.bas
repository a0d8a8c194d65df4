x = "ÿş" + "ã‚"
print(x)REM end
