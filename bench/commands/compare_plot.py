#!/usr/bin/env python3
"""Times the plot job as whole processes, side by side on the same CSV file:
Orrelin's plot_csv, matplotlib and gnuplot, for PDF, PNG and SVG. Prints the
median wall time of each and Orrelin's time over the faster peer's.

    /usr/bin/python3 bench/commands/make_plot_csv.py /tmp/plot-1e6.csv
    /usr/bin/python3 bench/commands/compare_plot.py build-bench/bin/plot_csv /tmp/plot-1e6.csv [runs]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def wall(command, runs):
    subprocess.run(command, check=True, capture_output=True)  # warm-up
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, check=True, capture_output=True)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main(binary, data, runs):
    print(f"{'form':5} {'orrelin s':>10} {'matplotlib s':>13} {'gnuplot s':>10} {'ratio to best':>14}")
    with tempfile.TemporaryDirectory() as folder:
        for ending in ("pdf", "png", "svg"):
            out = os.path.join(folder, "plot." + ending)
            ours = wall([binary, data, out], runs)
            mpl = wall([sys.executable, os.path.join(HERE, "plot_matplotlib.py"), data, out], runs)
            gp = wall([os.path.join(HERE, "plot_gnuplot.sh"), data, out], runs)
            print(f"{ending:5} {ours:10.3f} {mpl:13.3f} {gp:10.3f} {ours / min(mpl, gp):14.3f}")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 5)
