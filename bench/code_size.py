#!/usr/bin/env python3
"""The program's own size: the executable without its resources (icon, bitmaps, messages,
manifest, payload), against the 64 KB we aim for; and a package's overhead (everything in
the file but the payload: code, resources, pictures, signature), for the sample with its
24-bit pictures and for the same package with the neutral 8-bit pictures, against the
160 KB we aim for with the neutral ones.

    bench/code_size.py [program.exe]     (default: build/win/GearRackInstaller.exe, the sample)

The package with the neutral pictures is the sample's definition without its pictures,
packed with build/native/gearrack-pack into build/bench/code_size/ and signed as the build
signs the sample; both overheads come from the packages' own files.
"""
import json
import re
import subprocess
import struct
import sys
from pathlib import Path

GOAL = 64 * 1024
OVERHEAD_GOAL = 160 * 1024
REPO = Path(__file__).resolve().parents[1]
BUILD = REPO / "build" / "win"
TOOL = REPO / "build" / "native" / "gearrack-pack"


def sections(data):
    """(name, raw size) of every section of a PE file."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    table = pe + 24 + optional_size
    for index in range(count):
        name, raw_size = struct.unpack_from("<8s8xI", data, table + 40 * index)
        yield name.rstrip(b"\0").decode(), raw_size


def payload_bytes(package):
    """The bytes of a package's payload, as the packaging tool reads them."""
    report = json.loads(subprocess.run([str(TOOL), "inspect", str(package), "--json"], capture_output=True,
                                       text=True, check=True).stdout)
    return sum(record["resource_size"] or 0 for record in report["payload"])


def neutral_sample():
    """The sample package without its own pictures, packed and signed as the sample is."""
    work = REPO / "build" / "bench" / "code_size"
    work.mkdir(parents=True, exist_ok=True)
    sample = REPO / "packages" / "sample"
    lines, signing = [], []
    for line in (sample / "package.txt").read_text().splitlines():
        if re.match(r"^(splash|banner)\s", line):
            continue
        match = re.match(r"^file\s+(\d+)\s+(\S+)\s+(.+)$", line)
        if match and not match.group(2).startswith("@"):
            line = f"file {match.group(1)} {sample / match.group(2)} {match.group(3)}"
        for key in ("program", "link"):
            found = re.match(rf"^signing-{key}\s+(.+)$", line)
            signing += [f"--{key}", found.group(1).strip()] if found else []
        lines.append(line)
    definition = work / "package.txt"
    definition.write_text("\n".join(lines) + "\n")
    package = work / "GearRackInstaller.exe"
    subprocess.run([str(TOOL), "build", str(definition), "-o", str(package), "--program",
                    str(BUILD / "program" / "GearRackInstaller.exe"), "--with",
                    f"gearrack_sample_wizard={BUILD / 'wizard' / 'Corvane.InstallerWizard.UI.exe'}"], check=True)
    subprocess.run([sys.executable, str(REPO / "scripts" / "sign-package"), "--cert", str(BUILD / "signing" / "cert.pem"),
                    "--key", str(BUILD / "signing" / "key.pem"), *signing, str(package)], check=True)
    return package


def overheads():
    """Prints both overheads; true when the neutral one meets its goal."""
    sample = BUILD / "GearRackInstaller.exe"
    neutral = neutral_sample()
    figures = {}
    for label, package in (("sample's 24-bit pictures", sample), ("neutral 8-bit pictures", neutral)):
        figures[label] = package.stat().st_size - payload_bytes(package)
        print(f"package overhead with the {label}: {figures[label]:,} bytes ({figures[label] / 1024:.0f} KB)")
    neutral_overhead = figures["neutral 8-bit pictures"]
    print(f"  the neutral one is {neutral_overhead / OVERHEAD_GOAL:.2f} of the 160 KB goal")
    return neutral_overhead <= OVERHEAD_GOAL


def main():
    program = Path(sys.argv[1] if len(sys.argv) > 1 else BUILD / "GearRackInstaller.exe")
    data = program.read_bytes()
    parts = dict(sections(data))
    resources = parts.get(".rsrc", 0)
    code_size = len(data) - resources
    print(f"program: {program}")
    print(f"file: {len(data)} bytes; resources: {resources} bytes")
    for name, size in parts.items():
        print(f"  {name:8} {size:7} bytes")
    print(f"code size without resources: {code_size} bytes = {code_size / GOAL:.2f} of the 64 KB goal")
    overhead_met = overheads() if len(sys.argv) == 1 else True
    return 0 if code_size <= GOAL and overhead_met else 1


if __name__ == "__main__":
    sys.exit(main())
