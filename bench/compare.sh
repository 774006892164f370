#!/bin/bash
# Compares the machine speed of two or more builds of the program in one run:
# each round runs every binary's `--headless --bench SECONDS` in turn, pinned
# to one processor, on the same firmware, so a host that speeds up or slows
# down during the run affects all of them alike. Prints per binary the median
# passes per second and, against the first binary, the median of the
# per-round ratios.
#
#   bash bench/compare.sh [-r ROUNDS] [-s SECONDS] [-f FIRMWARE_DIR] OLD NEW...
#
# FIRMWARE_DIR defaults to the folder of the first binary.
set -eu
rounds=7
seconds=3
firmware=
while getopts "r:s:f:" opt; do
  case $opt in
    r) rounds=$OPTARG ;;
    s) seconds=$OPTARG ;;
    f) firmware=$OPTARG ;;
    *) echo "usage: $0 [-r ROUNDS] [-s SECONDS] [-f FIRMWARE_DIR] OLD NEW..." >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [ $# -lt 2 ]; then
  echo "usage: $0 [-r ROUNDS] [-s SECONDS] [-f FIRMWARE_DIR] OLD NEW..." >&2
  exit 2
fi
[ -n "$firmware" ] || firmware=$(dirname "$1")
cpu=$(($(nproc) - 1))
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for ((r = 1; r <= rounds; r++)); do
  i=0
  for bin in "$@"; do
    rate=$(taskset -c "$cpu" "$bin" --headless --firmware "$firmware" --bench "$seconds" |
      awk '/^passes\/s:/ {print $2}')
    [ -n "$rate" ] || { echo "$bin gave no figure" >&2; exit 1; }
    echo "$r $i $rate" >>"$results"
    i=$((i + 1))
  done
done
# Medians of the rates and of the per-round ratios to binary 0.
awk -v n=$# -v rounds="$rounds" '
  function median(a, k,   i, j, t) {
    for (i = 2; i <= k; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return k % 2 ? a[(k + 1) / 2] : (a[k / 2] + a[k / 2 + 1]) / 2
  }
  { rate[$2, $1] = $3 }
  END {
    for (b = 0; b < n; b++) {
      for (r = 1; r <= rounds; r++) { x[r] = rate[b, r]; q[r] = rate[b, r] / rate[0, r] }
      printf "%d  median %.2f M passes/s  against the first %+.1f %%\n", b + 1, median(x, rounds) / 1e6,
             (median(q, rounds) - 1) * 100
    }
  }' "$results"
i=1
for bin in "$@"; do echo "$i  $bin"; i=$((i + 1)); done
