"""A new product team's first day, from the release alone: the archive unpacked outside our
tree, a definition for a product of their own with their own pictures and wizard, packed
by the Linux tool (and by the Windows tool under Wine, to the same bytes) with their
product's version, company and elevation, signed with a certificate of their own, given an
information block by the tool, checked by the tool's inspect, and run silently and
interactively.

GEARRACK_SCREENSHOT_DIR names a folder (docs/screenshots) to copy the picture of the
team's splash into; otherwise it stays in the test's own folder."""

import hashlib
import json
import os
import shutil
import struct
import subprocess
import tarfile
import threading
import zipfile
from pathlib import Path

import pefile
import pytest
from xml.etree import ElementTree

import dialogs
from harness import LAUNCHER, REPO, read_log, run, windows_path

PRODUCT = "Brightfield"
SIGNER = "Brightfield Labs"
PROGRAM_NAME = "Brightfield Studio"  # the program name the signature carries
PACKAGE = "BrightfieldSetup.exe"
WIZARD = f"{PRODUCT} Setup - {PROGRAM_NAME}"
INFORMATION = b"<info><channel>stable</channel></info>"
CANCEL = 2

DEFINITION = f"""\
# Brightfield's installer.
product         {PRODUCT}
program-name    Brightfield
version         2.4.1
company         {SIGNER}
copyright       (C) 2026 {SIGNER}
required-space  20
administrator   0
elevation       invoker
dotnet-2.0      -1
dotnet-3.0      -1
dotnet-3.5      -1
dotnet-4.0-full 0
dotnet-4.5-full 0
compression     lzma
file 102 files/brightfield.dat        brightfield.dat
file 104 files/Brightfield.Setup.exe  Brightfield.Setup.exe
file 105 files/Brightfield.Setup.exe.config Brightfield.Setup.exe.config
file 109 files/components.xml         components.xml
icon    art/brightfield.ico
splash  art/splash.bmp
banner  art/banner.bmp
"""

CONFIG = f"""<?xml version="1.0" encoding="utf-8"?>
<configuration><appSettings>
  <add key="Product" value="{PRODUCT}"/><add key="Version" value="2.4"/>
  <add key="ItemsFile" value="components.xml"/><add key="DataFile" value="brightfield.dat"/>
</appSettings></configuration>
"""

BLOCKS = {"engine": b"Brightfield engine 2.4\n", "presets": b"Brightfield presets: dawn, noon, dusk\n"}


def items_and_data():
    items = "".join(f'  <Item name="Brightfield {name}" block="{name}" folder="[INSTALLDIR]" file="{name}.txt" '
                    f'size="{len(data)}"/>\n' for name, data in BLOCKS.items())
    data = b"WIZDATA 1\n" + b"".join(f"{name} {len(block)}\n".encode() + block + b"\n"
                                     for name, block in BLOCKS.items())
    return f'<?xml version="1.0" encoding="utf-8"?>\n<ProjectItems>\n{items}</ProjectItems>\n', data


# The team's pictures: a sunrise in their colours with their name in block letters.
LETTERS = {"B": "11110100011111010001111101", "R": "11110100011111010100100101", "I": "11111001000010000100111111",
           "G": "01111100001011110001011111", "H": "10001100011111110001100011", "T": "11111001000010000100001000",
           "F": "11111100001111010000100001", "E": "11111100001111010000111111", "L": "10000100001000010000111111",
           "D": "11110100011000110001111101"}


