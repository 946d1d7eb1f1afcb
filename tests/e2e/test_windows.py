"""The program's windows besides the prompt and the report: the splash that covers the run
until the wizard shows itself, the about box behind the report's system menu, and none
at all in silent runs."""

import subprocess

import pytest

import dialogs
from harness import LAUNCHER, SAMPLE, package, read_log, run, windows_path
from results import SIZE_MISMATCH, USAGE_ERROR

PROGRAM = "GearRackInstaller.exe"  # every package's program file
PROBE_PROGRAM = "corvane.installerwizard.ui.exe"  # the probe wizard, as the package names it
TITLE = "Oakcrest"
WIZARD = "Probe wizard"  # the probe wizard's window
ABOUT = "About Oakcrest"
DIALOG_CLASS = "#32770"
WS_CAPTION, WS_SYSMENU = 0x00C00000, 0x00080000
ABOUT_COMMAND = 0x0010


def splash_shown():
    """The splash when it is on the screen: the program's dialog without a title (the
    prompt and the report carry the product name); else None."""
    return next((w for w in dialogs.windows(PROGRAM) if w.class_name == DIALOG_CLASS and not w.title and w.visible),
                None)


@pytest.fixture
def start():
    """dialogs.start for the test; a run still going when the test ends (it failed) is
    ended with its wizard, so that it cannot hold up the watch of a later test."""
    runs = []

    def starter(*arguments, **options):
        runs.append(dialogs.start(*arguments, **options))
        return runs[-1]
    yield starter
    left = [running for running in runs if running.running()]
    if left and LAUNCHER:
        for name in (PROGRAM, PROBE_PROGRAM):
            subprocess.run([LAUNCHER, "taskkill", "/f", "/im", name], check=False, timeout=60,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for running in left:
        running.process.wait(timeout=60)


@pytest.mark.parametrize("prompted", [False, True], ids=["plain", "after-the-drive-prompt"])
def test_the_splash_covers_the_run_until_the_wizard_shows_itself(scratch, start, prompted):
    gate = scratch / "gate"  # the probe shows its window once this file exists
    good = scratch / "good"
    good.mkdir()
    root = scratch / "missing" / "deeper" if prompted else good
    probe = {"GEARRACK_PROBE_WINDOW": "0", "GEARRACK_PROBE_STAY": "120000", "GEARRACK_PROBE_GATE": windows_path(gate)}
    running = start(package("probe"), f'/zeroguid temp "{windows_path(root)}"', cwd=scratch, env=probe)
    if prompted:
        dialogs.wait(TITLE)
        dialogs.poll(lambda: not splash_shown(), "the splash out of the prompt's way")
        dialogs.set_text(TITLE, 1005, windows_path(good))
        dialogs.press(TITLE, dialogs.IDOK)
    splash = dialogs.poll(splash_shown, "the splash")
    assert (splash.style & WS_CAPTION) != WS_CAPTION and not splash.style & WS_SYSMENU  # no title bar
    gate.touch()
    dialogs.wait(WIZARD)
    dialogs.poll(lambda: not splash_shown(), "the splash gone for the wizard's window")
    assert running.running()
    dialogs.close(WIZARD)
    assert running.finish().exit_code == 0


def test_the_reports_system_menu_opens_the_about_box(scratch, start):
    running = start(SAMPLE, "/? /dontrun", cwd=scratch)
    dialogs.wait(TITLE)
    assert dialogs.menu(TITLE)[-2:] == [None, (ABOUT_COMMAND, "&About Oakcrest...")]
    dialogs.syscommand(TITLE, ABOUT_COMMAND)
    about = dialogs.wait(ABOUT)
    assert about.control(1001).text == "Oakcrest Version 1.8.2.372"
    dialogs.press(ABOUT, dialogs.IDOK)
    dialogs.poll(lambda: all(w.title != ABOUT for w in dialogs.windows(PROGRAM)), "the about box closed")
    dialogs.press(TITLE, dialogs.IDCANCEL)  # the report, still up, answers as before
    assert running.finish().exit_code == USAGE_ERROR


@pytest.mark.parametrize("name, probe, exit_code, logged", [
    ("mismatch", {}, SIZE_MISMATCH, "A file is corrupt. Download Oakcrest and retry."),
    ("probe", {"WINDOW": 0, "STAY": 500, "EXIT": 5}, 5, "Oakcrest failed with exit code 0x       5."),
])
def test_silent_runs_show_no_window(scratch, name, probe, exit_code, logged):
    log = scratch / "setup.log"
    watch = dialogs.Watch(PROGRAM)
    result = run(package(name), f'/IAgreeToTheEULA log "{windows_path(log)}"', cwd=scratch,
                 env={f"GEARRACK_PROBE_{key}": str(value) for key, value in probe.items()})
    seen = watch.windows()
    assert result.exit_code == exit_code
    assert logged in read_log(log)
    assert [w for w in seen if w.visible] == []
    if probe:  # a run that lasts: the watch saw the splash, made but never shown
        assert any(w.class_name == DIALOG_CLASS and not w.title for w in seen), seen
