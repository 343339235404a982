#!/usr/bin/env bash
# The main job on the bundled example: the template document built from code
# by orrel-examples is fed the example data through orrel, which writes the
# graph as PDF, SVG and PNG, the same graph with a variable overridden, and a
# movie of the animation parameter, into build/demo/.
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

data=examples/damped-oscillation.txt
template=$templates/damped-oscillation.orrel
for ending in pdf svg png; do
  run "$data" -script "$template" -output "$out/damped-oscillation.$ending"
done
run "$data" -script "$template" -v decay=0.25 -dpi 144 -output "$out/damped-oscillation-fitted.png"
run "$data" -script "$template" -output "$out/damped-oscillation.mov"

echo
echo "The graphs are in $out:"
ls -l "$out"
