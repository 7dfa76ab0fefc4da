#!/usr/bin/env python3
"""The command-line tool end to end, as a user runs it, beside `cat` reading the same bytes.

  large: `analyze` and `info` (with every waveform: some 125 MB of JSON, written as it is
         produced) of the 10 lines x 1,000 points x 1,024 samples result file against
         `cat FILE > /dev/null`; median wall time of alternating runs and peak memory.
  batch: 10,000 demo-sized result files in one `analyze FOLDER` call, against 10,000 single
         calls and against `cat` reading all of them.

Usage: bench/cli_end_to_end.py [--build build/release] [--runs 9] [--files 10000] [large|batch]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile
import time


def run_once(command):
    """Wall seconds of one run, output discarded."""
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def peak_memory(command):
    """Peak resident memory (KiB) of one run, as GNU time measures it: the memory of a child
    started from this Python process would include the interpreter's own pages."""
    measured = subprocess.run(["/usr/bin/time", "-f", "%M", *command],
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    return int(measured.stderr.split()[-1])


def alternate(commands, runs):
    """Runs the commands in turn, `runs` rounds; the median time and the peak memory of each."""
    times = {label: [] for label in commands}
    for _ in range(runs):
        for label, command in commands.items():
            times[label].append(run_once(command))
    return {label: (statistics.median(times[label]), peak_memory(command))
            for label, command in commands.items()}


def large(build, runs, folder):
    cli = os.path.join(build, "src/cli/crackdepth-cli")
    path = os.path.join(folder, "LARGE.DPA")
    subprocess.run([os.path.join(build, "bench/read_result_bench"),
                    f"--write-large-result={path}"], check=True, stdout=subprocess.DEVNULL)
    size = os.path.getsize(path)
    run_once(["cat", path])  # warm the page cache
    results = alternate({"cat FILE > /dev/null": ["cat", path],
                         "crackdepth-cli analyze FILE": [cli, "analyze", path],
                         "analyze FILE --no-checks": [cli, "analyze", path, "--no-checks"],
                         "crackdepth-cli info FILE": [cli, "info", path],
                         "info FILE --samples": [cli, "info", path, "--samples"]}, runs)
    records = 10 * 1000 * 80
    cat_time = results["cat FILE > /dev/null"][0]
    print(f"large result file: {size} bytes, {runs} alternating runs, median wall time")
    for label, (seconds, kib) in results.items():
        print(f"  {label:30s} {seconds * 1000:7.2f} ms  {seconds / cat_time:5.2f} x cat"
              f"  peak {kib / 1024:6.1f} MiB")
    print(f"  memory target: 8 MiB + {records / 2**20:.2f} MiB of point records")
    print("  (the analysis documents carry the measurement checks, which search every"
          " waveform;\n   with --no-checks the waveforms stay unread)")


def batch(build, runs, folder, files):
    cli = os.path.join(build, "src/cli/crackdepth-cli")
    demo = os.path.join(folder, "demo")
    subprocess.run([cli, "demo", "-o", demo], check=True, stdout=subprocess.DEVNULL)
    archive = os.path.join(folder, "archive")
    os.makedirs(archive)
    paths = []
    for i in range(files):
        path = os.path.join(archive, f"F{i:05d}.DPA")
        shutil.copyfile(os.path.join(demo, "DEMO.DPA"), path)
        paths.append(path)
    size = sum(os.path.getsize(p) for p in paths)
    cat = ["sh", "-c", f"cat {archive}/*.DPA > /dev/null"]
    run_once(cat)
    rounds = max(3, runs // 3)
    results = alternate({"cat all files": cat,
                         "one call, --jobs 1": [cli, "analyze", archive, "--jobs", "1"],
                         "one call, all processors": [cli, "analyze", archive]}, rounds)
    # `cat` with many small files is slow on some virtual machines (about half a millisecond
    # of system time a file here), so a plain read loop is the second yardstick.
    reads = []
    for _ in range(rounds):
        start = time.perf_counter()
        for path in paths:
            with open(path, "rb", buffering=0) as file:
                while file.read(131072):
                    pass
        reads.append(time.perf_counter() - start)
    read_loop = statistics.median(reads)
    # The single calls, one after the other as a shell loop would make them.
    singles = []
    for _ in range(rounds):
        start = time.perf_counter()
        for path in paths:
            run_once([cli, "analyze", path])
        singles.append(time.perf_counter() - start)
    single = statistics.median(singles)
    print(f"batch: {files} copies of the demo result file, {size / 2**20:.1f} MiB,"
          f" median of {rounds} rounds")
    cat_time = results["cat all files"][0]
    print(f"  {'cat all files':30s} {cat_time * 1000:9.1f} ms")
    print(f"  {'read loop (this script)':30s} {read_loop * 1000:9.1f} ms")
    for label in ("one call, --jobs 1", "one call, all processors"):
        seconds, kib = results[label]
        print(f"  {label:30s} {seconds * 1000:9.1f} ms  {seconds / cat_time:5.2f} x cat"
              f"  {seconds / read_loop:5.2f} x read loop"
              f"  {single / seconds:6.1f} x faster than single calls  peak {kib / 1024:.1f} MiB")
    print(f"  {files} single calls{'':15s} {single * 1000:9.1f} ms")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/release")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("what", nargs="*", default=["large", "batch"])
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        if "large" in args.what:
            large(args.build, args.runs, folder)
        if "batch" in args.what:
            batch(args.build, args.runs, folder, args.files)


if __name__ == "__main__":
    main()