def picture(width, height, scale):
    """Rows of (r, g, b), top row first."""
    text = [(x, y) for i, letter in enumerate(PRODUCT.upper()) for y in range(5) for x in range(5)
            if LETTERS[letter][y * 5 + x] == "1" for x in [x + i * 6]]
    ink = {(x0 * scale + dx, y0 * scale + dy) for x0, y0 in text for dx in range(scale) for dy in range(scale)}
    left, top = (width - (len(PRODUCT) * 6 - 1) * scale) // 2, (height - 5 * scale) // 2
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            sun = (x - width * 0.8) ** 2 + (y - height * 0.75) ** 2 < (height * 0.3) ** 2
            colour = (250, 200, 60) if sun else (20 + 120 * y // height, 40 + 100 * y // height, 110)
            row.append((255, 255, 255) if (x - left, y - top) in ink else colour)
        rows.append(row)
    return rows


def bmp(rows):
    """A 24-bit bottom-up BMP file of `rows`."""
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    pixels = b"".join(bytes(c for r, g, b in row for c in (b, g, r)).ljust(stride, b"\0") for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels


def ico(rows):
    """A .ico file holding one 32-bit image of `rows` (square) and its empty mask."""
    size = len(rows)
    colours = b"".join(bytes((b, g, r, 255)) for row in reversed(rows) for r, g, b in row)
    mask = b"\0" * (((size + 31) // 32) * 4 * size)
    image = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colours) + len(mask), 0, 0, 0, 0)
    image += colours + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22) + image


def call(*command, cwd):
    finished = subprocess.run([str(part) for part in command], cwd=cwd, capture_output=True, text=True, check=False)
    assert finished.returncode == 0, f"{command}: {finished.returncode}\n{finished.stdout}\n{finished.stderr}"
    return finished.stdout


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


@pytest.fixture(scope="module")
def release(tmp_path_factory):
    """The release as scripts/release makes it (the builds are up to date: it only ships)."""
    out = tmp_path_factory.mktemp("dist")
    call(REPO / "scripts" / "release", "--out", out, cwd=REPO)
    return out


@pytest.fixture(scope="module")
def team(release, tmp_path_factory):
    """The team's folder, far from our tree: the release unpacked, their product's
    definition and files, the package packed, signed and given its information block."""
    home = tmp_path_factory.mktemp("team")
    archive = next(release.glob("*.tar.gz"))
    call("tar", "-xzf", archive, cwd=home)
    kit = home / archive.name.removesuffix(".tar.gz")
    product = home / "brightfield"
    (product / "files").mkdir(parents=True)
    (product / "art").mkdir()
    # Their wizard is the starter's (the sample wizard) under their own name.
    shutil.copy(kit / "starter" / "payload" / "Setup.exe", product / "files" / "Brightfield.Setup.exe")
    (product / "files" / "Brightfield.Setup.exe.config").write_text(CONFIG, encoding="utf-8")
    items, data = items_and_data()
    (product / "files" / "components.xml").write_text(items, encoding="utf-8")
    (product / "files" / "brightfield.dat").write_bytes(data)
    (product / "art" / "splash.bmp").write_bytes(bmp(picture(428, 211, 5)))
    (product / "art" / "banner.bmp").write_bytes(bmp(picture(634, 78, 3)))
    (product / "art" / "brightfield.ico").write_bytes(ico(picture(32, 32, 1)))
    (product / "package.txt").write_text(DEFINITION, encoding="utf-8")

    (home / "unsigned").mkdir()
    built = subprocess.run([str(kit / "gearrack-pack"), "build", "brightfield/package.txt", "-o", f"unsigned/{PACKAGE}",
                            "--strict"], cwd=home, capture_output=True, text=True, check=False)
    assert built.returncode == 0 and not built.stderr, built.stderr  # no warning: it ships as it is
    assert built.stdout == "wizard: Brightfield.Setup.exe (id 104)\n"
    shutil.copy(home / "unsigned" / PACKAGE, home / PACKAGE)
    call("openssl", "req", "-x509", "-newkey", "rsa:2048", "-sha256", "-days", "30", "-nodes", "-batch",
         "-subj", f"/O={SIGNER}/CN={SIGNER}", "-addext", "keyUsage=critical,digitalSignature",
         "-addext", "extendedKeyUsage=codeSigning", "-keyout", "key.pem", "-out", "cert.pem", cwd=home)
    call(kit / "scripts" / "sign-package", "--cert", "cert.pem", "--key", "key.pem", "--program", PROGRAM_NAME,
         PACKAGE, cwd=home)
    (home / "info.xml").write_bytes(INFORMATION)
    call(kit / "gearrack-pack", "embed", PACKAGE, "info.xml", cwd=home)
    return home, kit, product


def test_the_release_ships_the_same_bytes_twice_and_what_a_team_needs(release, tmp_path):
    again = tmp_path / "again"
    call(REPO / "scripts" / "release", "--no-build", "--out", again, cwd=REPO)
    first = sorted(path.name for path in release.iterdir() if path.is_file())
    assert first == sorted(path.name for path in again.iterdir() if path.is_file())
    assert len(first) == 2 and all(sha256(release / name) == sha256(again / name) for name in first)

    archive = release / next(name for name in first if name.endswith(".zip"))
    top = archive.name.removesuffix(".zip")
    with zipfile.ZipFile(archive) as packed, tarfile.open(release / f"{top}.tar.gz") as tarred:
        zipped = {info.filename.rstrip("/"): info for info in packed.infolist()}
        assert set(zipped) == {member.name for member in tarred.getmembers()}
        assert all(member.uid == 0 and member.gid == 0 and not member.uname for member in tarred.getmembers())
        for name in ("LICENSE", "gearrack-pack", "gearrack-pack.exe", "program/GearRackInstaller.exe",
                     "scripts/sign-package", "scripts/authenticode.py", "tools/exitcode.exe", "docs/trying.md",
                     "docs/usage.md", "docs/packages.md", "docs/deploy.md", "docs/deploy/install.cmd",
                     "starter/package.txt", "starter/payload/Setup.exe", "starter/splash.bmp"):
            assert f"{top}/{name}" in zipped, name
        assert zipped[f"{top}/gearrack-pack"].external_attr >> 16 == 0o100755
        tool = packed.read(f"{top}/gearrack-pack")
        program = packed.read(f"{top}/program/GearRackInstaller.exe")
    # The Linux tool as shipped: no debug information, no sanitizer run time.
    assert b".debug_info" not in tool and b"__asan" not in tool and b"__ubsan" not in tool
    # The release is named by the program's own version resource.
    fixed = pefile.PE(data=program).VS_FIXEDFILEINFO[0]
    version = [fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16,
               fixed.FileVersionLS & 0xFFFF]
    assert top == "gearrack-installer-" + ".".join(map(str, version))


def test_the_teams_package_carries_their_settings_signature_and_information(team):
    home, kit, product = team
    # The starter packs as shipped, with the program beside the tool.
    call(kit / "gearrack-pack", "build", kit / "starter" / "package.txt", "-o", "starter.exe", cwd=home)
    assert "Starter Product" in call(kit / "gearrack-pack", "inspect", "starter.exe", cwd=home)

    shown = json.loads(call(kit / "gearrack-pack", "inspect", PACKAGE, "--json", cwd=home))
    text = json.dumps(shown)
    assert PRODUCT in text and SIGNER in text and INFORMATION.decode() in text
    assert shown["signature"]["digest_matches"] is True  # signed, then given its block
    assert "lzma" in {record["compression"] for record in shown["payload"]}  # compressed by the release's tool
    changed = bytearray((home / PACKAGE).read_bytes())
    at = changed.find(b"*brightfield.dat*")  # in the manifest, which is never compressed
    assert at > 0
    changed[at + 1] ^= 1
    (home / "changed.exe").write_bytes(changed)
    assert "the file was changed after signing" in call(kit / "gearrack-pack", "inspect", "changed.exe", cwd=home)
    # The file names their product, not ours, and asks for no elevation.
    pe = pefile.PE(str(home / PACKAGE))
    strings = {k.decode(): v.decode() for table in pe.FileInfo[0] if table.Key == b"StringFileInfo"
               for entries in table.StringTable for k, v in entries.entries.items()}
    assert {k: strings[k] for k in ("ProductName", "CompanyName", "FileVersion", "OriginalFilename")} == {
        "ProductName": PRODUCT, "CompanyName": SIGNER, "FileVersion": "2.4.1", "OriginalFilename": PACKAGE}
    manifests = next(e for e in pe.DIRECTORY_ENTRY_RESOURCE.entries if e.id == pefile.RESOURCE_TYPE["RT_MANIFEST"])
    entry = manifests.directory.entries[0].directory.entries[0].data.struct
    manifest = ElementTree.fromstring(pe.get_data(entry.OffsetToData, entry.Size))
    assert manifest.find(".//{urn:schemas-microsoft-com:asm.v3}requestedExecutionLevel").get("level") == "asInvoker"
    assert manifest.find("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity").get("name") == PRODUCT
    # Their pictures replace the neutral ones: the splash (bitmap 133) is their file's.
    bitmaps = next(e for e in pe.DIRECTORY_ENTRY_RESOURCE.entries if e.id == pefile.RESOURCE_TYPE["RT_BITMAP"])
    splash = next(e for e in bitmaps.directory.entries if e.id == 133).directory.entries[0].data.struct
    assert pe.get_data(splash.OffsetToData, splash.Size) == (product / "art" / "splash.bmp").read_bytes()[14:]
    # What it ships comes back byte for byte.
    call(kit / "gearrack-pack", "extract", PACKAGE, "check", cwd=home)
    for name in ("Brightfield.Setup.exe", "components.xml", "brightfield.dat"):
        assert (home / "check" / name.lower()).read_bytes() == (product / "files" / name).read_bytes(), name


def test_the_windows_tool_packs_the_same_bytes(team):
    home, kit, _ = team
    (home / "windows").mkdir(exist_ok=True)
    command = [str(kit / "gearrack-pack.exe"), "build", windows_path(home / "brightfield" / "package.txt"),
               "-o", windows_path(home / "windows" / PACKAGE)]
    if LAUNCHER:
        command.insert(0, LAUNCHER)
    finished = subprocess.run(command, cwd=home, capture_output=True, text=True, timeout=300, check=False,
                              stdin=subprocess.DEVNULL)
    assert finished.returncode == 0, finished.stderr[-2000:]
    assert sha256(home / "windows" / PACKAGE) == sha256(home / "unsigned" / PACKAGE)


def test_a_silent_install_runs_the_teams_wizard(team, scratch):
    home, _, _ = team
    target, log = scratch / "Brightfield", scratch / "setup.log"
    result = run(home / PACKAGE, f'/IAgreeToTheEULA "INSTALLDIR={windows_path(target)}" log "{windows_path(log)}"',
                 cwd=scratch)
    assert result.exit_code == 0, result.output
    lines = [line.rstrip("\r") for line in read_log(log)]  # a few of the program's lines end in CR CR LF
    for line in (f"Digital verification: SubjectName '{SIGNER}'", f"Found embedded information '{INFORMATION.decode()}'",
                 f"Wizard: started, silent, program '{PROGRAM_NAME}'",
                 f"Wizard: {PRODUCT} 2.4, 2 components, {sum(map(len, BLOCKS.values()))} bytes",
                 "Wizard: install complete", "Wizard: ended, exit code 0"):
        assert line in lines, line
    for name, data in BLOCKS.items():
        assert (target / f"{name}.txt").read_bytes() == data


def test_the_splash_shows_the_teams_artwork(team, scratch):
    home, _, _ = team
    picture_file = scratch / "splash.bmp"
    # The driver waits for the untitled splash itself, so that it catches the splash's
    # short life; the picture is for the docs, what the test checks is the watch's record.
    shot = threading.Thread(target=lambda: subprocess.run(
        [*([LAUNCHER] if LAUNCHER else []), str(dialogs.DRIVER), "screenshot", "", windows_path(picture_file)],
        stdin=subprocess.DEVNULL, capture_output=True, timeout=120, check=False))
    watch = dialogs.Watch(PACKAGE)
    shot.start()
    running = dialogs.start(home / PACKAGE, "", cwd=scratch)
    dialogs.wait(WIZARD)
    dialogs.press(WIZARD, CANCEL)
    assert dialogs.dismiss_report(running, title=PRODUCT).exit_code == 1602
    shot.join(timeout=150)
    splashes = [w for w in watch.windows() if w.class_name == "#32770" and not w.title and w.visible]
    assert splashes, "no splash was shown"
    if picture_file.exists() and os.environ.get("GEARRACK_SCREENSHOT_DIR"):
        dialogs.bmp_to_png(picture_file, Path(os.environ["GEARRACK_SCREENSHOT_DIR"]) / "newcomer-splash.png")
