#!/usr/bin/env python3
"""Runs bench_numeric once and prints each element-wise operation's speed as
a ratio to the memory-bandwidth limit (memcpy of the same bytes), Sort
against std::sort, and the matrix product in GFLOP/s. Times are CPU times,
which the rates are computed from (on a shared machine they are steadier
than wall-clock times), except for the product, which runs on several
threads and is timed by the clock.

    bench/numeric/array_ratios.py build-bench/bin/bench_numeric
"""
import json
import subprocess
import sys


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else "build-bench/bin/bench_numeric"
    out = subprocess.run([binary, "--benchmark_format=json"], check=True, capture_output=True, text=True).stdout
    # "SortArray/iterations:3" is found as "SortArray", "MatrixProduct/1000/real_time"
    # as "MatrixProduct/1000".
    runs = {}
    for b in json.loads(out)["benchmarks"]:
        name = "/".join(part for part in b["name"].split("/") if not part.startswith(("iterations:", "real_time")))
        runs[name] = b
    limit = runs["MemcpyLimit"]["bytes_moved"]
    print(f"memcpy bandwidth: {limit / 2**30:.2f} GiB/s (bytes read + written)")
    for name, run in runs.items():
        if "bytes_moved" in run and name != "MemcpyLimit":
            ratio = limit / run["bytes_moved"]
            print(f"{name:45s} {run['cpu_time']:9.2f} ms  {ratio:5.2f}x the bandwidth limit")
    sort, std_sort = runs["SortArray"]["cpu_time"], runs["StdSort"]["cpu_time"]
    print(f"{'Sort / std::sort':45s} {sort:9.1f} ms / {std_sort:.1f} ms = {sort / std_sort:.2f}")
    product = runs["MatrixProduct/1000"]
    print(f"{'1000 x 1000 product':45s} {product['real_time']:9.1f} ms  {product['GFLOP/s']:.1f} GFLOP/s")


if __name__ == "__main__":
    main()
