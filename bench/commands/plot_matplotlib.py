#!/usr/bin/env python3
"""The benchmark's job in matplotlib: read the CSV, plot y against x as a
line, save a 640 x 480 point picture (72 dpi) in the form the ending names.

    /usr/bin/python3 bench/commands/plot_matplotlib.py data.csv out.pdf|out.png|out.svg
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import pandas as pd  # noqa: E402


def main(data, output):
    table = pd.read_csv(data)
    fig = plt.figure(figsize=(640 / 72, 480 / 72), dpi=72)
    ax = fig.add_subplot()
    ax.plot(table["x"].to_numpy(), table["y"].to_numpy(), color="black", linewidth=1)
    fig.savefig(output, dpi=72)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
