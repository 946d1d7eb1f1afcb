#!/usr/bin/env python3
"""Time from the bootstrapper's start to the wizard's start, against starting the same
wizard directly, in the same run and under the same Wine.

    bench/launch.py [--repeat 15]

Both cases run through the exit-code reporter, which notes the tick count just before it
starts its program; the probe wizard notes the tick count at its own start. The difference
is the time to the wizard: for the direct case one process start, for the bootstrapper its
start, checks, extraction of the probe package's payload and the wizard's process start.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402


def time_to_wizard(command_line, folder):
    """Milliseconds from the reporter's launch to the probe's start, and to the
    bootstrapper's "Started" line when the command line has a log."""
    record = folder / "record.txt"
    record.unlink(missing_ok=True)
    env = dict(os.environ, GEARRACK_COMMAND_LINE=command_line, GEARRACK_PROBE_RECORD=harness.windows_path(record))
    with tempfile.TemporaryFile() as output:
        subprocess.run([harness.LAUNCHER, str(harness.EXIT_CODE_REPORTER)], cwd=folder, env=env, stdout=output,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=120, check=True)
        output.seek(0)
        text = output.read().decode()
    launched = int(re.search(r"launched at (\d+)", text).group(1))
    assert "exit code 0x00000000" in text, text
    started = int(re.search(r"started=(\d+)", record.read_text(encoding="utf-8")).group(1))
    log = folder / "setup.log"
    own = None
    if log.exists():
        own = int(re.search(rb"Started (-?\d+)", log.read_bytes()).group(1)) % 2**32 - launched % 2**32
        log.unlink()
    return started - launched, own


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--repeat", type=int, default=15)
    repeat = parser.parse_args().repeat
    package = harness.package("probe")
    probe = harness.BUILD / "tools" / "probe_wizard.exe"
    harness.start_wine()
    try:
        with tempfile.TemporaryDirectory(dir=REPO / "build") as scratch:
            folder = Path(scratch)
            cases = {
                "wizard started directly": f'"{harness.windows_path(probe)}"',
                "wizard started by the bootstrapper": f'"{harness.windows_path(package)}" /IAgreeToTheEULA '
                                                      f'log "{harness.windows_path(folder / "setup.log")}"',
            }
            times = {name: [] for name in cases}
            own_start = []
            for _ in range(repeat + 1):  # the first round warms the caches and is dropped
                for name, command_line in cases.items():
                    total, own = time_to_wizard(command_line, folder)
                    times[name].append(total)
                    if own is not None:
                        own_start.append(own)
    finally:
        harness.stop_wine()
    medians = {name: statistics.median(values[1:]) for name, values in times.items()}
    for name, median in medians.items():
        print(f"{name:40} median {median:6.0f} ms  (of {repeat})")
    direct, boot = medians.values()
    start = statistics.median(own_start[1:])
    print(f"of which the bootstrapper's own process start (to its 'Started' line): {start:.0f} ms")
    print(f"and its work from 'Started' to the wizard's creation: {boot - direct - start:.0f} ms")
    print(f"bootstrapper's own share: {boot - direct:.0f} ms; time to wizard ratio: {boot / max(direct, 1):.2f}")


if __name__ == "__main__":
    main()
