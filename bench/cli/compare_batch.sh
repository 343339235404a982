#!/bin/sh
# The batch tool as a user runs it, timed as whole processes against gnuplot
# and matplotlib doing the same job on the same CSV file (a line through
# "x,y" rows on a 640 x 480 point page), each pair run in turn by
# paired_runs.py so the ratios hold on a busy machine:
#
#   bench/cli/compare_batch.sh [build/bin] [runs] [earlier/build/bin]
#
# Prints, per data size and form, the medians of both commands and of the
# pair-by-pair ratios; quote the "A/B cpu" and "A/B wall" lines (A is orrel,
# B the peer). Also times
# "orrel -help", the tool's start-up.
#
# With a third argument, the bin folder of an earlier build (another commit
# built the same way), every job is also run against that build's orrel in
# the same pairs, so a change is measured before and after side by side.
# The template is the current build's, for both.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-build/bin}" && pwd)
runs=${2:-5}
earlier=""
[ $# -ge 3 ] && earlier=$(cd "$3" && pwd)
template=$bin/../examples/line-plot.orrel
python=/usr/bin/python3
paired="$python $here/paired_runs.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ ! -d "$template" ]; then
  echo "compare_batch.sh: no template at $template (build the example documents first)" >&2
  exit 2
fi

echo "== orrel -help (start-up)"
$paired "$runs" "$bin/orrel -help"
if [ -n "$earlier" ]; then
  echo "== orrel -help (start-up): this build against the earlier one"
  $paired "$runs" "$bin/orrel -help" "$earlier/orrel -help"
fi

for rows in 1000 1000000; do
  data=$work/plot-$rows.csv
  "$python" "$here/../commands/make_plot_csv.py" "$data" "$rows"
  for ending in pdf png svg; do
    [ "$rows" = 1000 ] && [ "$ending" != pdf ] && continue
    out=$work/out.$ending
    if [ -n "$earlier" ]; then
      echo "== $rows rows, $ending: this build against the earlier one"
      $paired "$runs" "$bin/orrel $data -script $template -output $out" \
        "$earlier/orrel $data -script $template -output $work/earlier.$ending"
    fi
    echo "== $rows rows, $ending: orrel against gnuplot"
    $paired "$runs" "$bin/orrel $data -script $template -output $out" \
      "$here/../commands/plot_gnuplot.sh $data $work/gnuplot.$ending"
    echo "== $rows rows, $ending: orrel against matplotlib"
    $paired "$runs" "$bin/orrel $data -script $template -output $out" \
      "$python $here/../commands/plot_matplotlib.py $data $work/mpl.$ending"
  done
done
