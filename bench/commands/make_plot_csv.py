#!/usr/bin/env python3
"""Writes the benchmark's data: a header line "x,y" and 10^6 rows of a noisy
sine (the same file every time).

    /usr/bin/python3 bench/commands/make_plot_csv.py /tmp/plot-1e6.csv [rows]
"""
import sys

import numpy as np


def main(path, rows):
    x = np.linspace(0, 100, rows)
    noise = np.random.default_rng(1).normal(0, 0.05, rows)
    y = np.sin(x) + 0.3 * np.sin(7.3 * x) + noise
    np.savetxt(path, np.column_stack([x, y]), fmt="%.9g", delimiter=",", header="x,y", comments="")


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 1000000)
