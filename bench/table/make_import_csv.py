# Writes the text-import benchmark's data file: a header line and 2.6 million
# rows of four numeric columns separated by commas (about 118 MB), made from
# a fixed seed so every run and every machine gets the same bytes.
#   make_import_csv.py OUTPUT [rows]
import sys

import numpy as np

path = sys.argv[1]
rows = int(sys.argv[2]) if len(sys.argv) > 2 else 2_600_000
rng = np.random.default_rng(20240611)
block = 100_000

with open(path, "w", encoding="ascii", newline="\n") as out:
    out.write("time,voltage,current,temperature\n")
    for start in range(0, rows, block):
        n = min(block, rows - start)
        time = (np.arange(start, start + n) * 0.001).round(3)
        voltage = rng.normal(0.0, 100.0, n)
        current = rng.uniform(-1.0, 1.0, n) * 1e-3
        temperature = 20.0 + rng.normal(0.0, 5.0, n)
        table = np.column_stack((time, voltage, current, temperature))
        # Three ways numbers are written in real files: fixed decimals, more
        # decimals, and exponent form.
        np.savetxt(out, table, fmt=("%.4f", "%.7f", "%.7e", "%.6f"), delimiter=",")
