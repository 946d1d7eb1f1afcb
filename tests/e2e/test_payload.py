"""The payload as a deployment script sees it: the working folder under the root, the files
extracted into it, the embedded information beside them, and what is left afterwards."""

import contextlib
import os
import re
import subprocess

import pytest

import dialogs

from harness import BUILD, LAUNCHER, REPO, SAMPLE, package, read_log, run, windows_path, with_information
from results import FAILED, NOT_ENOUGH_SPACE, ROOT_NOT_FOLDER, SIZE_MISMATCH

ZERO_GUID = "{00000000-0000-0000-0000-000000000000}"
SAMPLE_PAYLOAD = REPO / "packages" / "sample" / "payload"
TESTDATA = REPO / "packages" / "testdata"


@contextlib.contextmanager
def hold_file(path):
    """Keeps `path` open without sharing in another Windows program while the block runs."""
    command = [str(BUILD / "tools" / "holdfile.exe"), windows_path(path)]
    holder = subprocess.Popen([LAUNCHER, *command] if LAUNCHER else command, stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        assert holder.stdout.readline().strip() == b"held"
        yield
    finally:
        holder.stdin.close()
        holder.wait(timeout=60)


def extract(scratch, flags="/keep /zeroguid", program=SAMPLE, root=None):
    """Runs `program` silently without its wizard, with the working folder under `root`
    (default scratch/root, made first). Returns the result, the log lines and the root."""
    if root is None:
        root = scratch / "root"
        root.mkdir(exist_ok=True)
    log = scratch / "setup.log"
    result = run(program, f'/dontrun /IAgreeToTheEULA {flags} temp "{windows_path(root)}" log "{windows_path(log)}"',
                 cwd=scratch)
    return result, read_log(log), root


def files_under(folder):
    return sorted(str(path.relative_to(folder)) for path in folder.rglob("*") if path.is_file())


def test_keep_leaves_the_payload_in_the_zero_guid_folder(scratch):
    result, lines, root = extract(scratch)
    assert result.exit_code == 0
    folder = root / ZERO_GUID
    assert files_under(folder) == ["corvane.installerwizard.ui.exe", "corvane.installerwizard.ui.exe.config",
                                   "install.bin", "projectitems.xml"]
    assert (folder / "install.bin").read_bytes() == (SAMPLE_PAYLOAD / "install.bin").read_bytes()
    assert (folder / "projectitems.xml").read_bytes() == (SAMPLE_PAYLOAD / "ProjectItems.xml").read_bytes()
    assert [line for line in lines if line.startswith("Extract File")] == [
        "Extract File projectitems.xml 0", "Extract File corvane.installerwizard.ui.exe.config 0",
        "Extract File corvane.installerwizard.ui.exe 0", "Extract File install.bin 0"]
    assert "Remove folder 'No'" in lines
    assert not any(line.startswith("Manual Deletion") for line in lines)


def test_every_run_gets_a_fresh_folder_and_removes_it(scratch):
    folders = []
    for _ in range(2):
        result, lines, root = extract(scratch, flags="")
        assert result.exit_code == 0
        assert list(root.iterdir()) == []
        removal = [line for line in lines if "Deletion" in line or line.startswith("Remove Folder")]
        assert [line.split(" '")[0] for line in removal] == [
            "Manual Deletion of", "Manual Deletion of", "Manual Deletion of", "Manual Deletion of",
            "Deletion Folder of", "Remove Folder"]
        folders.append(removal[-1][len("Remove Folder '"):-1])
    assert folders[0] != folders[1]
    for folder in folders:
        assert re.fullmatch(r".+\\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}", folder), folder


def test_removal_takes_what_the_wizard_left_at_any_depth(scratch):
    deep = "\\".join(["logs", "d" * 60, "e" * 60, "f" * 60, "g" * 60, "trace.txt"])
    root = scratch / "root"
    root.mkdir()
    log = scratch / "setup.log"
    result = run(package("probe"), f'/IAgreeToTheEULA /zeroguid temp "{windows_path(root)}" log "{windows_path(log)}"',
                 cwd=scratch, env={"GEARRACK_PROBE_LEAVE": f"{deep};cache.bin"})
    lines = read_log(log)
    assert result.exit_code == 0
    assert list(root.iterdir()) == []
    assert any(line.startswith("Deletion subfolder Folder of") for line in lines)
    assert any(line.endswith("trace.txt'") and line.startswith("Deletion file") for line in lines)
    assert lines[-2].startswith("Remove Folder '") and lines[-2].endswith(ZERO_GUID + "'")


def test_a_root_the_run_made_goes_with_the_folder(scratch):
    new = scratch / "new"
    result, lines, _ = extract(scratch, flags="", root=new)
    assert result.exit_code == 0
    assert not new.exists()
    assert f"Removed root '{windows_path(new)}'" in lines
    result, _, _ = extract(scratch, flags="/keep /zeroguid", root=new)  # kept: the root stays with it
    assert result.exit_code == 0
    assert (new / ZERO_GUID / "install.bin").exists()


def test_a_zero_guid_folder_left_with_files_starts_empty(scratch):
    # Wine deletes a symbolic link's target instead of the link, so the link planted here
    # is a hard link: another name of a file outside, named like a payload file.
    folder = scratch / "root" / ZERO_GUID
    (folder / "sub").mkdir(parents=True)
    (folder / "version.dll").write_bytes(b"planted")
    (folder / "sub" / "left.txt").write_text("left")
    precious = scratch / "precious.txt"
    precious.write_text("precious")
    os.link(precious, folder / "install.bin")
    result, lines, root = extract(scratch)
    assert result.exit_code == 0
    assert f"Working folder '{windows_path(folder)}' exists: made afresh" in lines
    assert files_under(folder) == ["corvane.installerwizard.ui.exe", "corvane.installerwizard.ui.exe.config",
                                   "install.bin", "projectitems.xml"]
    assert precious.read_text() == "precious"
    assert (folder / "install.bin").read_bytes() == (SAMPLE_PAYLOAD / "install.bin").read_bytes()


def test_the_removal_logs_each_entry_in_the_order_its_folders_search_gives_it(scratch):
    folder = scratch / "root" / ZERO_GUID
    for name in ("b", "a/y", "a/x/deep", "c"):
        (folder / name).mkdir(parents=True, exist_ok=True)
    for name in ("one.txt", "a/two.txt", "a/x/three.txt", "a/x/deep/four.txt", "c/five.txt", "six.txt"):
        (folder / name).write_text(name)

    def expected(path):  # depth first, each folder's entries in the order a search reads them:
        lines = []        # by name, as NTFS and Wine give them
        for entry in sorted(os.scandir(path), key=lambda entry: entry.name.upper()):
            shown = windows_path(entry.path)
            if entry.is_dir():
                lines += [f"Deletion subfolder Folder of '{shown}'", *expected(entry.path), f"Remove Folder '{shown}'"]
            else:
                lines.append(f"Deletion file '{shown}'")
        return lines

    order = expected(folder)
    result, lines, _ = extract(scratch)
    assert result.exit_code == 0
    removal = [line for line in lines if line.startswith(("Deletion ", "Remove Folder"))]
    assert removal == order + [f"Remove Folder '{windows_path(folder)}'"]


def test_a_folder_link_that_cannot_be_removed_is_logged_so(scratch):
    # Wine shows a Unix link to a folder as a link but cannot remove it: the folder is
    # refused, the link's target untouched, and the log does not claim the link went.
    folder = scratch / "root" / ZERO_GUID
    folder.mkdir(parents=True)
    elsewhere = scratch / "elsewhere"
    elsewhere.mkdir()
    (elsewhere / "precious.txt").write_text("precious")
    (folder / "linked").symlink_to(elsewhere, target_is_directory=True)
    result, lines, _ = extract(scratch)
    link = f"{windows_path(scratch)}\\root\\{ZERO_GUID}\\linked"
    assert f"Deletion link '{link}'" in lines
    if (folder / "linked").is_symlink():  # not removed: said so, and the folder refused
        assert any(line.startswith(f"Link not removed '{link}', error ") for line in lines)
        assert result.exit_code == FAILED
    else:
        assert not any(line.startswith("Link not removed") for line in lines)
    assert (elsewhere / "precious.txt").read_text() == "precious"


def test_a_zero_guid_folder_that_is_a_link_is_refused(scratch):
    elsewhere = scratch / "elsewhere"
    elsewhere.mkdir()
    (elsewhere / "precious.txt").write_text("precious")
    (scratch / "root").mkdir()
    (scratch / "root" / ZERO_GUID).symlink_to(elsewhere, target_is_directory=True)
    for flags in ("/keep /zeroguid", "/zeroguid"):
        result, lines, root = extract(scratch, flags=flags)
        assert result.exit_code == FAILED
        assert f"Working folder '{windows_path(root)}\\{ZERO_GUID}' refused: it is a link" in lines
        assert not any(line.startswith(("Extract File", "Deletion")) for line in lines)
        assert [path.name for path in elsewhere.iterdir()] == ["precious.txt"]
        assert (root / ZERO_GUID).is_symlink()


def test_a_unix_link_to_a_file_in_a_zero_guid_folder_keeps_its_target(scratch):
    # Wine shows the link as the file it names and would delete the target through it: the
    # path its handle really opened gives it away, and the folder is refused untouched.
    folder = scratch / "root" / ZERO_GUID
    folder.mkdir(parents=True)
    precious = scratch / "precious.txt"
    precious.write_text("precious")
    (folder / "install.bin").symlink_to(precious)
    result, lines, _ = extract(scratch)
    assert result.exit_code == FAILED
    assert f"Refused to delete '{windows_path(scratch)}\\root\\{ZERO_GUID}\\install.bin': it leads to another file" \
        in lines
    assert f"Working folder '{windows_path(folder)}' refused: what is in it cannot be deleted" in lines
    assert precious.read_text() == "precious"


def test_a_second_zero_guid_run_leaves_the_first_runs_folder_alone(scratch):
    root = scratch / "root"
    root.mkdir()
    record, gate = scratch / "record.txt", scratch / "gate"
    first = dialogs.start(package("probe"), f'/IAgreeToTheEULA /zeroguid temp "{windows_path(root)}"', cwd=scratch,
                          env={"GEARRACK_PROBE_RECORD": windows_path(record), "GEARRACK_PROBE_GATE": windows_path(gate),
                               "GEARRACK_PROBE_WINDOW": "0"})
    dialogs.poll(record.exists, "the first run's wizard to start")
    extracted = files_under(root / ZERO_GUID)
    result, lines, _ = extract(scratch, flags="/zeroguid")  # the same folder, while the wizard runs
    assert result.exit_code == FAILED
    assert f"Working folder '{windows_path(root)}\\{ZERO_GUID}' refused: it is in use by another run" in lines
    assert not any(line.startswith(("Deletion", "Extract File")) for line in lines)
    assert files_under(root / ZERO_GUID) == extracted and "install.bin" in extracted
    gate.touch()
    assert first.finish().exit_code == 0
    assert list(root.iterdir()) == []


def test_a_planted_tree_deeper_than_the_removal_goes_is_refused_promptly(scratch):
    folder = scratch / "root" / ZERO_GUID
    deepest = folder / os.path.join(*["d"] * 300)
    deepest.mkdir(parents=True)
    (deepest / "planted.dll").write_bytes(b"planted")
    result, lines, _ = extract(scratch)
    assert result.exit_code == FAILED
    assert any(line.startswith("Folder tree deeper than 128 levels: ") for line in lines)
    assert f"Working folder '{windows_path(folder)}' refused: what is in it cannot be deleted" in lines
    # Removal went no deeper than the limit: the folders from there down stay as planted.
    assert (deepest / "planted.dll").exists()


@pytest.mark.parametrize("root", ["file", "NUL"])
def test_a_root_that_is_no_folder_says_so(scratch, root):
    (scratch / "file").write_text("a file, not a folder")
    log = scratch / "setup.log"
    result = run(SAMPLE, f'/dontrun /IAgreeToTheEULA temp {root} log "{windows_path(log)}"', cwd=scratch)
    lines = read_log(log)
    assert result.exit_code == ROOT_NOT_FOLDER
    named = windows_path(scratch / root) if root == "file" else "\\\\.\\NUL"
    assert f"Working folder root '{named}' is not a folder" in lines
    assert not any("Insufficient disk space" in line or "Incorrect" in line for line in lines)
    assert (scratch / "file").read_text() == "a file, not a folder"


def test_a_payload_folder_beyond_the_systems_folder_limit_is_named_in_the_log(scratch):
    # The file's path fits the path limit, the folder above it does not fit the shorter
    # limit the system sets for folders.
    root = scratch / ("r" * (205 - len(windows_path(scratch)) - 1))
    root.mkdir()
    assert len(windows_path(root)) == 205
    result, lines, _ = extract(scratch, program=package("payload"), root=root)
    assert result.exit_code == FAILED
    assert any(re.fullmatch(r"Path too long for '(data\\items\.xml|sub[\\/]slash\.txt)'", line) for line in lines), lines


def test_payload_shapes(scratch):
    result, lines, root = extract(scratch, program=package("payload"))
    assert result.exit_code == 0
    folder = root / ZERO_GUID
    # Names are lowered; a subfolder is made; the later of two records wins; resources
    # without a record, with a string name, and records without a resource are ignored.
    assert files_under(folder) == ["data/items.xml", "install.bin", "second.txt", "setup.exe", "sub/slash.txt"]
    assert (folder / "data" / "items.xml").read_bytes() == (TESTDATA / "items.xml").read_bytes()
    assert (folder / "sub" / "slash.txt").read_bytes() == (TESTDATA / "second.txt").read_bytes()
    assert (folder / "second.txt").read_bytes() == (TESTDATA / "readme.txt").read_bytes()
    assert "Enumerate Resources TOOLKIT 6a" in lines  # 106: enumerated, never extracted
    assert not any("EXTRA" in line for line in lines)


def test_size_mismatch_stops_extraction(scratch):
    result, lines, root = extract(scratch, program=package("mismatch"))
    assert result.exit_code == SIZE_MISMATCH
    folder = root / ZERO_GUID
    assert files_under(folder) == ["first.xml", "ten.bin"]
    assert (folder / "ten.bin").stat().st_size == 10
    assert "Extract File ten.bin 80040167" in lines


def test_no_manifest_extracts_nothing(scratch):
    result, lines, root = extract(scratch, program=package("nomanifest"))
    assert result.exit_code == 0
    assert "WorkOutFileNames 0" in lines
    assert files_under(root / ZERO_GUID) == []


def test_a_name_that_climbs_out_is_refused(scratch):
    result, lines, root = extract(scratch, program=package("escape"))
    assert result.exit_code == FAILED
    assert files_under(root / ZERO_GUID) == ["inside.xml"]
    assert not (root / "escaped.txt").exists()
    assert "Extract File ..\\escaped.txt 80004005" in lines

    result, lines, root = extract(scratch, flags="/zeroguid", program=package("escape"))
    assert result.exit_code == FAILED
    assert not any("escaped.txt'" in line and line.startswith("Manual Deletion") for line in lines)
    assert list(root.iterdir()) == []


def test_a_device_name_is_refused_like_one_that_climbs_out(scratch):
    result, lines, root = extract(scratch, program=package("device"))
    assert result.exit_code == FAILED
    assert files_under(root / ZERO_GUID) == ["first.txt"]  # nothing written to the device, nor after it
    assert "Refused file name 'nul': it leaves the working folder" in lines
    assert "Extract File nul 80004005" in lines


def test_a_manifest_with_a_byte_beyond_plain_ascii_is_read_in_the_code_page(scratch):
    result, lines, root = extract(scratch, program=package("foreign"))
    assert result.exit_code == 0, lines
    # The bytes of the UTF-8 "é" are read as the machine's code page has them: the record is
    # extracted, not refused.
    names = files_under(root / ZERO_GUID)
    assert len(names) == 2 and "inside.xml" in names, names
    assert all(n == "inside.xml" or (n.startswith("caf") and n.endswith(".txt")) for n in names), names


def test_an_output_file_that_cannot_be_made_stops_extraction(scratch):
    # The package's first file takes the name its second needs as a folder.
    result, lines, root = extract(scratch, program=package("clash"))
    assert result.exit_code == FAILED
    assert [line for line in lines if line.startswith("Extract File")] == [
        "Extract File data 0", "Extract File data\\items.xml 80004005"]


def test_a_zero_guid_folder_that_cannot_be_emptied_is_refused(scratch):
    folder = scratch / "root" / ZERO_GUID
    folder.mkdir(parents=True)
    with hold_file(folder / "projectitems.xml"):
        result, lines, root = extract(scratch)
    assert result.exit_code == FAILED
    assert f"Working folder '{windows_path(folder)}' refused: what is in it cannot be deleted" in lines
    assert not any(line.startswith("Extract File") for line in lines)
    assert files_under(folder) == ["projectitems.xml"]


def test_a_root_too_long_is_refused_without_cutting(scratch):
    root = scratch / ("r" * 60) / ("s" * 60) / ("t" * 60)
    root.mkdir(parents=True)
    result, lines, _ = extract(scratch, root=root)
    assert result.exit_code == FAILED
    assert any(line.startswith("Working folder root too long") for line in lines)
    assert "Not Prompting the user as silent installation" in lines
    assert list(root.iterdir()) == []


def test_not_enough_free_space_stops_start_up(scratch):
    result, lines, root = extract(scratch, program=package("space"))
    assert result.exit_code == NOT_ENOUGH_SPACE
    assert "Run Embedded Resources " not in lines
    assert list(root.iterdir()) == []
    # Measured on the drive that would hold the payload (the root's Z:), not the temporary folder's C:.
    assert "Insufficient disk space on drive 'Z:'. 2000000000 Mb of free disk space is required." in lines


@pytest.mark.parametrize("information, shown", [
    (b"<info product='Oakcrest'/>", "<info product='Oakcrest'/>"),
    (b"<a>one</a>\0<b>two</b>", "<a>one</a>"),  # written whole, shown up to the zero byte
])
def test_embedded_information_is_written_beside_the_payload(scratch, information, shown):
    result, lines, root = extract(scratch, program=with_information(SAMPLE, information, scratch))
    assert result.exit_code == 0
    assert (root / ZERO_GUID / "info.xml").read_bytes() == information
    assert f"Found embedded information '{shown}'\r" in lines
    assert any(line.startswith(f"Written out embedded information {len(information)} byts to file ")
               and line.endswith("info.xml\r") for line in lines)


def test_without_a_marker_only_the_scan_is_logged(scratch):
    result, lines, root = extract(scratch)
    assert result.exit_code == 0
    assert "Scanning for Signature\r" in lines  # its own "\r\n" is written as CR CR LF
    assert not (root / ZERO_GUID / "info.xml").exists()
    assert not any("embedded information" in line for line in lines)
