"""The sample package as a user and a deployment script meet it: the sample wizard installs
Oakcrest where it is told, and a cancelled install comes back as the wizard's exit code."""

import dialogs
from harness import SAMPLE, read_log, run, windows_path

NEXT, CANCEL = 1012, 2
WIZARD = "Oakcrest Setup - Zava"  # for the program that the package's signature names


def test_a_silent_install_lands_where_the_script_says(scratch):
    target = scratch / "Oak crest"
    log = scratch / "setup.log"
    result = run(SAMPLE, f'/IAgreeToTheEULA "INSTALLDIR={windows_path(target)}" log "{windows_path(log)}"',
                 cwd=scratch)
    assert result.exit_code == 0
    assert sorted(path.name for path in target.rglob("*") if path.is_file()) == [
        "oakcrest.txt", "sample.txt", "uninstall-info.txt"]
    lines = read_log(log)
    assert "Wizard: install complete" in lines
    assert lines.index("Wizard: install complete") < lines.index("Remove folder 'Yes'")


def test_cancel_in_the_wizard_is_its_exit_code(scratch):
    running = dialogs.start(SAMPLE, "", cwd=scratch)
    page = dialogs.wait(WIZARD)
    assert page.control(NEXT) is not None
    dialogs.press(WIZARD, CANCEL)
    assert dialogs.dismiss_report(running).exit_code == 1602  # reported, then passed on
