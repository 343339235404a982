#!/bin/sh
# The benchmark's job in gnuplot: read the CSV, plot y against x as a line,
# write a 640 x 480 point picture in the form the ending names.
#
#   bench/commands/plot_gnuplot.sh data.csv out.pdf|out.png|out.svg
data="$1"
output="$2"
case "$output" in
  *.pdf) terminal="pdfcairo size 640/72.,480/72." ;;
  *.png) terminal="pngcairo size 640,480" ;;
  *.svg) terminal="svg size 640,480" ;;
  *) echo "plot_gnuplot.sh: unknown ending: $output" >&2; exit 2 ;;
esac
exec gnuplot -e "set terminal $terminal; set output '$output'; set datafile separator ','; \
set key off; plot '$data' using 1:2 every ::1 with lines linecolor rgb 'black' linewidth 1"
