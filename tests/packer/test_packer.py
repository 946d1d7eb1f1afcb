"""gearrack-pack, run as a product team runs it: packages it writes are read back with a
reader we did not write (pefile), every refusal is one line naming the definition's
line with no file left behind, build -> inspect -> extract gives the files back, and the
Windows tool under Wine writes the same bytes as the Linux tool."""

import json
import os
import re
import resource
import shutil
import signal
import struct
import subprocess
import time
from pathlib import Path

import pefile
import pytest
from xml.etree import ElementTree

REPO = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("GEARRACK_BUILD_WIN", REPO / "build" / "win"))
TOOL = Path(os.environ.get("GEARRACK_PACK", REPO / "build" / "native" / "gearrack-pack"))
PROGRAM = BUILD / "program" / "GearRackInstaller.exe"
ICON = REPO / "res" / "art" / "gearrack.ico"
NEUTRAL_SPLASH = REPO / "res" / "art" / "splash.bmp"  # 8-bit, run-length encoded
SAMPLE_BANNER = REPO / "packages" / "sample" / "banner.bmp"  # 24-bit
PAGE = 4096
ASM, ASM3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"


def pack(*arguments, check=True):
    finished = subprocess.run([str(TOOL), *map(str, arguments)], capture_output=True, text=True, check=False,
                              timeout=120)
    if check:
        assert finished.returncode == 0, finished.stderr
    return finished


@pytest.fixture
def team(tmp_path):
    """A product team's folder: payload files and pictures beside a definition."""
    (tmp_path / "files" / "data").mkdir(parents=True)
    (tmp_path / "files" / "Setup.EXE").write_bytes(b"MZ" + bytes(range(256)) * 40)
    (tmp_path / "files" / "data" / "items.xml").write_bytes(b"<items><item/></items>")
    (tmp_path / "files" / "empty.txt").write_bytes(b"")
    shutil.copy(ICON, tmp_path / "product.ico")
    shutil.copy(NEUTRAL_SPLASH, tmp_path / "splash.bmp")
    shutil.copy(SAMPLE_BANNER, tmp_path / "banner.bmp")
    return tmp_path


DEFINITION = """# a product of our own
product        Fernwood Tools
version        4.2.07
company        Fernwood & Söhne
copyright      (c) 2026 Fernwood
elevation      invoker
processor      x86
required-space 750
dotnet-4.5-full 2
administrator  0
program-name   Fernwood
file 102 files/Setup.EXE      Setup.EXE
file 103 files/data/items.xml Data\\Items.xml
file 104 files/empty.txt      empty.txt
icon   product.ico
splash splash.bmp
banner banner.bmp
"""


def write_definition(folder, text=DEFINITION):
    definition = folder / "package.txt"
    definition.write_text(text)
    return definition


def icon_images():
    """How many images the team's icon (a copy of ours) holds."""
    return struct.unpack_from("<H", ICON.read_bytes(), 4)[0]


def resources(pe):
    """{(type, name): bytes} of every resource, types and names as ids or strings."""
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                key = (str(kind.name) if kind.name else kind.id, str(name.name) if name.name else name.id)
                found[key] = pe.get_data(entry.OffsetToData, entry.Size)
    return found


