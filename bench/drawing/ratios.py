#!/usr/bin/env python3
"""Runs the drawing benchmark once (three repetitions, medians) and prints, for
each job and destination, the display list's time over plain cairo's time
for the same geometry.

    python3 bench/drawing/ratios.py build-bench/bin/drawing_benchmark
"""
import json
import subprocess
import sys


def main(binary):
    out = subprocess.run([binary, "--benchmark_format=json", "--benchmark_repetitions=3",
                          "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True).stdout
    medians = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            medians[b["run_name"]] = b["real_time"]
    print(f"{'job':10} {'target':6} {'display list ms':>16} {'cairo ms':>10} {'ratio':>6}")
    for job in ("Polyline", "Markers", "Stencil"):
        for arg, target in (("0", "image"), ("1", "PDF")):
            ours = medians[f"BM_{job}_Orrelin/{arg}"]
            limit = medians[f"BM_{job}_Cairo/{arg}"]
            print(f"{job:10} {target:6} {ours:16.1f} {limit:10.1f} {ours / limit:6.2f}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build-bench/bin/drawing_benchmark")
