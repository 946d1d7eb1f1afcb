#!/usr/bin/env python3
"""Signing and embedding a 256 MB package, against what they must not be much slower than:
scripts/sign-package against `osslsigncode sign` of the same file, and `gearrack-pack
embed` against a plain copy of the signed package.

    bench/signing.py [--megabytes 256] [--repeat 5]

Run from the repository root after scripts/build (it uses the build's throwaway signing
certificate, build/win/signing/). The package is packed from the packing benchmark's
payload (incompressible, generated on first use) into build/bench/signing/. In the same
run, alternating, each from a fresh copy of its input made outside the time, it times:

  sign      scripts/sign-package --program NAME, by the Python running the benchmark
            (osslsigncode, then the program name written as a Unicode string and the
            signer's attributes signed anew)
  osslsign  osslsigncode sign -n NAME of the same unsigned package into a new file
  embed     build/native/gearrack-pack embed of a 40-byte block into the signed package
  copy      cp of the signed package onto a copy of it (embed replaces the package, so
            both free the replaced file's blocks within their time)

Dirty pages are flushed (sync) before every timed run, outside the time; a run is timed
until its process ends. Medians of --repeat runs after one warm-up of each. Goals: sign at
most 2 times osslsign, embed at most 2 times copy. The exit status is 1 when a goal is
missed or a run went wrong.
"""
import argparse
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
SIGNING = extraction.BUILD / "signing"
WORK = REPO / "build" / "bench" / "signing"
GOAL = 2.0
NAME = "Bench Product"


def timed(command):
    subprocess.run(["sync"], check=True)
    started = time.perf_counter()
    finished = subprocess.run([str(part) for part in command], stdout=subprocess.DEVNULL, check=False)
    ended = time.perf_counter()
    if finished.returncode != 0:
        raise extraction.Failure(f"{command[0]} failed with status {finished.returncode}")
    return ended - started


def fresh(source, target):
    target.unlink(missing_ok=True)
    shutil.copyfile(source, target)
    return target


def make_package(megabytes):
    files = extraction.payload_files(megabytes, 4)
    extraction.make_payload(files)
    WORK.mkdir(parents=True, exist_ok=True)
    lines = [f"product {NAME}", "dotnet-4.0-full 0", "dotnet-2.0 -1"]
    lines += [f"file {102 + i} {path} {'setup.exe' if i == 0 else name}" for i, (name, path, _) in enumerate(files)]
    (WORK / "package.txt").write_text("\n".join(lines) + "\n")
    unsigned = WORK / "unsigned.exe"
    subprocess.run([TOOL, "build", WORK / "package.txt", "-o", unsigned, "--program", PROGRAM], check=True,
                   stdout=subprocess.DEVNULL)
    signed = fresh(unsigned, WORK / "signed.exe")
    subprocess.run([REPO / "scripts" / "sign-package", "--cert", SIGNING / "cert.pem", "--key", SIGNING / "key.pem",
                    "--program", NAME, signed], check=True)
    (WORK / "info.xml").write_bytes(b"<info><channel>bench</channel></info>\n")
    return unsigned, signed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--megabytes", type=int, default=256)
    parser.add_argument("--repeat", type=int, default=5)
    options = parser.parse_args()
    unsigned, signed = make_package(options.megabytes)
    key = ["--cert", SIGNING / "cert.pem", "--key", SIGNING / "key.pem"]
    target = WORK / "target.exe"
    out = WORK / "out.exe"
    sides = {
        # By the Python running the benchmark (the system's, /usr/bin/python3): a version
        # manager's python3 shim on the PATH can take longer to start than the signing.
        "sign": lambda: timed([sys.executable, REPO / "scripts" / "sign-package", *key, "--program", NAME,
                               fresh(unsigned, target)]),
        "osslsign": lambda: (out.unlink(missing_ok=True), timed(
            ["osslsigncode", "sign", "-h", "sha256", "-certs", key[1], "-key", key[3], "-n", NAME,
             "-in", fresh(unsigned, target), "-out", out]))[1],
        "embed": lambda: timed([TOOL, "embed", fresh(signed, target), WORK / "info.xml"]),
        # Onto a copy already there, as embed replaces the package: both free the old file's blocks.
        "copy": lambda: timed(["cp", fresh(signed, target), fresh(signed, out)]),
    }
    for run in sides.values():
        run()  # warm-up
    times = {side: [] for side in sides}
    for _ in range(options.repeat):
        for side, run in sides.items():
            times[side].append(run())
    median = {side: statistics.median(values) for side, values in times.items()}
    print(f"package: {signed.stat().st_size:,} bytes signed; medians of {options.repeat} runs")
    for side, value in median.items():
        print(f"{side:9} {value:7.3f} s   (runs: {', '.join(f'{v:.3f}' for v in times[side])})")
    ratios = {"sign / osslsign": median["sign"] / median["osslsign"], "embed / copy": median["embed"] / median["copy"]}
    for name, ratio in ratios.items():
        print(f"{name:16} {ratio:5.2f}   goal: at most {GOAL}")
    return 0 if max(ratios.values()) <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
