#!/usr/bin/env python3
"""The program's own size: the executable without its resources (icon, bitmaps, messages,
manifest, payload), against the 64 KB we aim for.

    bench/code_size.py [program.exe]     (default: build/win/GearRackInstaller.exe)
"""
import struct
import sys
from pathlib import Path

GOAL = 64 * 1024


def sections(data):
    """(name, raw size) of every section of a PE file."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    table = pe + 24 + optional_size
    for index in range(count):
        name, raw_size = struct.unpack_from("<8s8xI", data, table + 40 * index)
        yield name.rstrip(b"\0").decode(), raw_size


def main():
    program = Path(sys.argv[1] if len(sys.argv) > 1 else "build/win/GearRackInstaller.exe")
    data = program.read_bytes()
    parts = dict(sections(data))
    resources = parts.get(".rsrc", 0)
    code_size = len(data) - resources
    print(f"program: {program}")
    print(f"file: {len(data)} bytes; resources: {resources} bytes")
    for name, size in parts.items():
        print(f"  {name:8} {size:7} bytes")
    print(f"code size without resources: {code_size} bytes = {code_size / GOAL:.2f} of the 64 KB goal")
    return 0 if code_size <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
