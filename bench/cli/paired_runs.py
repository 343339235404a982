#!/usr/bin/python3
# Times two commands as whole processes, run in turn (A B A B ...) after one
# warm-up each, and prints for each the median CPU seconds (user + system),
# wall seconds and peak resident memory, and the medians of the pair-by-pair
# ratios A/B. Pairing keeps a ratio meaningful on a machine whose speed
# drifts with other work.
#
#   paired_runs.py RUNS 'COMMAND A' ['COMMAND B']
#
# Commands are split as a shell splits words and run without a shell; their
# output is thrown away. With one command only its figures are printed.
import os
import shlex
import statistics
import subprocess
import sys
import time


def run(argv):
    start = time.monotonic()
    with open(os.devnull, "wb") as null:
        process = subprocess.Popen(argv, stdout=null, stderr=null)
        _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        print(f"note: {argv[0]} exited with {code}", file=sys.stderr)
    return {"cpu": usage.ru_utime + usage.ru_stime, "wall": wall, "peak MiB": usage.ru_maxrss / 1024}


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: paired_runs.py RUNS 'COMMAND A' ['COMMAND B']")
    runs = int(sys.argv[1])
    commands = [shlex.split(c) for c in sys.argv[2:]]
    for argv in commands:
        run(argv)
    results = [[] for _ in commands]
    for _ in range(runs):
        for i, argv in enumerate(commands):
            results[i].append(run(argv))
    names = "AB"
    for i, argv in enumerate(commands):
        figures = ", ".join(
            f"{key} {statistics.median(r[key] for r in results[i]):.4g}" for key in ("cpu", "wall", "peak MiB"))
        print(f"{names[i]} ({os.path.basename(argv[0])}): median {figures}")
    if len(commands) == 2:
        for key in ("cpu", "wall"):
            ratios = [a[key] / b[key] for a, b in zip(results[0], results[1]) if b[key] > 0]
            print(f"A/B {key}: median {statistics.median(ratios):.3f} "
                  f"(min {min(ratios):.3f}, max {max(ratios):.3f}, {len(ratios)} pairs)")


main()
