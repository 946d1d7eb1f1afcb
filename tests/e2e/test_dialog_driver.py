"""The dialog driver against programs that come with Wine: a modal message box (msiexec's
usage) and a top-level window with an edit box (notepad). The prompts of our own program
are driven the same way by their own tests."""

import pytest

import dialogs
import harness

pytestmark = pytest.mark.skipif(not harness.LAUNCHER, reason="drives programs that come with Wine")

NOTEPAD = "Untitled - Notepad"


@pytest.fixture(scope="module", autouse=True)
def live_display(wine):
    """The session's Xvfb can die at start-up (its pipe is closed before it has written the
    whole display line): then these tests get a display of their own, and a wineserver
    that starts with it."""
    if dialogs.display_alive():
        yield
        return
    harness.stop_wine()
    with dialogs.virtual_display():
        harness.start_wine()
        yield
        harness.stop_wine()


def test_press_ends_a_modal_message_box_and_the_program_goes_on(scratch):
    running = dialogs.start_command("msiexec /?", cwd=scratch, timeout=60)
    box = dialogs.wait("Error")  # Wine's title for msiexec's usage
    ok = box.control(dialogs.IDOK)
    assert (ok.class_name, ok.text, box.focus) == ("Button", "OK", dialogs.IDOK)
    assert any("Usage:\n" in text for text in box.texts("Static")), box.texts()
    assert running.running(), "the program ended while its message box was up"
    with pytest.raises(dialogs.DriverError, match="status 3"):
        dialogs.press("Error", dialogs.IDCANCEL)  # the box has no such button
    dialogs.press("Error", dialogs.IDOK)
    assert running.finish().exit_code == 0


@pytest.fixture
def notepad(scratch):
    running = dialogs.start_command("notepad", cwd=scratch, timeout=60)
    yield dialogs.wait(NOTEPAD)
    if running.running():
        dialogs.close(NOTEPAD)
    running.finish()


def test_set_text_reaches_the_control_whole(notepad):
    text = "D:\\new root\r\n\tsecond line: é ü ∑ C:\\"
    dialogs.set_text(NOTEPAD, 0, text)  # notepad's edit box has id 0
    edit = dialogs.wait(NOTEPAD, seconds=5).control(0)
    assert (edit.class_name, edit.text) == ("Edit", text)
    assert edit.rect[2] <= notepad.client[0] and edit.rect[3] <= notepad.client[1]


def test_titles_match_exactly_and_a_miss_names_the_windows_there(notepad):
    with pytest.raises(dialogs.DriverError, match=r'status 1.*visible:.*"Untitled - Notepad"'):
        dialogs.wait("Untitled", seconds=1)
    with pytest.raises(dialogs.DriverError, match="status 2"):
        dialogs.drive("press", NOTEPAD, "first")


def test_screenshot_holds_the_whole_window(notepad, scratch):
    png = dialogs.screenshot(NOTEPAD, scratch / "notepad.bmp", scratch / "notepad.png")
    data = png.read_bytes()
    assert data.startswith(b"\x89PNG\r\n\x1a\n")
    width, height = int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")
    assert width >= notepad.client[0] and height > notepad.client[1]  # frame and caption too
    bmp = (scratch / "notepad.bmp").read_bytes()
    assert len(bmp) == 54 + ((width * 3 + 3) & ~3) * height
    assert len(set(bmp[54:])) > 2, "a blank picture"
