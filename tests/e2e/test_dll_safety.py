"""DLL planting: a program started from a folder others can write to (a downloads folder),
or with such a folder as its current directory, must take its system libraries from the
system folder only. Two checks: the import tables, which the loader resolves before any of
the program's code can restrict the search, and canary DLLs planted beside the program and
in the current directory, which leave a mark file when something loads them."""

import re
import shutil
import struct

import pytest

import dialogs
import harness
from harness import BUILD, SAMPLE, read_log, run, windows_path

# The DLLs Windows takes from the system folder whatever the search order: the KnownDLLs
# that every version from Windows 7 on lists, and ntdll, which every process has before its
# first import is resolved. Any other name in an import table is looked for beside the
# program first, before the program can call SetDefaultDllDirectories, so a DLL of that
# name planted there would run inside it.
ALWAYS_FROM_SYSTEM_FOLDER = frozenset({
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll",
    "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll", "ntdll.dll",
})

CANARIES = BUILD / "tools" / "canaries"
MARKS_VARIABLE = "GEARRACK_CANARY_MARKS"
PROGRAM_NAME = SAMPLE.name
UNPROTECTED = harness.package("unprotected")

# Wine does not load a DLL it finds in the search when it has a builtin of that name: it
# maps its builtin instead, the canary's DllMain never runs and the canary test could not
# fail. The runs here tell Wine's loader to prefer the file found, as Windows (which has no
# builtins) does. Not for version.dll: Wine's own user32 imports it, so every program would
# load it from beside itself before running any of its code, which Windows's user32 does
# not do. Nor for dbghelp.dll: Wine's imagehlp imports it, and Wine resolves the imports of
# a system DLL loaded from the system folder (wintrust, then imagehlp) along the default
# search rather than from the system folder; Windows searches the system folder for such a
# DLL's dependencies too, and its imagehlp is a KnownDLL.
WINE_BUILTIN_IMPORTS = {"version", "dbghelp"}


def package_programs():
    return sorted((BUILD / "packages").glob(f"*/{PROGRAM_NAME}"))


def program_id(program):
    return "sample" if program == SAMPLE else program.parent.name


def canary_files():
    canaries = sorted(CANARIES.glob("*.dll"))
    assert canaries, f"no canary DLLs in {CANARIES}: build the tests' tools first"
    return canaries


# --- Import tables -------------------------------------------------------------------

def imported_dlls(image):
    """The DLL names in the import and delay-import directories of the PE32 image `image`
    (bytes), in table order."""
    (header,) = struct.unpack_from("<I", image, 0x3C)
    assert image[:2] == b"MZ" and image[header:header + 4] == b"PE\0\0", "not a PE image"
    section_count, optional_size = struct.unpack_from("<H12xH", image, header + 6)
    optional = header + 24
    magic, image_base = struct.unpack_from("<H26xI", image, optional)
    assert magic == 0x10B, f"not PE32 (optional header magic {magic:#x})"
    (directory_count,) = struct.unpack_from("<I", image, optional + 92)
    sections = [struct.unpack_from("<8xIIII", image, optional + optional_size + 40 * index)
                for index in range(section_count)]

    def offset(rva):
        for virtual_size, address, raw_size, raw_offset in sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise AssertionError(f"RVA {rva:#x} is in no section")

    def name_at(rva):
        start = offset(rva)
        return image[start:image.index(b"\0", start)].decode("ascii")

    names = []
    # (directory, descriptor size, offset of the name's RVA in the descriptor)
    for directory, size, name_field in ((1, 20, 12), (13, 32, 4)):
        if directory >= directory_count:
            continue
        (table,) = struct.unpack_from("<I", image, optional + 96 + 8 * directory)
        if not table:
            continue
        position = offset(table)
        while any(image[position:position + size]):
            (name,) = struct.unpack_from("<I", image, position + name_field)
            if directory == 13 and not image[position] & 1:
                name -= image_base  # an old-style delay descriptor holds addresses
            names.append(name_at(name))
            position += size
    return names


def handcrafted_image():
    """A PE32 image with one section holding an import descriptor for KERNEL32.dll, a delay
    descriptor with an RVA for uxtheme.dll and an old-style one with an address for
    dwmapi.dll. The section's file offset differs from its RVA, as in real images."""
    base, section_rva, section_file = 0x400000, 0x1000, 0x200
    image = bytearray(section_file + 0x200)
    image[:2] = b"MZ"
    struct.pack_into("<I", image, 0x3C, 0x40)
    struct.pack_into("<4sHHIIIHH", image, 0x40, b"PE\0\0", 0x14C, 1, 0, 0, 0, 0xE0, 0x2102)
    optional = 0x58
    struct.pack_into("<H", image, optional, 0x10B)
    struct.pack_into("<I", image, optional + 28, base)
    struct.pack_into("<I", image, optional + 92, 16)
    struct.pack_into("<II", image, optional + 96 + 8 * 1, section_rva, 40)
    struct.pack_into("<II", image, optional + 96 + 8 * 13, section_rva + 0x100, 96)
    struct.pack_into("<8sIIII", image, optional + 0xE0, b".idata", 0x200, section_rva, 0x200, section_file)

    def put(rva, data):
        image[section_file + rva - section_rva:section_file + rva - section_rva + len(data)] = data

    put(0x1000, struct.pack("<5I", 0, 0, 0, 0x1180, 0x1040))
    put(0x1100, struct.pack("<8I", 1, 0x1190, 0, 0, 0, 0, 0, 0))
    put(0x1120, struct.pack("<8I", 0, base + 0x11A0, 0, 0, 0, 0, 0, 0))
    put(0x1180, b"KERNEL32.dll\0")
    put(0x1190, b"uxtheme.dll\0")
    put(0x11A0, b"dwmapi.dll\0")
    return bytes(image)


