#!/bin/sh
# Times the column sin(x)*exp(-y/10)+x^2 over 10^7 rows as a whole process,
# Orrelin's column evaluation against numpy, side by side in one run, and
# prints the ratios of wall time and peak resident memory.
#   bench/expression/compare_numpy.sh [build-bench/bin] [rows]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-build-bench/bin}
rows=${2:-10000000}
python=/usr/bin/python3

measure() {
  # prints "seconds kilobytes" of the last of three runs of the command
  for run in 1 2 3; do
    /usr/bin/time -v "$@" > /tmp/orrel-compare-out.$$ 2> /tmp/orrel-compare-time.$$
  done
  cat /tmp/orrel-compare-out.$$ >&2
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' /tmp/orrel-compare-time.$$)
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' /tmp/orrel-compare-time.$$)
  seconds=$(echo "$wall" | awk -F: '{ if (NF == 3) print $1 * 3600 + $2 * 60 + $3; else print $1 * 60 + $2 }')
  echo "$seconds $rss"
}

set -- $(measure "$bin/expression_column" "$rows") $(measure "$python" "$here/column_numpy.py" "$rows")
rm -f /tmp/orrel-compare-out.$$ /tmp/orrel-compare-time.$$
awk -v ot="$1" -v om="$2" -v nt="$3" -v nm="$4" 'BEGIN {
  printf "orrelin  %.3f s  %7.1f MiB\n", ot, om / 1024
  printf "numpy    %.3f s  %7.1f MiB\n", nt, nm / 1024
  printf "ratio    time %.2f  peak memory %.2f\n", ot / nt, om / nm
}'
