"""The failure report as a user meets it: one dialog with the message, its link line and a
single Cancel button; silent runs show nothing."""

import dialogs
from harness import SAMPLE, package, windows_path

TITLE = "Oakcrest"
MESSAGE, LINK, CANCEL, OK = 1000, 1001, 2, 1
USAGE_ERROR = 0x80030057


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
    assert running.finish().exit_code == 0x80110409
