100 REM integer FOR loop, 10000 times
110 FOR I%=1 TO 10000:NEXT I%
