#!/bin/sh
# Times reading 10^6 date entries "yyyy-MM-dd HH:mm:ss" from a text file
# into time values as a whole process: Orrelin's date column against
# pandas.to_datetime with the same explicit format, side by side in one run.
# Prints both results (they must agree) and the ratio of wall times.
#   bench/table/compare_dates_pandas.sh [build-bench/bin] [entries]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-build-bench/bin}
entries=${2:-1000000}
python=/usr/bin/python3
texts=/tmp/orrel-dates.$$.txt
trap 'rm -f "$texts" /tmp/orrel-compare-out.$$ /tmp/orrel-compare-time.$$' EXIT
"$bin/table_date_column" write "$texts" "$entries"

measure() {
  # prints the median wall seconds of five runs of the command
  for run in 1 2 3 4 5; do
    /usr/bin/time -f %e "$@" > /tmp/orrel-compare-out.$$ 2> /tmp/orrel-compare-time.$$
    tail -n 1 /tmp/orrel-compare-time.$$
  done | sort -n | sed -n 3p
  cat /tmp/orrel-compare-out.$$ >&2
}

orrelin=$(measure "$bin/table_date_column" "$texts")
pandas=$(measure "$python" "$here/dates_pandas.py" "$texts")
awk -v o="$orrelin" -v p="$pandas" 'BEGIN {
  printf "orrelin  %.3f s\n", o
  printf "pandas   %.3f s\n", p
  printf "ratio    pandas / orrelin %.2f\n", p / o
}'