def string_entry(found, entry):
    block = found.get((6, entry // 16 + 1))
    if block is None:
        return None
    at = 0
    for index in range(16):
        length = struct.unpack_from("<H", block, at)[0]
        text = block[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        if index == entry % 16:
            return text or None
        at += 2 + 2 * length
    return None


def test_a_package_reads_back_with_a_reader_we_did_not_write(team):
    out = team / "Fernwood.exe"
    pack("build", write_definition(team), "-o", out, "--program", PROGRAM)
    pe = pefile.PE(str(out))
    assert not pe.get_warnings()
    assert pe.OPTIONAL_HEADER.CheckSum == pe.generate_checksum()
    last = pe.sections[-1]
    assert last.Name.rstrip(b"\0") == b".rsrc"
    resource_directory = pe.OPTIONAL_HEADER.DATA_DIRECTORY[2]
    assert resource_directory.VirtualAddress == last.VirtualAddress
    assert pe.OPTIONAL_HEADER.SizeOfImage == -(-(last.VirtualAddress + last.Misc_VirtualSize) // PAGE) * PAGE
    for before, after in zip(pe.sections, pe.sections[1:]):  # contiguous in memory
        assert after.VirtualAddress == -(-(before.VirtualAddress + before.Misc_VirtualSize) // PAGE) * PAGE
    assert pe.OPTIONAL_HEADER.DATA_DIRECTORY[4].Size == 0  # unsigned: signing comes after packing
    base = pe.OPTIONAL_HEADER.DATA_DIRECTORY[5]
    assert pe.get_section_by_rva(base.VirtualAddress).Name.startswith(b".reloc")

    found = resources(pe)
    assert found[("TOOLKIT", 101)] == b"102*Setup.EXE*10242*103*Data\\Items.xml*22*104*empty.txt*0"
    assert found[("TOOLKIT", 102)] == (team / "files" / "Setup.EXE").read_bytes()
    assert found[("TOOLKIT", 103)] == (team / "files" / "data" / "items.xml").read_bytes()
    assert found[("TOOLKIT", 104)] == b""
    expected = {0: "x86", 1: "Fernwood Tools", 103: "750", 138: "0", 144: "2", 145: "0", 201: "Fernwood",
                104: "Contact Technical Support. Incorrect %s build."}  # a message beside a setting
    assert {entry: string_entry(found, entry) for entry in expected} == expected
    assert found[(2, 133)] == NEUTRAL_SPLASH.read_bytes()[14:]
    assert found[(2, 130)] == SAMPLE_BANNER.read_bytes()[14:]
    group = found[(14, 5)]
    images = icon_images()
    assert struct.unpack_from("<HHH", group) == (0, 1, images)
    icon_ids = [struct.unpack_from("<H", group, 6 + 14 * i + 12)[0] for i in range(images)]
    assert all((3, icon) in found for icon in icon_ids)
    strings = {k.decode(): v.decode() for table in pe.FileInfo[0] if table.Key == b"StringFileInfo"
               for entries in table.StringTable for k, v in entries.entries.items()}
    assert strings == {"CompanyName": "Fernwood & Söhne", "FileDescription": "Fernwood Tools Setup",
                       "FileVersion": "4.2.7", "ProductVersion": "4.2.7", "InternalName": "Fernwood",
                       "OriginalFilename": "Fernwood.exe", "LegalCopyright": "(c) 2026 Fernwood",
                       "ProductName": "Fernwood Tools"}
    fixed = pe.VS_FIXEDFILEINFO[0]
    assert (fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS) == (4 << 16 | 2, 7 << 16, 4 << 16 | 2)
    manifest = ElementTree.fromstring(found[(24, 1)])
    identity = manifest.find(f"{ASM}assemblyIdentity")
    assert (identity.get("name"), identity.get("version")) == ("FernwoodTools", "4.2.7.0")
    assert manifest.find(f"{ASM}description").text == "Fernwood Tools Setup"
    assert manifest.find(f".//{ASM3}requestedExecutionLevel").get("level") == "asInvoker"

    again = team / "again" / "Fernwood.exe"  # the file's name is in its version resource
    again.parent.mkdir()
    pack("build", team / "package.txt", "-o", again, "--program", PROGRAM)
    assert again.read_bytes() == out.read_bytes()  # no time stamps: the same inputs, the same bytes


def test_a_large_payload_is_mapped_not_read(team):
    big = team / "files" / "big.bin"
    with open(big, "wb") as data:
        data.truncate(3 * 1024 * 1024)
    definition = write_definition(team, "product Big\nfile 102 files/big.bin big.exe\n")
    out = team / "big.exe"
    pack("build", definition, "-o", out, "--program", PROGRAM)
    pe = pefile.PE(str(out))
    assert string_entry(resources(pe), 201) == "Big"  # the program name defaults to the product
    assert pe.sections[-1].PointerToRawData % PAGE == 0
    assert pe.OPTIONAL_HEADER.CheckSum == pe.generate_checksum()


# (definition lines, the line refused, what the refusal says)
REFUSALS = [
    ("file 102 files/missing.bin missing.bin", 1, "cannot read the file"),
    ("splash missing.bmp", 1, "cannot read the splash"),
    ("file 102 files/empty.txt a.txt\nfile 102 files/empty.txt b.txt", 2, "id 102 is used twice (first at line 1)"),
    ("file 101 files/empty.txt a.txt", 1, "id 101 is the manifest's"),
    ("file 0 files/empty.txt a.txt", 1, "not a number from 1 to 65535"),
    ("file 65536 files/empty.txt a.txt", 1, "not a number from 1 to 65535"),
    ("file 1x files/empty.txt a.txt", 1, "not a number from 1 to 65535"),
    ("file 102 files/empty.txt \\absolute.txt", 1, "must stay inside the working folder"),
    ("file 102 files/empty.txt C:drive.txt", 1, "must stay inside the working folder"),
    ("file 102 files/empty.txt sub\\..\\..\\up.txt", 1, "must stay inside the working folder"),
    ("file 102 files/empty.txt a:stream", 1, "must stay inside the working folder"),
    ("file 102 files/empty.txt a*b.txt", 1, "holds a character no file name can"),
    ("file 102 files/empty.txt caf\u00e9.txt", 1, "is not plain ASCII"),
    ("file 102 files/empty.txt Read.me\nfile 103 files/empty.txt READ.ME", 2, "is the same file as line 1's"),
    ("file 102 files/empty.txt sub\\a.txt\nfile 103 files/empty.txt SUB/A.TXT", 2, "is the same file as line 1's"),
    ("colour blue", 1, "unknown key 'colour'"),
    ("file-alignment 4096", 1, "unknown key 'file-alignment'"),
    ("required-space lots", 1, "required-space must be a whole number of megabytes"),
    ("required-space -5", 1, "required-space must be a whole number of megabytes"),
    ("required-space 99999999999", 1, "required-space must be a whole number of megabytes"),
    ("dotnet-2.0 sp1", 1, "dotnet-2.0 must be a whole number"),
    ("administrator yes", 1, "administrator must be 1 (required) or 0"),
    ("product A\nproduct B", 2, "product is given twice (first at line 1)"),
    ("icon banner.bmp", 1, "is not a valid .ico file"),
    ("splash product.ico", 1, "is not a valid .bmp file"),
    ("banner four-bit.bmp", 1, "is not an 8-bit or 24-bit"),
    ("file 104 @wizard wizard.exe", 1, "'@wizard' names no file (give it with --with wizard=PATH)"),
    ("manifest none", 1, "unknown key 'manifest'"),
    ("manifest-size 102 12", 1, "unknown key 'manifest-size'"),
    ("manifest-extra 107*ghost.txt*5", 1, "unknown key 'manifest-extra'"),
    ("resource 106 files/empty.txt", 1, "unknown key 'resource'"),
    ("named-resource EXTRA files/empty.txt", 1, "unknown key 'named-resource'"),
    ("version 1.2.3.4.5", 1, "version must be one to four dotted whole numbers, each 0 to 65535"),
    ("version 65536", 1, "version must be one to four dotted whole numbers"),
    ("version 1..2", 1, "version must be one to four dotted whole numbers"),
    ("version v2", 1, "version must be one to four dotted whole numbers"),
    ("elevation admin", 1, "elevation must be administrator, highest or invoker"),
    ("company A\ncompany B", 2, "company is given twice (first at line 1)"),
    ("\ufeffproduct Fernwood", 1, "starts with a byte-order mark: the definition must be UTF-8 text"),
    ("file 102 files/empty.txt\0 a.txt", 1, "holds a control character (0x00)"),
    ("product Fern\x1b[31mwood", 1, "holds a control character (0x1B)"),
    ("product " + "x" * 65536, 1, "product is longer than the program reads (65,535 UTF-16 units)"),
    ("file 102 files/empty.txt " + "n" * 214 + ".txt", 1, "is longer than the program writes (217 characters"),
    ("\n".join(f"file {i} files/empty.txt f{i}.txt" for i in range(1, 4099) if i != 101), 4097,
     "more than 4,096 payload files from this one on"),
]
# Names Windows keeps for devices, in any component and with any extension, and names that
# end with a dot or a blank: the program refuses to write them, so the tool refuses them.
DEVICE_NAMES = ["CON", "prn.txt", "sub\\Aux.log", "NUL", "com1.dat", "LPT9", "conin$", "CONOUT$.txt", "data/nul",
                "name.", "name ", "sub. \\x.txt"]


def refuse(team, lines, program=PROGRAM):
    four_bit = bytearray(SAMPLE_BANNER.read_bytes())
    four_bit[28] = 4
    (team / "four-bit.bmp").write_bytes(bytes(four_bit))
    # Every case names a product and a wizard after its own lines, so that only its fault is refused.
    lines += "\n" + ("" if lines.startswith("product") else "product Fernwood\n") + "file 65000 files/Setup.EXE w.exe"
    definition = write_definition(team, lines + "\n")
    out = team / "out" / "package.exe"
    out.parent.mkdir(exist_ok=True)
    finished = pack("build", definition, "-o", out, "--program", program, check=False)
    assert finished.returncode == 1, finished.stderr
    assert list(out.parent.iterdir()) == []  # nothing written, not even a partial file
    return finished.stderr.splitlines()


@pytest.mark.parametrize("lines, line, message", REFUSALS, ids=[case[2][:40] for case in REFUSALS])
def test_a_refusal_names_the_definitions_line(team, lines, line, message):
    refusals = refuse(team, lines)
    assert refusals == [refusals[0]] and re.match(rf"^.*package\.txt:{line}: ", refusals[0]), refusals
    assert message in refusals[0]


@pytest.mark.parametrize("name", DEVICE_NAMES)
def test_a_device_name_or_a_trailing_dot_or_blank_is_refused(team, name):
    refusals = refuse(team, f"file 102 files/empty.txt {name}")
    assert len(refusals) == 1 and "package.txt:1: " in refusals[0] and "is refused by the program" in refusals[0]


def test_a_package_without_product_or_wizard_is_refused_unless_it_is_a_test_package(team):
    cases = [("file 102 files/empty.txt a.txt", "product is missing: every caption and message names it"),
             ("product Fernwood\nfile 102 files/empty.txt a.txt\nfile 103 files/Setup.EXE Setup.bin",
              "no payload file is one the program can run as its wizard")]
    for lines, message in cases:
        definition = write_definition(team, lines + "\n")
        out = team / "out.exe"
        refused = pack("build", definition, "-o", out, "--program", PROGRAM, check=False)
        assert refused.returncode == 1 and refused.stderr == f"{definition}: {message}" + \
            refused.stderr[len(f"{definition}: {message}"):] and refused.stderr.count("\n") == 1, refused.stderr
        assert not out.exists()
        pack("build", definition, "-o", out, "--program", PROGRAM, "--allow-test-shapes")
        assert string_entry(resources(pefile.PE(str(out))), 1) == ("Oakcrest" if "product" not in lines else "Fernwood")
        out.unlink()


def bmp(width, height):
    """A 24-bit picture of `width` x `height` pixels."""
    stride = (width * 3 + 3) & ~3
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, stride * height, 0, 0, 0, 0)
    return b"BM" + struct.pack("<IHHI", 54 + stride * height, 0, 0, 54) + header + bytes(stride * height)


# (definition lines after a product and the wizard at lines 1-2; the line warned about, 0
# for none; what the warning says). A case that sets no dotnet- setting gets one after its
# own lines, so that only its own warning comes.
WARNINGS = [
    ("splash small.bmp", 3, "the splash is 100 x 100 pixels; its window shows 428 x 211"),
    ("banner splash.bmp", 3, "the banner is 428 x 211 pixels; its window shows 634 x 78"),
    ("file 121 files/Setup.EXE tool.exe", 2, "the payload holds 2 programs ('w.exe', 'tool.exe'); the program runs "
                                            "'w.exe', the lowest id, as its wizard"),
    ("file 100 files/empty.txt w.exe.config", 3, "the program runs 'w.exe.config' as its wizard"),
    ("administrator 1\nelevation invoker", 4, "elevation invoker with administrator 1: a user without administrator "
                                              "rights gets the rights message"),
    ("elevation invoker", 3, "elevation invoker with administrator 1"),  # administrator 1 is the default
    ("dotnet-4.5-full 0", 0, "every dotnet- setting is at its default (0), so a machine without .NET is told"),
    ("".join(f"dotnet-{v} -1\n" for v in ("2.0", "3.0", "3.5", "4.0-client", "4.0-full", "4.5-client", "4.5-full")),
     0, "every .NET version is excluded, so the package refuses every machine"),
]


@pytest.mark.parametrize("lines, line, message", WARNINGS, ids=[case[2][:40] for case in WARNINGS])
def test_a_warning_is_a_line_of_its_own_and_strict_refuses(team, lines, line, message):
    (team / "small.bmp").write_bytes(bmp(100, 100))
    lines += "" if "dotnet-" in lines else "\ndotnet-2.0 -1"
    definition = write_definition(team, f"product Fernwood\nfile 120 files/Setup.EXE w.exe\n{lines}\n")
    out = team / "out.exe"
    built = pack("build", definition, "-o", out, "--program", PROGRAM)
    place = f"{definition}:{line}: " if line else f"{definition}: "
    warnings = built.stderr.splitlines()
    assert len(warnings) == 1 and warnings[0].startswith(f"warning: {place}{message}"), built.stderr
    assert built.stdout == ("wizard: w.exe.config (id 100)\n" if "config" in lines else "wizard: w.exe (id 120)\n")
    out.unlink()
    strict = pack("build", definition, "-o", out, "--program", PROGRAM, "--strict", check=False)
    assert strict.returncode == 1 and strict.stderr.startswith(place + message) and not out.exists()


def test_a_payload_the_program_cannot_map_is_refused_at_the_file_that_crosses(team):
    for index, megabytes in enumerate([1000, 536, 1]):
        with open(team / "files" / f"part{index}.bin", "wb") as data:
            data.truncate(megabytes * 1024 * 1024)  # sparse: nothing on the disk
    refusals = refuse(team, "\n".join(f"file {102 + i} files/part{i}.bin p{i}.bin" for i in range(3)))
    assert len(refusals) == 1 and "package.txt:3: the payload is over 1.5 GB in all" in refusals[0]


def made(path, how):
    """`path` made by `how` (a function of the path), its folder first."""
    path.parent.mkdir(parents=True, exist_ok=True)
    how(path)
    return path


def fifo(path):
    return made(path, os.mkfifo)


def folder(path):
    return made(path, lambda p: p.mkdir())


def linked(path, target, hard=False):
    return made(path, lambda p: os.link(target, p) if hard else p.symlink_to(target))


def utf16(path):
    return made(path, lambda p: p.write_text("product Fernwood\n", encoding="utf-16"))


def snapshot(folder_path):
    """What is in a folder, deep: each name's kind, size, inode and time of change."""
    return {str(p.relative_to(folder_path)): (p.lstat().st_mode, p.lstat().st_size, p.lstat().st_ino,
                                            p.lstat().st_mtime_ns) for p in folder_path.rglob("*")}


# What stands in the way of a build, inspect or extract (the command as a function of the
# team's folder, its definition and a copy of the program), and what the refusal says.
# Outputs that are devices, pipes, folders or inputs; inputs that are no regular file.
FILE_REFUSALS = [
    ("output /dev/null", lambda t, d, p: ["build", d, "-o", "/dev/null", "--program", p],
     "/dev/null: exists and is not a regular file"),
    ("output a pipe", lambda t, d, p: ["build", d, "-o", fifo(t / "out" / "pipe.exe"), "--program", p],
     "pipe.exe: exists and is not a regular file"),
    ("output a folder", lambda t, d, p: ["build", d, "-o", folder(t / "out" / "dir.exe"), "--program", p],
     "dir.exe: is a folder"),
    ("output the definition", lambda t, d, p: ["build", d, "-o", d, "--program", p],
     "package.txt: is one of the files the package is made from"),
    ("output a payload file", lambda t, d, p: ["build", d, "-o", t / "files" / "Setup.EXE", "--program", p],
     "Setup.EXE: is one of the files the package is made from"),
    ("output the program by another name",
     lambda t, d, p: ["build", d, "-o", linked(t / "out" / "hard.exe", p, hard=True), "--program", p],
     "hard.exe: is one of the files the package is made from"),
    ("output a link to a picture",
     lambda t, d, p: ["build", d, "-o", linked(t / "out" / "link.exe", t / "banner.bmp"), "--program", p],
     "link.exe: is one of the files the package is made from"),
    ("definition a folder", lambda t, d, p: ["build", folder(t / "def"), "-o", t / "out" / "a.exe", "--program", p],
     "def: is a folder, not a file"),
    ("definition a pipe", lambda t, d, p: ["build", fifo(t / "def.txt"), "-o", t / "out" / "a.exe", "--program", p],
     "def.txt: is not a regular file"),
    ("definition in UTF-16", lambda t, d, p: ["build", utf16(t / "def.txt"), "-o", t / "out" / "a.exe", "--program", p],
     "def.txt:1: is UTF-16 (it starts with a byte-order mark): the definition must be UTF-8 text"),
    ("program a pipe", lambda t, d, p: ["build", d, "-o", t / "out" / "a.exe", "--program", fifo(t / "prog.exe")],
     "prog.exe: is not a regular file"),
    ("payload file a pipe", lambda t, d, p: [
        "build", made(t / "def.txt", lambda q: q.write_text(f"product P\nfile 102 {fifo(t / 'pipe')} a.exe\n")), "-o",
        t / "out" / "a.exe", "--program", p], "def.txt:2: cannot read the file"),
    ("splash a folder", lambda t, d, p: [
        "build", made(t / "def.txt", lambda q: q.write_text(f"product P\nfile 102 {t / 'files' / 'Setup.EXE'} a.exe\nsplash {folder(t / 's.bmp')}\n")),
        "-o",
        t / "out" / "a.exe", "--program", p], "cannot read the splash"),
    ("inspect a pipe", lambda t, d, p: ["inspect", fifo(t / "pipe.exe")], "pipe.exe: is not a regular file"),
    ("extract a folder", lambda t, d, p: ["extract", folder(t / "dir.exe"), t / "out" / "x"],
     "dir.exe: is a folder, not a file"),
]


@pytest.mark.parametrize("command, message", [case[1:] for case in FILE_REFUSALS],
                         ids=[case[0] for case in FILE_REFUSALS])
def test_an_output_or_input_that_is_no_regular_file_or_is_an_input_is_refused(team, command, message):
    program = team / "program.exe"
    shutil.copy(PROGRAM, program)
    arguments = command(team, write_definition(team), program)
    before = snapshot(team)
    finished = pack(*arguments, check=False)  # a pipe opened waiting would hang here
    assert finished.returncode == 1 and len(finished.stderr.splitlines()) == 1, finished.stderr
    assert message in finished.stderr
    assert snapshot(team) == before  # nothing written or replaced, no temporary file left
    assert Path("/dev/null").is_char_device()


def test_a_planted_temporary_name_and_two_builds_at_once(team):
    definition = write_definition(team)
    out = team / "out" / "package.exe"
    victim = made(team / "victim.txt", lambda p: p.write_bytes(b"not yours"))
    linked(team / "out" / "package.exe.partial", victim)  # the name the tool once used
    builds = [subprocess.Popen([str(TOOL), "build", str(definition), "-o", str(out), "--program", str(PROGRAM)],
                               stderr=subprocess.PIPE) for _ in range(3)]
    assert [build.wait(timeout=120) for build in builds] == [0, 0, 0]
    again = folder(team / "again") / "package.exe"  # the same name: it is in the version resource
    pack("build", definition, "-o", again, "--program", PROGRAM)
    assert not out.is_symlink() and out.read_bytes() == again.read_bytes()
    assert victim.read_bytes() == b"not yours"
    assert sorted(p.name for p in out.parent.iterdir()) == ["package.exe", "package.exe.partial"]


def large_build(team, megabytes):
    """A build of a sparse payload of `megabytes`, started; returns it once its temporary
    file has appeared."""
    with open(team / "files" / "large.bin", "wb") as data:
        data.truncate(megabytes * 1024 * 1024)
    definition = write_definition(team, "product Large\ndotnet-2.0 -1\nfile 102 files/large.bin large.exe\n")
    out = team / "out" / "package.exe"
    out.parent.mkdir(exist_ok=True)
    build = subprocess.Popen([str(TOOL), "build", str(definition), "-o", str(out), "--program", str(PROGRAM)],
                             stderr=subprocess.PIPE, text=True)
    deadline = time.monotonic() + 60
    while not list(out.parent.glob("*.partial")) and build.poll() is None and time.monotonic() < deadline:
        time.sleep(0.01)
    assert build.poll() is None, "the build ended before it could be interrupted"
    return build, out.parent


def test_an_interrupted_build_or_a_payload_that_shrinks_leaves_no_file(team):
    for stop in (signal.SIGINT, signal.SIGTERM):
        build, out = large_build(team, 1024)
        build.send_signal(stop)
        assert build.wait(timeout=60) == -stop
        assert list(out.iterdir()) == []
    build, out = large_build(team, 1024)
    os.truncate(team / "files" / "large.bin", 1024)
    assert build.wait(timeout=60) == 1
    assert build.stderr.read().splitlines() == [f"{team / 'files' / 'large.bin'}: changed while it was read"]
    assert list(out.iterdir()) == []
    build, out = large_build(team, 1024)
    build.kill()  # nothing can clean up: what is left says what it is
    build.wait(timeout=60)
    assert [re.fullmatch(r"package\.exe\.[0-9a-f]{16}\.partial", p.name) is not None for p in out.iterdir()] == [True]


def test_a_program_not_ours_signed_or_packed_already_is_refused(team):
    cases = [(team / "files" / "Setup.EXE", "is not a 32-bit Windows program"),
             (REPO / "build" / "win" / "tools" / "exitcode.exe", "is not the GearRack Installer program"),
             (BUILD / "GearRackInstaller.exe", "is signed: packing breaks a signature"),
             (BUILD / "packages" / "unsigned" / "GearRackInstaller.exe", "is a package already")]
    for program, message in cases:
        refusals = refuse(team, "product Fernwood", program=program)
        assert refusals == [f"{program}: {message}" + refusals[0][len(f"{program}: {message}"):]], refusals
        assert message in refusals[0]


def test_build_inspect_extract_gives_the_files_back(team):
    out = team / "Fernwood.exe"
    pack("build", write_definition(team), "-o", out, "--program", PROGRAM)
    report = json.loads(pack("inspect", out, "--json").stdout)
    assert report["settings"]["product"] == "Fernwood Tools"
    assert report["settings"]["dotnet-4.5-full"] == "2"
    assert [(r["id"], r["name"], r["present"], r["size_agrees"]) for r in report["payload"]] == [
        (102, "Setup.EXE", True, True), (103, "Data\\Items.xml", True, True), (104, "empty.txt", True, True)]
    assert report["branding"]["splash"] == {"width": 428, "height": 211, "bits": 8, "run_length": True}
    assert report["branding"]["banner"] == {"width": 634, "height": 78, "bits": 24, "run_length": False}
    assert report["branding"]["icon"].startswith(f"{icon_images()} images: 48x48")
    assert report["signature"] is None and report["embedded_information"] is None

    folder = team / "extracted"
    pack("extract", out, folder)
    extracted = {str(p.relative_to(folder)): p.read_bytes() for p in folder.rglob("*") if p.is_file()}
    assert extracted == {  # named as the program names them: in lower case
        "setup.exe": (team / "files" / "Setup.EXE").read_bytes(),
        "data/items.xml": (team / "files" / "data" / "items.xml").read_bytes(),
        "empty.txt": b""}


def test_inspect_shows_the_signer_and_the_embedded_information(tmp_path):
    package = tmp_path / "probe.exe"
    shutil.copy(BUILD / "packages" / "probe" / "GearRackInstaller.exe", package)
    (tmp_path / "info.xml").write_bytes(b"<info product='probe'/>")
    pack("embed", package, tmp_path / "info.xml")
    report = json.loads(pack("inspect", package, "--json").stdout)
    assert report["signature"] == {"present": True, "digest_matches": True, "algorithm": "sha256", "problem": None,
                                   "signer": "O=Oakcrest Software, CN=Oakcrest Software"}
    assert report["embedded_information"] == "<info product='probe'/>"
    text = pack("inspect", package).stdout
    assert "signature: present, signer O=Oakcrest Software, CN=Oakcrest Software" in text
    assert "digest (sha256) matches: the file is unchanged since signing" in text and "for Windows to decide" in text
    # Only printable ASCII is shown as it is, at both ends of the range.
    (tmp_path / "info.xml").write_bytes(bytes([0x00, 0x1F, 0x20, 0x7E, 0x7F, 0x80]))
    pack("embed", package, tmp_path / "info.xml")
    assert "embedded information: 6 bytes: .. ~..\n" in pack("inspect", package).stdout
    assert json.loads(pack("inspect", package, "--json").stdout)["embedded_information"] == ".. ~.."

    # Changed after signing: one payload byte, a block added behind the signature, the
    # certificate table's size grown over added bytes or shrunk.
    data = package.read_bytes()
    entry = struct.unpack_from("<I", data, 0x3C)[0] + 24 + 96 + 8 * 4
    offset, size = struct.unpack_from("<II", data, entry)
    payload_byte = bytearray(data)
    payload_byte[offset - 100] ^= 1  # in the payload section, the last before the signature
    grown, shrunk = bytearray(data + bytes(8)), bytearray(data)
    struct.pack_into("<I", grown, entry + 4, size + 8)
    struct.pack_into("<I", shrunk, entry + 4, size - 8)
    for changed in (payload_byte, data + b"MRDC<info/>" + bytes(6), grown, shrunk):
        package.write_bytes(changed)
        report = json.loads(pack("inspect", package, "--json").stdout)
        assert report["signature"]["digest_matches"] is False, report["signature"]
    package.write_bytes(payload_byte)
    assert "digest (sha256) does not match: the file was changed after signing" in pack("inspect", package).stdout

    # The digest is computed with the algorithm the signature names.
    for algorithm in ("sha1", "sha512"):
        signed = tmp_path / f"{algorithm}.exe"
        subprocess.run(["osslsigncode", "sign", "-h", algorithm, "-certs", BUILD / "signing" / "cert.pem",
                        "-key", BUILD / "signing" / "key.pem", "-in", BUILD / "packages" / "unsigned" /
                        "GearRackInstaller.exe", "-out", signed], check=True, stdout=subprocess.DEVNULL)
        report = json.loads(pack("inspect", signed, "--json").stdout)["signature"]
        assert (report["algorithm"], report["digest_matches"]) == (algorithm, True), report


def test_extract_refuses_what_the_program_refuses(tmp_path):
    escape = pack("extract", BUILD / "packages" / "escape" / "GearRackInstaller.exe", tmp_path / "escape", check=False)
    assert escape.returncode == 1 and "payload 102 '..\\escaped.txt' is refused" in escape.stderr
    assert [p.name for p in (tmp_path / "escape").iterdir()] == ["inside.xml"]  # 103 went first
    mismatch = pack("extract", BUILD / "packages" / "mismatch" / "GearRackInstaller.exe", tmp_path / "mismatch",
                    check=False)
    assert mismatch.returncode == 1 and "payload 103 'ten.bin' holds 10 bytes, the manifest says 12" in mismatch.stderr
    report = json.loads(pack("inspect", BUILD / "packages" / "payload" / "GearRackInstaller.exe", "--json").stdout)
    assert report["unrecorded"] == ["EXTRA", "106"]
    assert [r for r in report["payload"] if r["id"] == 107][0]["present"] is False


# What extract finds in its folder, planted (as a function of the folder and a victim file
# outside it), and the refusal: it never writes through or into a link.
EXTRACT_LINKS = [
    ("a link to a file", lambda f, v: linked(f / "empty.txt", v), "'empty.txt' exists already"),
    ("a dangling link", lambda f, v: linked(f / "empty.txt", v.parent / "nowhere"), "'empty.txt' exists already"),
    ("a hard link", lambda f, v: linked(f / "empty.txt", v, hard=True), "'empty.txt' exists already"),
    ("a linked subfolder", lambda f, v: linked(f / "data", v.parent), "the folder 'data' is a link or a file"),
]


@pytest.mark.parametrize("plant, message", [case[1:] for case in EXTRACT_LINKS], ids=[c[0] for c in EXTRACT_LINKS])
def test_extract_never_writes_through_a_link(team, plant, message):
    package = team / "Fernwood.exe"
    pack("build", write_definition(team), "-o", package, "--program", PROGRAM)
    outside = folder(team / "outside")
    victim = made(outside / "victim.txt", lambda p: p.write_bytes(b"not yours"))
    target = folder(team / "extracted")
    plant(target, victim)
    before = snapshot(outside)
    finished = pack("extract", package, target, check=False)
    assert finished.returncode == 1 and "is refused: " + message in finished.stderr, finished.stderr
    assert snapshot(outside) == before and victim.read_bytes() == b"not yours"
    assert not (target / "nowhere").exists() and not (team / "nowhere").exists()


SUBDIRECTORY = 0x80000000


def table(entries, named=0):
    """A resource directory table: (name or id field, offset field) entries, `named` first."""
    return struct.pack("<IIHHHH", 0, 0, 0, 0, named, len(entries) - named) + \
        b"".join(struct.pack("<II", key, target) for key, target in entries)


def ours(rva, payload):
    """A resource section that reads as our program's (its usage message, string 114, in
    the string table's block 8) with `payload`, {id: bytes} of type TOOLKIT, laid out
    simply: each table then its entries."""
    toolkit = "TOOLKIT".encode("utf-16-le")
    usage = "Command line '%s' incorrect.".encode("utf-16-le")
    block = bytes(4) + struct.pack("<H", len(usage) // 2) + usage + bytes(2 * 13)
    groups = [sorted(payload.items()), [(8, block)]]
    body, fixups = bytearray(table([(0, 0), (6, 0)], named=1)), []
    for index, items in enumerate(groups):
        struct.pack_into("<I", body, 16 + 8 * index + 4, SUBDIRECTORY | len(body))
        names_at = len(body)
        body += table([(key, 0) for key, _ in items])
        for position, (key, data) in enumerate(items):
            struct.pack_into("<I", body, names_at + 16 + 8 * position + 4, SUBDIRECTORY | len(body))
            body += table([(0x409, len(body) + 24)]) + struct.pack("<IIII", 0, len(data), 0, 0)
            fixups.append((len(body) - 16, data))
    struct.pack_into("<I", body, 16, SUBDIRECTORY | len(body))  # the type's name, "TOOLKIT", follows
    body += struct.pack("<H", len(toolkit) // 2) + toolkit
    for entry, data in fixups:
        body += bytes(-len(body) % 8)
        struct.pack_into("<I", body, entry, rva + len(body))
        body += data
    return bytes(body)


def with_resource_section(package, make, out):
    """A copy of `package` whose resource section (its last) is make(its address)."""
    pe = pefile.PE(str(package), fast_load=True)
    last = pe.sections[-1]
    section = make(last.VirtualAddress)
    raw = section + bytes(-len(section) % pe.OPTIONAL_HEADER.FileAlignment)
    data = bytearray(Path(package).read_bytes()[:last.PointerToRawData] + raw)
    struct.pack_into("<I", data, last.get_file_offset() + 8, len(section))
    struct.pack_into("<I", data, last.get_file_offset() + 16, len(raw))
    struct.pack_into("<I", data, pe.OPTIONAL_HEADER.DATA_DIRECTORY[2].get_file_offset() + 4, len(section))
    struct.pack_into("<I", data, pe.OPTIONAL_HEADER.get_file_offset() + 56,
                     -(-(last.VirtualAddress + len(section)) // PAGE) * PAGE)
    Path(out).write_bytes(data)
    return out


def fan_out(rva):
    """Three levels of 1,000 entries, each level's all leading to one table."""
    return table([(1, SUBDIRECTORY | 8016)] * 1000) + table([(1, SUBDIRECTORY | 16032)] * 1000) + \
        table([(0x409, 24048)] * 1000) + struct.pack("<IIII", rva, 16, 0, 0)


def long_names(rva):
    """20 types, all named by one text of 65,535 characters, each with one resource: each
    a name table and a language table (48 bytes), then the data entry and the text."""
    entry_at = 16 + 8 * 20 + 20 * 48
    types = [(SUBDIRECTORY | (entry_at + 16), SUBDIRECTORY | (176 + 48 * i)) for i in range(20)]
    tables = b"".join(table([(1, SUBDIRECTORY | (176 + 48 * i + 24))]) + table([(0x409, entry_at)]) for i in range(20))
    return table(types, named=20) + tables + struct.pack("<IIII", rva, 4, 0, 0) + struct.pack("<H", 65535) + \
        "N".encode("utf-16-le") * 65535


# Packages made to hurt a reader, and what each reading says of them.
HOSTILE = [
    ("fan-out", fan_out, "the resource tree does not hold together: a table is reached twice"),
    ("offset outside", lambda rva: table([(1, SUBDIRECTORY | 0x100000)]),
     "the resource tree does not hold together: an offset lies outside the resource section"),
    ("too many entries", lambda rva: table([(1, SUBDIRECTORY | 24)]) + struct.pack("<IIHHHH", 0, 0, 0, 0, 1, 65535),
     "the resource tree does not hold together: it has more than 65,536"),
    ("names too long", long_names, "the resource tree does not hold together: its names are too long"),
    ("data outside the file", lambda rva: table([(1, SUBDIRECTORY | 24)]) + table([(1, SUBDIRECTORY | 48)]) +
     table([(0x409, 72)]) + struct.pack("<IIII", 0x7FFF0000, 0x1000, 0, 0), "a resource's data lies outside the file"),
    ("manifest of 4,097 records", lambda rva: ours(rva, {101: b"*".join(b"%d*a*1" % i for i in range(4097))}),
     "has a manifest of more than 4,096 records"),
    ("manifest over 1 MB", lambda rva: ours(rva, {101: b"102*" + b"a" * (1 << 20) + b"*1", 102: b"x"}),
     "has a manifest that cannot be read or is over 1 MB"),
]


def run_measured(*arguments):
    """Runs the tool (stopped after 20 s of processor time); its exit code, standard error
    and peak memory in MB."""
    limit = lambda: resource.setrlimit(resource.RLIMIT_CPU, (20, 20))  # noqa: E731
    process = subprocess.Popen([str(TOOL), *map(str, arguments)], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                               preexec_fn=limit)
    error = process.stderr.read().decode()
    _, status, usage = os.wait4(process.pid, 0)
    return os.waitstatus_to_exitcode(status), error, usage.ru_maxrss / 1024


@pytest.mark.parametrize("make, message", [case[1:] for case in HOSTILE], ids=[case[0] for case in HOSTILE])
def test_a_hostile_package_is_refused_quickly_in_little_memory(team, make, message):
    base = team / "base.exe"
    pack("build", write_definition(team, "file 102 files/empty.txt a.txt\n"), "-o", base, "--program", PROGRAM,
         "--allow-test-shapes")
    package = with_resource_section(base, make, team / "hostile.exe")
    for command in (["inspect", package], ["inspect", package, "--json"], ["extract", package, team / "x"],
                    ["build", write_definition(team, "product x\nfile 102 files/Setup.EXE w.exe\n"), "-o", team / "out.exe",
                     "--program", package]):
        started = time.monotonic()
        code, error, megabytes = run_measured(*command)
        assert code == 1 and len(error.splitlines()) == 1, (command, error)
        assert message in error or command[0] == "build", (command, error)
        assert megabytes < 64 and time.monotonic() - started < 10, (command, megabytes)
        assert not (team / "out.exe").exists() and not any((team / "x").glob("*"))


def test_texts_from_a_package_are_shown_escaped_and_json_is_strict(team):
    definition = write_definition(team, "product PRODUCTX\nfile 102 files/empty.txt Setup.EXE\n")
    pack("build", definition, "-o", team / "clean.exe", "--program", PROGRAM)
    data = (team / "clean.exe").read_bytes()
    hostile = "A\ud800\x1b[31mB".encode("utf-16-le", "surrogatepass")
    data = data.replace("PRODUCTX".encode("utf-16-le"), hostile).replace(b"*Setup.EXE*", b"*Set\x1bp.EXE*")
    (team / "hostile.exe").write_bytes(data)
    text = subprocess.run([str(TOOL), "inspect", team / "hostile.exe"], capture_output=True, check=True).stdout
    assert b"A\\uD800\\x1B[31mB" in text and b"Set\\x1Bp.EXE" in text
    assert not any(byte < 0x20 and byte != 0x0A for byte in text)
    raw = subprocess.run([str(TOOL), "inspect", team / "hostile.exe", "--json"], capture_output=True, check=True).stdout
    report = json.loads(raw.decode("utf-8", "strict"))
    assert report["settings"]["product"] == "A\ud800\x1b[31mB" and report["payload"][0]["name"] == "Set\x1bp.EXE"
    extract = pack("extract", team / "hostile.exe", team / "x", check=False)
    assert extract.returncode == 1 and "payload 102 'set\\x1Bp.exe' is refused" in extract.stderr
    # A byte beyond plain ASCII has no one meaning: the program reads it in each machine's
    # code page, so both verbs refuse rather than show or write a name the program may not.
    (team / "foreign.exe").write_bytes(data.replace(b"*Set\x1bp.EXE*", b"*Set\xe9p.EXE*"))
    for verb in (["inspect", team / "foreign.exe"], ["extract", team / "foreign.exe", team / "y"]):
        refused = pack(*verb, check=False)
        assert refused.returncode == 1 and "a byte beyond plain ASCII" in refused.stderr, verb
    assert not (team / "y").exists() or not any((team / "y").iterdir())


def test_the_resource_section_is_laid_out_as_windows_reads_it(team):
    sizes = [1, 3, 7, 1025, 4099]
    for index, size in enumerate(sizes):
        (team / "files" / f"odd{index}.bin").write_bytes(bytes([index + 1]) * size)
    longest = "n" * 213 + ".txt"  # the longest name the program writes
    definition = write_definition(team, "product " + "p" * 65535 + "\n" + f"file 110 files/empty.txt {longest}\n" +
                                  "".join(f"file {102 + i} files/odd{i}.bin odd{i}.bin\n" for i in range(len(sizes))) +
                                  "named-resource EXTRA2 files/odd1.bin\nicon product.ico\n")
    out = team / "layout.exe"
    pack("build", definition, "-o", out, "--program", PROGRAM, "--allow-test-shapes")
    pe = pefile.PE(str(out))
    section = pe.sections[-1]
    raw, rva = section.get_data(), section.VirtualAddress
    data_entries = []

    def walk(offset, level):
        assert offset % 4 == 0, f"table at {offset:#x}"
        named, ids = struct.unpack_from("<HH", raw, offset + 12)
        keys = [struct.unpack_from("<II", raw, offset + 16 + 8 * i) for i in range(named + ids)]
        assert [key & SUBDIRECTORY != 0 for key, _ in keys] == [True] * named + [False] * ids
        for _, target in keys:
            if level < 2:
                walk(target & ~SUBDIRECTORY, level + 1)
            else:
                data_entries.append(target)
    walk(0, 0)
    assert all(entry % 4 == 0 for entry in data_entries)
    blocks = sorted(struct.unpack_from("<II", raw, entry) for entry in data_entries)
    assert all(address % 8 == 0 for address, _ in blocks)
    assert all(address + size <= after for (address, size), (after, _) in zip(blocks, blocks[1:]))
    found = resources(pe)
    assert ("TOOLKIT", "EXTRA2") in found and found[("TOOLKIT", 105)] == bytes([4]) * 1025
    assert string_entry(found, 1) == "p" * 65535 and f"110*{longest}*0".encode() in found[("TOOLKIT", 101)]


def test_the_windows_tool_writes_the_same_bytes_as_the_linux_tool(tmp_path):
    definition = REPO / "packages" / "sample" / "package.txt"
    wizard = BUILD / "wizard" / "Corvane.InstallerWizard.UI.exe"
    linux = tmp_path / "linux" / "Oakcrest.exe"  # the same name: the file's name is in its version resource
    linux.parent.mkdir()
    pack("build", definition, "-o", linux, "--program", PROGRAM, "--with", f"gearrack_sample_wizard={wizard}")
    windows = tmp_path / "Oakcrest.exe"
    wine = lambda path: "Z:" + str(path).replace("/", "\\")  # noqa: E731
    finished = subprocess.run(
        [str(REPO / "tests" / "wine" / "run"), str(BUILD / "gearrack-pack.exe"), "build", wine(definition), "-o",
         wine(windows), "--program", wine(PROGRAM), "--with", f"gearrack_sample_wizard={wine(wizard)}"],
        capture_output=True, text=True, timeout=300, check=False, env={**os.environ, "GEARRACK_TIMEOUT": "240"})
    assert finished.returncode == 0, finished.stderr[-2000:]
    assert windows.read_bytes() == linux.read_bytes()

    # It embeds the same bytes, and its digest (by Windows' own CNG) agrees that the signed
    # package is unchanged.
    (tmp_path / "info.xml").write_bytes(b"<info/>")
    for copy in (linux, windows):
        shutil.copy(BUILD / "packages" / "probe" / "GearRackInstaller.exe", copy)
    pack("embed", linux, tmp_path / "info.xml")
    embedded = subprocess.run(
        [str(REPO / "tests" / "wine" / "run"), str(BUILD / "gearrack-pack.exe"), "embed", wine(windows),
         wine(tmp_path / "info.xml")], capture_output=True, text=True, timeout=300, check=False,
        env={**os.environ, "GEARRACK_TIMEOUT": "240"})
    assert embedded.returncode == 0 and windows.read_bytes() == linux.read_bytes(), embedded.stderr[-2000:]
    inspected = subprocess.run(
        [str(REPO / "tests" / "wine" / "run"), str(BUILD / "gearrack-pack.exe"), "inspect", wine(windows)],
        capture_output=True, text=True, timeout=300, check=False, env={**os.environ, "GEARRACK_TIMEOUT": "240"})
    assert "digest (sha256) matches: the file is unchanged since signing" in inspected.stdout, inspected.stderr


def test_the_windows_tool_refuses_links_and_cleans_up_when_interrupted(team):
    """The same link cases under Wine, which shows Linux links as Windows links, and Ctrl-C
    (Wine turns SIGINT into it) on a large build."""
    wine = lambda path: "Z:" + str(path).replace("/", "\\")  # noqa: E731
    windows_tool = [str(REPO / "tests" / "wine" / "run"), str(BUILD / "gearrack-pack.exe")]
    environment = {**os.environ, "GEARRACK_TIMEOUT": "120"}
    package = team / "Fernwood.exe"
    pack("build", write_definition(team), "-o", package, "--program", PROGRAM)
    victim = made(team / "outside" / "victim.txt", lambda p: p.write_bytes(b"not yours"))
    for index, (_, plant, message) in enumerate(EXTRACT_LINKS):
        target = folder(team / f"extracted{index}")
        plant(target, victim)
        finished = subprocess.run([*windows_tool, "extract", wine(package), wine(target)], capture_output=True,
                                  text=True, timeout=180, check=False, env=environment)
        assert "is refused: " + message in finished.stdout + finished.stderr, finished.stderr[-2000:]
        assert sorted(p.name for p in victim.parent.iterdir()) == ["victim.txt"]
        assert victim.read_bytes() == b"not yours"
    with open(team / "files" / "large.bin", "wb") as data:
        data.truncate(1024 * 1024 * 1024)
    definition = write_definition(team, "product Large\nfile 102 files/large.bin large.exe\n")
    out = folder(team / "out") / "package.exe"
    build = subprocess.Popen([*windows_tool, "build", wine(definition), "-o", wine(out), "--program", wine(PROGRAM)],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=environment)
    deadline = time.monotonic() + 120
    while not list(out.parent.glob("*.partial")) and build.poll() is None and time.monotonic() < deadline:
        time.sleep(0.05)
    assert build.poll() is None, "the build ended before it could be interrupted"
    build.send_signal(signal.SIGINT)
    assert build.wait(timeout=120) != 0
    assert list(out.parent.iterdir()) == []


def test_left_out_settings_and_a_package_built_again(team):
    definition = write_definition(team, "product @none\nprogram-name Über\nfile 102 files/Setup.EXE a.exe\n")
    out = team / "package.exe"
    out.write_bytes(b"an older package")
    pack("build", definition, "-o", out, "--program", PROGRAM)
    found = resources(pefile.PE(str(out)))
    assert string_entry(found, 1) is None and string_entry(found, 201) == "Über"
    assert string_entry(found, 0) == "AnyCPU" and string_entry(found, 103) == "500"  # as shipped
    assert (2, 133) in found and (14, 5) in found  # the program's own pictures and icon
    assert [p.name for p in team.iterdir() if p.name.startswith("package.exe")] == ["package.exe"]
    for arguments in (["build", definition], ["inspect"], ["extract", out], ["unpack", out]):
        usage = pack(*arguments, check=False)
        assert usage.returncode == 2 and usage.stderr.startswith("gearrack-pack: "), arguments