def test_import_reader_reads_both_directories_through_the_section_table():
    assert imported_dlls(handcrafted_image()) == ["KERNEL32.dll", "uxtheme.dll", "dwmapi.dll"]


@pytest.mark.parametrize("program", [SAMPLE] + package_programs(), ids=program_id)
def test_programs_import_only_dlls_windows_takes_from_the_system_folder(program):
    imports = imported_dlls(program.read_bytes())
    # Every Windows program imports kernel32: without it the reader has read nothing.
    assert "kernel32.dll" in (name.lower() for name in imports), imports
    planted = [name for name in imports if name.lower() not in ALWAYS_FROM_SYSTEM_FOLDER]
    assert not planted, f"{program} imports DLLs that can be planted beside it: {planted}"


def test_canaries_import_only_kernel32():
    # A canary that needed another DLL could load a planted one, or fail to load at all.
    for canary in canary_files():
        assert [name.lower() for name in imported_dlls(canary.read_bytes())] == ["kernel32.dll"], canary.name


# --- Canaries ------------------------------------------------------------------------

@pytest.fixture(scope="session")
def wine_prefers_planted_dlls():
    """The environment of a run in which Wine takes a canary over its builtin of the same
    name (see WINE_BUILTIN_IMPORTS)."""
    if not harness.LAUNCHER:
        return {}  # Windows has no builtins
    names = sorted({canary.stem for canary in canary_files()} - WINE_BUILTIN_IMPORTS)
    return {"WINEDLLOVERRIDES": ",".join(names) + "=n,b"}


RUNS = {
    "silent": "/dontrun /IAgreeToTheEULA",
    "interactive": "/dontrun",
}


@pytest.fixture
def run_among_canaries(scratch, wine_prefers_planted_dlls):
    """Runs a copy of a program in scratch/app, with every canary beside it and in its
    current directory scratch/cwd, once per entry of RUNS. Returns, per run, its exit code,
    the marks it left and its log."""
    app, cwd, marks = scratch / "app", scratch / "cwd", scratch / "marks"

    def run_program(program, runs=RUNS):
        for folder in (app, cwd, marks):
            folder.mkdir()
        copy = app / PROGRAM_NAME
        shutil.copy2(program, copy)
        for canary in canary_files():
            shutil.copy2(canary, app)
            shutil.copy2(canary, cwd)
        results = {}
        env = {MARKS_VARIABLE: windows_path(marks), **wine_prefers_planted_dlls}
        for name, flags in runs.items():
            log = scratch / f"{name}.log"
            arguments = f'{flags} log "{windows_path(log)}"'
            if name == "silent" or results["silent"][0] == 0:
                result = run(copy, arguments, cwd=cwd, env=env)
            else:  # an interactive run that fails ends with its report: dismiss it
                result = dialogs.dismiss_report(dialogs.start(copy, arguments, cwd=cwd, env=env))
            left = sorted(marks.iterdir())
            for mark in left:
                mark.unlink()
            results[name] = (result.exit_code, [mark.name for mark in left], log)
        return results

    return run_program


@pytest.mark.parametrize("program", [SAMPLE] + [program for program in package_programs()
                                                if program != UNPROTECTED], ids=program_id)
def test_planted_dlls_are_not_loaded(run_among_canaries, program):
    # Some packages stop at a start-up check (their exit codes say which); each run must
    # still end normally, having loaded nothing planted.
    for name, (exit_code, marks, log) in run_among_canaries(program).items():
        assert re.fullmatch(r"Ended -?\d+", read_log(log)[-1]), f"{name} run ended abnormally: {exit_code:#010x}"
        assert not marks, f"{name} run loaded planted DLLs: {marks}"


def test_unprotected_build_loads_a_planted_dll(run_among_canaries):
    # The same procedure with the program built without its DLL-search protection: unless
    # it fails here, the test above proves nothing. Silent only: a window shown with the
    # planted user-interface DLLs loaded would crash rather than end.
    for name, (_, marks, _) in run_among_canaries(UNPROTECTED, {"silent": RUNS["silent"]}).items():
        assert marks, f"{name} run of the unprotected build left no mark"
