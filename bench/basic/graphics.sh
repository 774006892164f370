#!/bin/bash
# Speed of the graphics statements in machine time at the default CPU speed:
# each step is timed with the timer interrupt count (period 519/256 ms) the
# firmware keeps at 7D64; POINT after a drawing statement waits until the
# sub CPU has finished it.
#   bench/basic/graphics.sh [path/to/quillon]
set -e
q=${1:-$(dirname "$0")/../../build/bin/quillon}
prog='1 DEFINT A-Z:DEF FNT(X)=PEEK(\x26H7D66)*256!+PEEK(\x26H7D67)
2 DIM R!(8):DEF FNW(X)=POINT(0,0)
5 CLS:Z=FNW(0):T!=FNT(0):LINE(0,0)-(0,0):Z=FNW(0):R!(8)=FNT(0)-T!
10 CLS:Z=FNW(0):T!=FNT(0):LINE(0,0)-(639,199):Z=FNW(0):R!(1)=FNT(0)-T!
20 CLS:Z=FNW(0):T!=FNT(0):FOR I=1 TO 100:LINE(RND(1)*640,RND(1)*200)-(RND(1)*640,RND(1)*200):NEXT:Z=FNW(0):R!(2)=FNT(0)-T!
25 T!=FNT(0):FOR I=1 TO 100:Z=RND(1)*640:Z=RND(1)*200:Z=RND(1)*640:Z=RND(1)*200:NEXT:R!(3)=FNT(0)-T!
30 CLS:Z=FNW(0):T!=FNT(0):CIRCLE(320,100),90:Z=FNW(0):R!(4)=FNT(0)-T!
40 T!=FNT(0):PAINT(320,100):Z=FNW(0):R!(5)=FNT(0)-T!
50 CLS:Z=FNW(0):T!=FNT(0):PAINT(0,0):Z=FNW(0):R!(6)=FNT(0)-T!
60 CLS:Z=FNW(0):T!=FNT(0):FOR I=1 TO 25:PRINT STRING$(80,"A");:NEXT:Z=FNW(0):R!(7)=FNT(0)-T!
70 CLS:FOR I=1 TO 8:R!(I)=R!(I)-65536!*(R!(I)<0):PRINT USING "Step # ######.# ms";I;R!(I)*519/256:NEXT:PRINT "All"+" done"
'
body=$(sed 's/$/\\n/' <<<"$prog" | tr -d '\n')
"$q" --headless --timeout 600000 --wait-text Ok --type "NEW\\n$body" --type 'RUN\n' \
  --wait-text "All done" --print-screen | grep -E '^Step' | sed -e 's/^Step 1/full-screen diagonal LINE     /' \
  -e 's/^Step 2/100 random LINEs (with RND) /' -e 's/^Step 3/  of which the BASIC and RND  /' \
  -e 's/^Step 4/CIRCLE radius 90             /' -e 's/^Step 5/PAINT inside that circle     /' \
  -e 's/^Step 6/PAINT the whole empty screen /' -e 's/^Step 7/PRINT 2000 characters        /' \
  -e 's/^Step 8/(a one-dot LINE: the BASIC)  /'
