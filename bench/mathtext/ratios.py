#!/usr/bin/env python3
"""Runs the math-text benchmark once (three repetitions, medians) and prints
the time per label of math text and of pango on its own for the same plain
labels, and of the tick labels with a typeset exponent, with the ratios.

    python3 bench/mathtext/ratios.py build-bench/bin/mathtext_benchmark
"""
import json
import subprocess
import sys

LABELS = 10000


def main(binary):
    out = subprocess.run([binary, "--benchmark_format=json", "--benchmark_repetitions=3",
                          "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True).stdout
    medians = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            # Processor time: the machines are shared, and both sides run on
            # one thread, so the wall clock mostly measures the neighbours.
            medians[b["run_name"]] = b["cpu_time"] * 1000 / LABELS  # microseconds per label
    print(f"{'job':16} {'math text us':>13} {'pango us':>9} {'ratio':>6}")
    for arg, job in (("0", "lay out"), ("1", "lay out + draw")):
        plain = medians[f"BM_PlainLabels_MathText/{arg}"]
        pango = medians[f"BM_PlainLabels_Pango/{arg}"]
        ticks = medians[f"BM_TickLabels_MathText/{arg}"]
        print(f"{'plain, ' + job:16} {plain:13.2f} {pango:9.2f} {plain / pango:6.2f}")
        print(f"{'ticks, ' + job:16} {ticks:13.2f} {pango:9.2f} {ticks / pango:6.2f}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build-bench/bin/mathtext_benchmark")
