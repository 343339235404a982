#!/usr/bin/env bash
# The main job on the bundled example. Drawing comes with later layers; for
# now the demo shows the tool's help and hands the example data to the
# application as a ticket, which the application reads back.
set -uo pipefail
bin=${1:-build/bin}
here=$(cd "$(dirname "$0")/.." && pwd)

echo "\$ orrel -help"
"$bin/orrel" -help
echo
echo "The example documents, built from code by orrel-examples:"
ls -d "$bin"/../examples/*.orrel 2>/dev/null
echo
echo "\$ orrel examples/damped-oscillation.txt -v decay=4"
cd "$here"
"$bin/orrel" examples/damped-oscillation.txt -v decay=4
status=$?
# The application is started detached; give it a moment to print.
sleep 1
echo "(orrel exit status $status: 1 means the application accepted the ticket)"
ticket=$(ls -t "${TMPDIR:-/tmp}"/org.orrelin.Orrelin.orrel.*.orrelticket 2>/dev/null | head -n 1)
if [ -n "$ticket" ]; then
  echo
  echo "The ticket $ticket:"
  cat "$ticket"
fi
[ "$status" -eq 1 ]
