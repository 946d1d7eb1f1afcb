"""The wizard's launch, with the probe wizard in its place: what it receives, where it runs,
what it may do to the log and its folder, and how its exit code comes back.

A change in launch/ must also run test_windows.py: the launch signals the wizard's first
window, and only the splash's test there sees that signal end the splash (these tests see
the wizard's end, not the splash); and the window iterators' tests in tests/win/launch."""

import re
import subprocess

import pytest

import dialogs
import harness
from harness import REPO, package, read_log, run, windows_path, with_information
from results import PROCESSOR_MODE_UNFIT, RUNTIME_LOAD_FAILED, WIZARD_NOT_STARTED

PROBE = package("probe")
ZERO_GUID = "{00000000-0000-0000-0000-000000000000}"


def run_probe(scratch, arguments="/IAgreeToTheEULA", program=PROBE, env=None, **probe):
    """Runs a probe package; `probe` holds the probe's own settings (window, stay, log,
    leave, exit). Returns the result, the log lines and the probe's record (None when it
    never ran)."""
    record = scratch / "record.txt"
    log = scratch / "setup.log"
    settings = {f"GEARRACK_PROBE_{name.upper()}": str(value) for name, value in probe.items()}
    settings["GEARRACK_PROBE_RECORD"] = windows_path(record)
    settings.update(env or {})
    result = run(program, f'{arguments} log "{windows_path(log)}"', cwd=scratch, env=settings)
    lines = read_log(log) if log.exists() else []
    if not record.exists():
        return result, lines, None
    entries = {}
    for line in record.read_text(encoding="utf-8").splitlines():
        key, _, value = line.partition("=")
        entries.setdefault(key, []).append(value)
    return result, lines, entries


def test_the_wizard_receives_the_users_words_in_its_own_folder(scratch):
    arguments = r'/IAgreeToTheEULA /zeroguid "INSTALLDIR=C:\Program Files\Oak" plain temp "{}"'.format(
        windows_path(scratch / "root"))
    (scratch / "root").mkdir()
    result, lines, record = run_probe(scratch, arguments)
    assert result.exit_code == 0
    folder = windows_path(scratch / "root" / ZERO_GUID)
    assert record["cwd"] == [folder]
    assert record["commandline"][0].startswith(f'"{folder}\\corvane.installerwizard.ui.exe" ')
    assert sorted(record["arg"]) == sorted([
        r"INSTALLDIR=C:\Program Files\Oak", "plain", "/temp", windows_path(scratch / "root"),
        "/IAgreeToTheEULA", "/log", windows_path(scratch / "setup.log"), "CV_I=Zava Studio"])
    assert sorted(record["file"]) == ["corvane.installerwizard.ui.exe", "corvane.installerwizard.ui.exe.config",
                                      "install.bin", "projectitems.xml"]
    assert not (scratch / "root" / ZERO_GUID).exists()


def test_info_block_lies_beside_the_wizard(scratch):
    _, _, record = run_probe(scratch, program=with_information(PROBE, b"<info/>", scratch))
    assert "info.xml" in record["file"]


@pytest.mark.parametrize("code", [0, 5, RUNTIME_LOAD_FAILED])
def test_the_wizards_exit_code_becomes_the_programs(scratch, code):
    result, lines, _ = run_probe(scratch, exit=hex(code))
    assert result.exit_code == code
    assert "Remove folder 'Yes'" in lines
    # Silent: the report of a failing exit code is the log's last line before "Ended".
    reports = {
        0: [],
        5: ["Oakcrest failed with exit code 0x       5."],
        # its "\r\n" is written as CR CR LF, so the first line keeps a CR
        RUNTIME_LOAD_FAILED: ["Oakcrest requires .NET 2. Please download from the Microsoft Download Center and retry.\r",
                              "(.NET 4 was detected.)"],
    }
    report = reports[code]
    assert lines[len(lines) - 1 - len(report):-1] == report


def test_the_wizards_log_lines_sit_between_the_programs(scratch):
    _, lines, _ = run_probe(scratch, log="wizard: started|wizard: done")
    at = lines.index("wizard: started")
    assert lines[at + 1] == "wizard: done"
    assert lines[at - 1] == "Restoring 32Bit spawned processes"
    assert lines[at + 2] == "Remove folder 'Yes'"


