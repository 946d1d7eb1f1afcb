"""The prompt for another working folder root: shown once, interactively only, when no file
can be made in the root."""

import dialogs
from harness import SAMPLE, read_log, windows_path
from results import FAILED

ZERO_GUID = "{00000000-0000-0000-0000-000000000000}"
TITLE = "Oakcrest"  # the product name is the caption
FOLDER_EDIT = 1005


def start_unwritable(scratch, silent=False):
    """Starts the sample with a root whose parent does not exist, so no probe file can be
    made in it."""
    bad = scratch / "missing" / "deeper"
    log = scratch / "setup.log"
    flags = "/IAgreeToTheEULA " if silent else ""
    running = dialogs.start(SAMPLE, f'{flags}/dontrun /keep /zeroguid temp "{windows_path(bad)}" '
                                    f'log "{windows_path(log)}"', cwd=scratch)
    return running, bad, log


def test_a_root_typed_into_the_prompt_is_probed_and_used(scratch):
    running, bad, log = start_unwritable(scratch)
    prompt = dialogs.wait(TITLE)
    edit = prompt.control(FOLDER_EDIT)
    assert edit.text == windows_path(bad)
    assert prompt.focus == FOLDER_EDIT and edit.selection == (0, len(edit.text))
    good = scratch / "good"
    good.mkdir()
    dialogs.set_text(TITLE, FOLDER_EDIT, windows_path(good))
    dialogs.press(TITLE, dialogs.IDOK)
    assert running.finish().exit_code == 0
    assert (good / ZERO_GUID / "install.bin").exists()
    assert not (scratch / "missing").exists()


def test_cancel_ends_the_run_with_nothing_made(scratch):
    running, _, log = start_unwritable(scratch)
    dialogs.wait(TITLE)
    dialogs.press(TITLE, dialogs.IDCANCEL)
    assert dialogs.dismiss_report(running).exit_code == FAILED
    lines = read_log(log)
    assert not any(line.startswith(("Scanning", "Extract File")) for line in lines)
    assert sorted(path.name for path in scratch.iterdir()) == ["setup.log"]


def test_a_second_failure_is_final(scratch):
    running, _, _ = start_unwritable(scratch)
    dialogs.wait(TITLE)
    dialogs.set_text(TITLE, FOLDER_EDIT, windows_path(scratch / "also" / "missing"))
    dialogs.press(TITLE, dialogs.IDOK)
    # The next window is the failure report, not a second prompt.
    assert dialogs.dismiss_report(running).exit_code == FAILED


def test_silent_runs_never_prompt(scratch):
    running, _, log = start_unwritable(scratch, silent=True)
    assert running.finish().exit_code == FAILED
    assert "Not Prompting the user as silent installation" in read_log(log)
