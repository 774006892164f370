#!/bin/bash
# The BASIC's benchmarks: each program runs in the headless machine at the
# default CPU speed and prints the machine time it took, measured by the
# timer interrupt count (period 519/256 ms) that the firmware keeps at 7D64.
#   bench/basic/run.sh [path/to/quillon]
set -e
q=${1:-$(dirname "$0")/../../build/bin/quillon}
here=$(dirname "$0")
# T: the low 16 bits of the timer count.
pre='1 DEF FNT(X)=PEEK(\x26H7D66)*256+PEEK(\x26H7D67)\n2 T0=FNT(0)\n'
post='9000 T1=FNT(0):IF T1<T0 THEN T1=T1+65536!\n9010 PRINT USING "&###.### s";"Ti"+"me:";(T1-T0)*519/256/1000\n'
for f in "$here"/[0-9]-*.bas; do
  body=$(sed 's/$/\\n/' "$f" | tr -d '\n')
  out=$("$q" --headless --timeout 600000 --wait-text Ok --type "NEW\\n$pre$body$post" --type 'RUN\n' \
        --wait-text 'Time:' --run 200 --print-screen)
  printf '%-28s %s\n' "$(head -c 40 "$f" | sed -n '1s/^[0-9]* REM //p')" "$(grep -o 'Time:.*' <<<"$out")"
done
