#!/usr/bin/env bash
# The main job on the bundled examples: each template document, built from
# code by orrel-examples, is fed its data file from examples/ through orrel,
# which writes the graph as PDF, SVG and PNG into build/demo/. The damped
# oscillation also gets a variable overridden and a movie of its animation
# parameter.
set -euo pipefail
bin=${1:-build/bin}
here=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "$bin" && pwd)
templates=$(cd "$bin/../examples" && pwd)
out=$(cd "$bin/.." && pwd)/demo
mkdir -p "$out"
cd "$here"

run() {
  echo "\$ orrel $*"
  "$bin/orrel" "$@"
}

# One graph in the three forms: template name, data file.
draw() {
  local name=$1 data=$2
  run "$data" -script "$templates/$name.orrel" -output "$out/$name.pdf"
  run "$data" -script "$templates/$name.orrel" -output "$out/$name.svg"
  run "$data" -script "$templates/$name.orrel" -dpi 144 -output "$out/$name.png"
}

# Points of a measured signal and the line of a formula column with two
# parameters; then the decay overridden, and a movie sweeping the frequency.
data=examples/damped-oscillation.txt
template=$templates/damped-oscillation.orrel
for ending in pdf svg png; do
  run "$data" -script "$template" -output "$out/damped-oscillation.$ending"
done
run "$data" -script "$template" -v decay=0.25 -dpi 144 -output "$out/damped-oscillation-fitted.png"
run "$data" -script "$template" -output "$out/damped-oscillation.mov"

# A line with markers and error bars from a CSV file.
draw calibration examples/calibration.csv
# Marker sizes and colours from columns (a number and a text column).
draw stations examples/stations.txt
# Dates read from a text column: a date axis over a year.
draw daily-temperature examples/daily-temperature.txt
# A smooth curve through hourly readings with the area below it filled.
draw solar-power examples/solar-power.txt

echo
echo "The graphs are in $out:"
ls -l "$out"