@pytest.mark.parametrize("window", [None, 0, 300])
def test_wizards_with_and_without_a_window_are_waited_for(scratch, window):
    # Interactive, so that the splash is up while the wizard starts.
    settings = {} if window is None else {"window": window, "stay": 400}
    result, _, record = run_probe(scratch, "/zeroguid", leave=r"logs\run.txt;left.txt", **settings)
    assert result.exit_code == 0
    assert record is not None
    assert not any(scratch.glob("**/left.txt"))


def test_dontrun_starts_no_wizard(scratch):
    result, lines, record = run_probe(scratch, "/IAgreeToTheEULA /dontrun")
    assert result.exit_code == 0
    assert record is None
    assert not any(line.startswith("ProgramType") for line in lines)


@pytest.mark.parametrize("name, switched", [("probe", True), ("probe-x64", True), ("probe-x86", False)])
def test_under_wow64_redirection_is_off_around_the_creation_only(scratch, name, switched):
    result, lines, record = run_probe(scratch, program=package(name))
    assert result.exit_code == 0 and record is not None
    switch = ["Enabling 64Bit spawned processes", "Restoring 32Bit spawned processes"]
    start = lines.index(next(line for line in lines if line.startswith("ProgramType")))
    assert (lines[start + 2:start + 4] == switch) == switched
    assert not switched or switch[0] not in lines[start + 4:]


def test_under_wow64_a_32_bit_only_wizard_is_refused(scratch):
    result, lines, record = run_probe(scratch, program=package("probe-x32only"))
    assert result.exit_code == PROCESSOR_MODE_UNFIT
    assert record is None
    assert "Incorrect processor mode with installation type" in lines
    assert "Remove folder 'Yes'" in lines


def test_a_wizard_that_is_no_program_is_not_started(scratch):
    result, lines, _ = run_probe(scratch, program=package("nowizard"))
    assert result.exit_code == WIZARD_NOT_STARTED
    assert any(re.fullmatch(r"CreateProcessW failed, error [1-9]\d*", line) for line in lines), lines
    assert "Remove folder 'Yes'" in lines  # the log stayed open


def test_a_link_the_wizard_puts_in_the_logs_place_is_not_written_through(scratch):
    target = scratch / "precious"
    target.write_bytes(b"precious\r\n")
    result, lines, record = run_probe(scratch, link_log=windows_path(target), exit=0)
    assert record is not None
    assert result.exit_code == 0  # the wizard's result stands; only the closing lines are lost
    assert target.read_bytes() == b"precious\r\n"
    assert lines == ["precious"]  # the log's name is the link now


def test_a_unix_link_put_in_the_logs_place_while_the_wizard_runs_is_not_written_through(scratch):
    # Wine shows a Unix link to a file as the file itself: only the path the reopened log's
    # handle really names tells it apart.
    target = scratch / "precious"
    target.write_bytes(b"precious\r\n")
    log, record, gate = scratch / "setup.log", scratch / "record.txt", scratch / "gate"
    running = dialogs.start(PROBE, f'/IAgreeToTheEULA log "{windows_path(log)}"', cwd=scratch,
                            env={"GEARRACK_PROBE_RECORD": windows_path(record), "GEARRACK_PROBE_GATE": windows_path(gate),
                                 "GEARRACK_PROBE_WINDOW": "0"})
    dialogs.poll(record.exists, "the wizard to start")
    log.unlink()
    log.symlink_to(target)
    gate.touch()
    assert running.finish().exit_code == 0  # the run's result stands; only its closing lines are lost
    assert target.read_bytes() == b"precious\r\n"


@pytest.fixture(scope="module")
def prefix32():
    """A 32-bit Wine prefix, for a bootstrapper on 32-bit Windows."""
    prefix = REPO / "build" / "wine" / "prefix32"
    env = {"GEARRACK_WINEPREFIX": str(prefix), "GEARRACK_WINEARCH": "win32"}
    yield env
    subprocess.run(["wineserver", "-k"], env=dict(harness.os.environ, WINEPREFIX=str(prefix)),
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


def test_on_32_bit_windows_x64_is_refused_and_nothing_is_switched(scratch, prefix32):
    if not harness.LAUNCHER:
        pytest.skip("needs a 32-bit Wine prefix")
    result, lines, record = run_probe(scratch, program=package("probe-x64"), env=prefix32)
    assert result.exit_code == PROCESSOR_MODE_UNFIT
    assert record is None
    result, lines, record = run_probe(scratch, env=prefix32)
    assert result.exit_code == 0 and record is not None
    assert "Enabling 64Bit spawned processes" not in lines
