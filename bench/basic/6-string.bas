100 REM string building, 1000 times
110 FOR K=1 TO 1000:A$=LEFT$(A$+CHR$(65+K MOD 26),100):NEXT K
