"""The failure report as a user meets it: one dialog with the message, its link line and a
single Cancel button; silent runs show nothing."""

import pytest

import dialogs
from harness import SAMPLE, package, read_log, windows_path
from results import FRAMEWORK_MISSING, RUNTIME_LOAD_FAILED, SIZE_MISMATCH, USAGE_ERROR

TITLE = "Oakcrest"
MESSAGE, LINK, HEADING, CANCEL, OK = 1000, 1001, 1003, 2, 1


def test_a_usage_error_is_shown_with_only_cancel(scratch):
    running = dialogs.start(SAMPLE, "/? /dontrun", cwd=scratch)
    report = dialogs.wait(TITLE)
    assert report.control(MESSAGE).text.startswith("Command line '/? /dontrun' incorrect.")
    assert report.control(LINK).text == ""
    visible = [control.id for control in report.controls if control.class_name.lower() == "button"
               and control.style & 0x10000000]
    assert visible == [CANCEL]
    assert report.control(CANCEL).text == "Cancel"
    dialogs.press(TITLE, CANCEL)
    assert running.finish().exit_code == USAGE_ERROR


def test_a_missing_framework_offers_its_download_page(scratch, framework):
    framework({})
    running = dialogs.start(SAMPLE, "/dontrun", cwd=scratch)
    report = dialogs.wait(TITLE)
    assert report.control(MESSAGE).text == (
        "Oakcrest requires .NET 2. Please download from the Microsoft Download Center and retry.")
    assert report.control(LINK).text == "https://www.microsoft.com/en-us/download/details.aspx?id=16614"
    dialogs.press(TITLE, CANCEL)
    assert running.finish().exit_code == FRAMEWORK_MISSING


@pytest.mark.parametrize("name, keys, required, link", [
    # a service pack too low: the message names the one to install
    ("net20sp1", {"v2.0.50727": {"Install": 1, "SP": 0}}, ".NET 2 SP 1", "/en-us/download/details.aspx?id=16614"),
    ("net45full", {r"v4\Full": {"Install": 1, "Servicing": 4}}, ".NET (full) 4.5",
     "/en-us/download/details.aspx?id=17718"),
])
def test_a_missing_framework_names_what_to_install(scratch, framework, name, keys, required, link):
    framework(keys)
    running = dialogs.start(package(name), "/dontrun", cwd=scratch)
    report = dialogs.wait(TITLE)
    assert report.control(MESSAGE).text == (
        f"Oakcrest requires {required}. Please download from the Microsoft Download Center and retry.")
    assert report.control(LINK).text == "https://www.microsoft.com" + link
    dialogs.press(TITLE, CANCEL)
    assert running.finish().exit_code == FRAMEWORK_MISSING


@pytest.mark.parametrize("name, exit_code, message", [
    ("mismatch", SIZE_MISMATCH, "A file is corrupt. Download Oakcrest and retry."),
    ("probe", 5, "Oakcrest failed with exit code 0x       5."),  # %8x: padded with blanks
    ("probe", RUNTIME_LOAD_FAILED,
     "Oakcrest requires .NET 2. Please download from the Microsoft Download Center and retry.\r\n"
     "(.NET 4 was detected.)"),
])
def test_a_failed_run_is_reported_after_the_splash(scratch, name, exit_code, message):
    running = dialogs.start(package(name), "", cwd=scratch, env={"GEARRACK_PROBE_EXIT": hex(exit_code)})
    report = dialogs.wait(TITLE)
    assert (report.control(HEADING).text, report.control(MESSAGE).text, report.control(LINK).text) == (
        "Error", message, "")
    dialogs.press(TITLE, CANCEL)
    assert running.finish().exit_code == exit_code


@pytest.mark.parametrize("exit_code", [3010, 1641])
def test_a_wizard_that_asks_for_a_restart_is_no_failure(scratch, exit_code):
    # No report dialog: the run ends by itself (a dialog would hold it, and with 1641 the
    # restart the wizard began), with the wizard's code and one line saying so.
    log = scratch / "setup.log"
    running = dialogs.start(package("probe"), f'log "{windows_path(log)}"', cwd=scratch,
                            env={"GEARRACK_PROBE_EXIT": str(exit_code)})
    assert running.finish(timeout=90).exit_code == exit_code
    lines = read_log(log)
    assert lines[-2] == f"The wizard finished; a restart is needed (exit code {exit_code})"
    assert not any("failed" in line for line in lines)
