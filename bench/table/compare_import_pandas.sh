#!/bin/sh
# Times the text import of a 2.6 x 10^6-row, four-column CSV (about 118 MB,
# made by make_import_csv.py) as whole processes, Orrelin against pandas
# read_csv on the same file in the same run, and prints MB/s, peak resident
# memory and the ratios:
#   bench/table/compare_import_pandas.sh [build-bench/bin] [csv file]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-build-bench/bin}
csv=${2:-/tmp/orrel-import-bench.csv}
python=/usr/bin/python3

[ -f "$csv" ] || "$python" "$here/make_import_csv.py" "$csv"
megabytes=$(stat -c %s "$csv" | awk '{ print $1 / 1e6 }')

measure() {
  # prints "seconds kilobytes" of the median of five runs (after a warm-up)
  "$@" > /dev/null
  for run in 1 2 3 4 5; do
    /usr/bin/time -f "%e %M" "$@" 2>&1 >/dev/null | tail -1
  done | sort -n | sed -n 3p
}

"$bin/table_import_file" binary "$csv"
"$bin/table_import_file" overwrite "$csv"
"$python" "$here/read_csv_pandas.py" "$csv"
set -- $(measure "$bin/table_import_file" binary "$csv") \
       $(measure "$bin/table_import_file" overwrite "$csv") \
       $(measure "$python" "$here/read_csv_pandas.py" "$csv")
awk -v mb="$megabytes" -v bt="$1" -v bm="$2" -v ot="$3" -v om="$4" -v pt="$5" -v pm="$6" 'BEGIN {
  printf "%-34s %7s %9s %10s\n", "", "seconds", "MB/s", "peak MiB"
  printf "%-34s %7.2f %9.1f %10.1f\n", "orrelin parallel parser (binary)", bt, mb / bt, bm / 1024
  printf "%-34s %7.2f %9.1f %10.1f\n", "orrelin overwrite import (typed)", ot, mb / ot, om / 1024
  printf "%-34s %7.2f %9.1f %10.1f\n", "pandas read_csv", pt, mb / pt, pm / 1024
  printf "speed-up over pandas: binary %.2fx, overwrite %.2fx\n", pt / bt, pt / ot
  printf "peak memory against pandas: binary %.2f, overwrite %.2f\n", bm / pm, om / pm
}'
