#!/usr/bin/env python3
"""Times the whole job of a scatter graph of 10^6 points read from a CSV file,
as one process per output form, with Orrelin's scatter_benchmark and with
matplotlib's scatter + savefig on the same file, and prints each form's time
and the ratio Orrelin / matplotlib. One run each, on the same machine.

    /usr/bin/python3 bench/commands/compare_scatter.py build-bench/bin/scatter_benchmark

(Debian's python3, which has python3-matplotlib and python3-numpy.)
"""
import os
import subprocess
import sys
import tempfile
import time

POINTS = 1000000
FORMS = ["pdf", "png", "svg"]

MATPLOTLIB = r"""
import sys
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np
data = np.loadtxt(sys.argv[1], delimiter=",", skiprows=1)
fig = plt.figure(figsize=(640 / 72, 480 / 72), dpi=72)
ax = fig.add_axes([60 / 640, 40 / 480, 560 / 640, 420 / 480])
ax.scatter(data[:, 0], data[:, 1], s=9, facecolors="white", edgecolors="#1f77b4", linewidths=0.5)
fig.savefig(sys.argv[2], dpi=72)
"""


def write_data(path):
    # The same deterministic cloud for both sides: two interleaved spirals
    # with a linear congruential jitter.
    seed = 12345
    with open(path, "w") as f:
        f.write("x,y\n")
        for i in range(POINTS):
            seed = (seed * 1103515245 + 12345) % 2147483648
            jitter = seed / 2147483648.0 - 0.5
            t = i / POINTS * 12.0
            f.write("%.6f,%.6f\n" % (t * (1 + 0.1 * jitter), (i % 1000) / 10.0 + 5 * jitter))


def timed(command):
    start = time.perf_counter()
    result = subprocess.run(command, capture_output=True, text=True)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), result.stderr))
    return elapsed, result.stderr.strip()


def main(binary):
    with tempfile.TemporaryDirectory() as folder:
        data = os.path.join(folder, "points.csv")
        write_data(data)
        script = os.path.join(folder, "scatter.py")
        with open(script, "w") as f:
            f.write(MATPLOTLIB)
        print("%d points, whole process per form, one run each" % POINTS)
        print("%-5s %12s %12s %8s" % ("form", "Orrelin s", "matplotlib s", "ratio"))
        for form in FORMS:
            ours, detail = timed([binary, data, os.path.join(folder, "orrelin." + form)])
            theirs, _ = timed([sys.executable, script, data, os.path.join(folder, "matplotlib." + form)])
            print("%-5s %12.3f %12.3f %8.3f   (%s)" % (form, ours, theirs, ours / theirs, detail))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build-bench/bin/scatter_benchmark")
