#!/usr/bin/env python3
"""Movie encoding next to the ffmpeg tool encoding the same frames.

Runs movie_benchmark (which first dumps its 30 frames of 800 x 600 as raw
RGBA), then has ffmpeg encode those frames, repeated to 300, with the same
codec settings on one thread. Prints, per codec, our encoding time per frame
(a movie frame minus drawing it) and ffmpeg's (its run minus a one-frame run,
which is its start-up), and the ratio. Both are processor times.

    python3 bench/writers/movie_compare.py build-bench/bin/movie_benchmark
"""
import json
import os
import resource
import subprocess
import sys
import tempfile

CODECS = {  # benchmark label -> ffmpeg encoder options
    "rle ": ["-c:v", "qtrle", "-pix_fmt", "rgb24"],
    "jpeg": ["-c:v", "mjpeg", "-q:v", "3", "-qmin", "1", "-pix_fmt", "yuvj420p"],
    "mjp2": ["-c:v", "libopenjpeg", "-compression_level", "3", "-irreversible", "1", "-pix_fmt", "rgb24"],
    "png ": ["-c:v", "png", "-pix_fmt", "rgb24"],
}


def ffmpeg_seconds(raw, options, loops, frames):
    out = os.path.join(os.path.dirname(raw), "ffmpeg.mov")
    command = ["ffmpeg", "-v", "error", "-y", "-threads", "1", "-f", "rawvideo", "-pix_fmt", "rgba",
               "-s", "800x600", "-r", "30", "-stream_loop", str(loops), "-i", raw,
               "-frames:v", str(frames), "-threads", "1"] + options + [out]
    # Processor time (user and system) of the ffmpeg process, as the
    # benchmark counts its own: on a shared machine wall-clock time is noise.
    best = float("inf")
    for _ in range(3):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(command, check=True)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        best = min(best, after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    return best


def main(benchmark):
    with tempfile.TemporaryDirectory() as folder:
        raw = os.path.join(folder, "frames.raw")
        result = subprocess.run([benchmark, "--dump-frames=" + raw, "--benchmark_format=json",
                                 "--benchmark_repetitions=3", "--benchmark_report_aggregates_only=true"],
                                check=True, capture_output=True, text=True)
        runs = [b for b in json.loads(result.stdout)["benchmarks"] if b.get("aggregate_name") == "median"]
        per_frame = {}
        for b in runs:
            seconds = 1 / b["items_per_second"]
            per_frame["draw" if b["run_name"].startswith("BM_DrawFrame") else b["label"]] = seconds
        draw = per_frame["draw"]
        print(f"drawing a frame: {draw * 1000:.2f} ms")
        print("codec  ours/frame  ffmpeg/frame  ratio  (encoding only, ms)")
        for label, options in CODECS.items():
            ours = per_frame[label] - draw
            theirs = (ffmpeg_seconds(raw, options, 9, 300) - ffmpeg_seconds(raw, options, 0, 1)) / 299
            print(f"{label!r:6} {ours * 1000:10.2f}  {theirs * 1000:12.2f}  {ours / theirs:5.2f}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build-bench/bin/movie_benchmark")
