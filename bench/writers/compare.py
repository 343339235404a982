#!/usr/bin/env python3
"""Writes the benchmark's graph of 10^6 points in every form with Orrelin (the
line as the plot command hands it over, thinned) and with cairo writing the
same thinned path directly (the writers benchmark), and the same picture with
matplotlib from all the points, then prints each form's time against cairo's
and its file size against matplotlib's.

    /usr/bin/python3 bench/writers/compare.py build-bench/bin/writers_benchmark

(Debian's python3, which has python3-matplotlib and python3-numpy.)
"""
import json
import os
import subprocess
import sys
import tempfile
import time

ENDINGS = ["svg", "pdf", "eps", "png", "tiff", "jpg", "jp2", "mvg"]
POINTS = 1000000


def orrelin_and_cairo(binary):
    out = subprocess.run([binary, "--benchmark_format=json", "--benchmark_repetitions=3",
                          "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True).stdout
    results = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        side, arg = b["run_name"].split("/")
        results[(side, ENDINGS[int(arg)])] = (b["real_time"], b["bytes"], b.get("points", 0))
    return results


def matplotlib_sizes(simplify):
    """matplotlib simplifies long paths by default (points that change the
    picture by less than a ninth of a pixel are dropped); without it every
    point is written, as Orrelin writes the path it is handed."""
    import matplotlib
    matplotlib.use("Agg")
    matplotlib.rcParams["path.simplify"] = simplify
    import matplotlib.pyplot as plt
    import numpy as np
    t = np.linspace(0, 1, POINTS)
    x = 40 + t * 720
    y = 300 + 200 * np.sin(40 * t) + 30 * np.sin(7919.0 * t)
    sizes = {}
    with tempfile.TemporaryDirectory() as folder:
        for ending in ("svg", "pdf", "eps", "png", "tiff", "jpg"):
            fig = plt.figure(figsize=(800 / 72, 600 / 72), dpi=72)
            ax = fig.add_axes([0, 0, 1, 1])
            ax.set_xlim(0, 800)
            ax.set_ylim(0, 600)
            ax.axis("off")
            ax.plot(x, y, color=(0, 0, 0.8), linewidth=0.5)
            ax.add_patch(plt.Rectangle((40, 40), 720, 520, fill=False, linewidth=1))
            path = os.path.join(folder, "plot." + ending)
            start = time.perf_counter()
            fig.savefig(path, dpi=72)
            sizes[ending] = (1000 * (time.perf_counter() - start), os.path.getsize(path))
            plt.close(fig)
    return sizes


def main(binary):
    ours = orrelin_and_cairo(binary)
    simplified = matplotlib_sizes(True)
    every_point = matplotlib_sizes(False)
    print(f"{'form':5} {'points':>7} {'orrelin ms':>11} {'cairo ms':>9} {'ratio':>6} {'orrelin bytes':>14} "
          f"{'mpl bytes':>10} {'ratio':>6} {'mpl ms':>7} {'mpl all bytes':>14} {'ratio':>6} {'mpl all ms':>10}")
    for ending in ENDINGS:
        ms, size, points = ours[("BM_Write_Orrelin", ending)]
        cairo = ours.get(("BM_Write_Cairo", ending))
        ratio = f"{ms / cairo[0]:6.2f}" if cairo else "     -"
        cairo_ms = f"{cairo[0]:9.1f}" if cairo else "        -"
        columns = ""
        for mpl, width in ((simplified, 10), (every_point, 14)):
            m = mpl.get(ending)
            if m:
                columns += f" {m[1]:{width}d} {size / m[1]:6.2f} {m[0]:{7 if width == 10 else 10}.1f}"
            else:
                columns += f" {'-':>{width}} {'-':>6} {'-':>{7 if width == 10 else 10}}"
        print(f"{ending:5} {int(points):7d} {ms:11.1f} {cairo_ms} {ratio} {int(size):14d}{columns}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build-bench/bin/writers_benchmark")
