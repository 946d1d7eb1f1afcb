#!/usr/bin/env python3
"""Packing the 256 MB benchmark payload against a plain copy of the same bytes on the same
disk, and the packaging tool's peak memory.

    bench/packing.py [--megabytes 256] [--files 4] [--repeat 5]

Run from the repository root after scripts/build. The payload is the extraction
benchmark's (incompressible pseudo-random files under build/bench/extraction/payload/,
generated on first use). In the same run, alternating, it times:

  pack   build/native/gearrack-pack building a package of the payload into
         build/bench/packing/ from the program with no package (build/win/program/)
  copy   cp of the same payload files into a folder beside it

Dirty pages are flushed (sync) before every timed run, outside the time; each run is
timed twice: until its process ends (the bytes in the page cache) and until its output is
on the disk too (fsync of every file it wrote). The tool's peak memory is the maximum
resident set size GNU time reports for its process. Medians of --repeat runs
after one warm-up of each. Goals: packing takes at most 1.5 times the copy, and the tool
stays under 64 MB. The exit status is 1 when a goal is missed or a run went wrong.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "bench"))
import extraction  # noqa: E402  (the benchmark payload)

TOOL = REPO / "build" / "native" / "gearrack-pack"
PROGRAM = extraction.BUILD / "program" / "GearRackInstaller.exe"
WORK = REPO / "build" / "bench" / "packing"
RATIO_GOAL = 1.5
MEMORY_GOAL = 64 * 1024 * 1024


def timed(command, outputs):
    """Runs `command`; returns (seconds until it ended, seconds until its outputs were on the
    disk, its peak resident bytes). The peak is GNU time's report: a child's own figure
    would include the memory of this Python process, which it starts as a copy of."""
    subprocess.run(["sync"], check=True)
    report = WORK / "memory.txt"
    started = time.perf_counter()
    finished = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report, *command], stdout=subprocess.DEVNULL,
                              check=False)
    ended = time.perf_counter()
    status = finished.returncode
    for path in outputs:
        with open(path, "rb") as written:
            os.fsync(written.fileno())
    synced = time.perf_counter()
    if status != 0:
        raise extraction.Failure(f"{command[0]} failed with status {status}")
    return ended - started, synced - started, int(report.read_text().split()[-1]) * 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--megabytes", type=int, default=256)
    parser.add_argument("--files", type=int, default=4)
    parser.add_argument("--repeat", type=int, default=5)
    options = parser.parse_args()
    files = extraction.payload_files(options.megabytes, options.files)
    extraction.make_payload(files)
    WORK.mkdir(parents=True, exist_ok=True)
    definition = WORK / "package.txt"
    definition.write_text("".join(f"file {102 + index} {path} {name}\n" for index, (name, path, _) in enumerate(files)))
    package = WORK / "GearRackInstaller.exe"
    copies = WORK / "copy"
    total = sum(size for _, _, size in files)

    def pack():
        package.unlink(missing_ok=True)
        return timed([TOOL, "build", definition, "-o", package, "--program", PROGRAM], [package])

    def copy():
        shutil.rmtree(copies, ignore_errors=True)
        copies.mkdir()
        return timed(["cp", *[path for _, path, _ in files], copies], [copies / name for name, _, _ in files])

    pack(), copy()  # warm-up: the payload in the page cache for both
    runs = {"pack": [], "copy": []}
    for _ in range(options.repeat):
        runs["pack"].append(pack())
        runs["copy"].append(copy())
    median = {side: [statistics.median(run[i] for run in runs[side]) for i in range(3)] for side in runs}
    peak = max(run[2] for run in runs["pack"])
    overhead = package.stat().st_size - total
    print(f"payload: {len(files)} files, {total:,} bytes; package {package.stat().st_size:,} bytes "
          f"(everything but the payload: {overhead:,} bytes)")
    print(f"{'':6} {'ended':>9} {'on disk':>9}   (medians of {options.repeat})")
    for side in runs:
        print(f"{side:6} {median[side][0]:8.3f}s {median[side][1]:8.3f}s")
    ratios = [median["pack"][i] / median["copy"][i] for i in range(2)]
    print(f"ratio  {ratios[0]:9.2f} {ratios[1]:9.2f}   goal: at most {RATIO_GOAL}")
    print(f"tool's peak memory: {peak / 1024 / 1024:.1f} MB (goal: under {MEMORY_GOAL // 1024 // 1024} MB); "
          f"cp's: {max(run[2] for run in runs['copy']) / 1024 / 1024:.1f} MB")
    return 0 if max(ratios) <= RATIO_GOAL and peak < MEMORY_GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
