"""Drives the dialogs of a program under test, through the dialog driver, which runs inside
the same Wine prefix (build/win/tools/dialog_driver.exe; see its source for the commands).

A test starts the program in the background, waits for its dialog, reads and changes the
controls, presses a button, then waits for the program's full exit code:

    running = dialogs.start(harness.SAMPLE, "/log log.txt", cwd=scratch)
    prompt = dialogs.wait("Oakcrest")
    assert prompt.control(1005).text == "C:"
    dialogs.set_text("Oakcrest", 1005, "D:")
    dialogs.press("Oakcrest", dialogs.IDOK)
    assert running.finish().exit_code == 0
"""

import contextlib
import dataclasses
import os
import re
import socket
import struct
import subprocess
import tempfile
import time
import zlib
from pathlib import Path

import harness

DRIVER = harness.BUILD / "tools" / "dialog_driver.exe"
IDOK = 1
IDCANCEL = 2
WAIT_SECONDS = 30
DRIVER_MARGIN = 60  # the launcher's own start-up, beyond the driver's time limit


class DriverError(AssertionError):
    """The driver did not do what it was asked: no such window in time (status 1), a bad
    command (2) or a failed action (3)."""


@dataclasses.dataclass
class Control:
    id: int
    class_name: str
    rect: tuple  # x, y, width, height in the dialog's client pixels
    style: int
    text: str
    selection: tuple = None  # start, end of an edit box's selection


@dataclasses.dataclass
class Dialog:
    window: int
    client: tuple  # width, height in pixels
    focus: int  # id of the focused control, 0 for none
    controls: list

    def control(self, control_id):
        """The first control with `control_id`; statics without an id share -1
        (65535 in a template of the older format)."""
        for control in self.controls:
            if control.id == control_id:
                return control
        raise KeyError(f"no control {control_id} in {[c.id for c in self.controls]}")

    def texts(self, class_name=None):
        """The controls' texts in tab order, only of `class_name` when given."""
        return [c.text for c in self.controls if class_name in (None, c.class_name)]


def _unescape(text):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "t": "\t"}.get(m.group(1), m.group(1)), text)


def _read(file):
    file.seek(0)
    return file.read().decode("utf-8", "replace")


def drive(*arguments, seconds=WAIT_SECONDS):
    """Runs the driver with `arguments` and returns its output lines; raises DriverError
    with its message when it fails."""
    environment = dict(os.environ, GEARRACK_TIMEOUT=str(seconds + DRIVER_MARGIN))
    command = [str(DRIVER), *map(str, arguments)]
    if harness.LAUNCHER:
        command.insert(0, harness.LAUNCHER)
    # Files, not pipes: the first program to use the desktop starts Wine's desktop process,
    # which inherits its output and would hold a pipe open until the desktop closes.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        status = subprocess.run(command, env=environment, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                timeout=seconds + DRIVER_MARGIN + 30, check=False).returncode
        lines, trace = _read(out).splitlines(), _read(err)
    if status != 0:
        raise DriverError(f"dialog_driver {' '.join(map(str, arguments))}: status {status}: {lines!r} {trace[-1000:]!r}")
    return lines


def parse_dialog(lines):
    """The window and controls from the output of `dialog_driver wait`."""
    head = re.fullmatch(r"window=0x([0-9a-f]+) client=(\d+)x(\d+) focus=(-?\d+)", lines[0])
    assert head, f"unexpected driver output {lines[0]!r}"
    controls = []
    for line in lines[1:]:
        match = re.fullmatch(r"id=(-?\d+) class=(\S+) rect=(-?\d+),(-?\d+),(\d+),(\d+) style=0x([0-9a-f]+)"
                             r"(?: sel=(\d+),(\d+))? text=(.*)", line)
        assert match, f"unexpected driver output {line!r}"
        groups = match.groups()
        controls.append(Control(int(groups[0]), groups[1], tuple(map(int, groups[2:6])), int(groups[6], 16),
                                _unescape(groups[9]),
                                (int(groups[7]), int(groups[8])) if groups[7] is not None else None))
    return Dialog(int(head.group(1), 16), (int(head.group(2)), int(head.group(3))), int(head.group(4)), controls)


def wait(title, seconds=WAIT_SECONDS):
    """Waits until a visible top-level window titled exactly `title` exists; its controls."""
    return parse_dialog(drive("wait", title, seconds, seconds=seconds))


def set_text(title, control_id, text):
    drive("set", title, control_id, text)


def press(title, control_id):
    drive("press", title, control_id)


def close(title):
    drive("close", title)


def menu(title):
    """The window's system menu in order: (id, text) per item, None for a separator."""
    items = []
    for line in drive("menu", title):
        match = re.fullmatch(r"item id=(\d+) text=(.*)", line)
        assert match or line == "separator", f"unexpected driver output {line!r}"
        items.append((int(match.group(1)), _unescape(match.group(2))) if match else None)
    return items


def syscommand(title, command_id):
    drive("syscommand", title, command_id)


@dataclasses.dataclass
class TopLevel:
    window: int
    visible: bool
    class_name: str
    rect: tuple  # x, y, width, height in screen pixels
    style: int
    title: str


def _top_levels(lines):
    windows = []
    for line in lines:
        match = re.fullmatch(r"window=0x([0-9a-f]+) visible=([01]) class=(\S+) rect=(-?\d+),(-?\d+),(\d+),(\d+) "
                             r"style=0x([0-9a-f]+) title=(.*)", line)
        assert match, f"unexpected driver output {line!r}"
        groups = match.groups()
        windows.append(TopLevel(int(groups[0], 16), groups[1] == "1", groups[2], tuple(map(int, groups[3:7])),
                                int(groups[7], 16), _unescape(groups[8])))
    return windows


def windows(program):
    """The top-level windows, visible or not, of the running processes whose program file
    is named `program` (such as "setup.exe")."""
    return _top_levels(drive("windows", program))


def poll(condition, what, seconds=WAIT_SECONDS):
    """Asks `condition` again until it answers something true, which it returns; fails
    after `seconds` naming `what` and the last answer."""
    deadline = time.monotonic() + seconds
    while True:
        answer = condition()
        if answer:
            return answer
        if time.monotonic() > deadline:
            raise DriverError(f"not in {seconds} s: {what} (last: {answer!r})")
        time.sleep(0.05)


class Watch:
    """The driver's `watch` of `program`, started before the program so that it sees every
    window the program makes; `windows` waits for the program's end and returns each
    window as last seen visible, or as last seen when it never was."""

    def __init__(self, program, seconds=harness.RUN_SECONDS):
        self.seconds = seconds
        command = [str(DRIVER), "watch", program, str(seconds)]
        if harness.LAUNCHER:
            command.insert(0, harness.LAUNCHER)
        self.out = tempfile.TemporaryFile()
        self.err = tempfile.TemporaryFile()
        environment = dict(os.environ, GEARRACK_TIMEOUT=str(seconds + DRIVER_MARGIN))
        self.process = subprocess.Popen(command, env=environment, stdin=subprocess.DEVNULL, stdout=self.out,
                                        stderr=self.err)
        poll(lambda: _read(self.out).startswith("watching\n") or self.process.poll() is not None,
             "the watch to begin", seconds=DRIVER_MARGIN)

    def windows(self):
        try:
            status = self.process.wait(timeout=self.seconds + DRIVER_MARGIN + 30)
            lines = _read(self.out).splitlines()
        finally:
            self.out.close()
            self.err.close()
        if status != 0:
            raise DriverError(f"dialog_driver watch: status {status}: {lines!r}")
        return _top_levels(lines[1:])


def screenshot(title, bmp_path, png_path=None):
    """Copies the window from the screen into `bmp_path`, and into `png_path` too when given."""
    drive("screenshot", title, harness.windows_path(bmp_path))
    if png_path:
        bmp_to_png(bmp_path, png_path)
    return Path(png_path or bmp_path)


class Background:
    """A program run in the background through the exit-code reporter, as harness.run runs
    it; `finish` waits for its end and returns the same harness.Run. Its output goes to
    files, for the reason given in `drive`."""

    def __init__(self, command, cwd, environment, timeout):
        self.timeout = timeout
        self.out = tempfile.TemporaryFile()
        self.err = tempfile.TemporaryFile()
        self.process = subprocess.Popen(command, cwd=cwd, env=environment, stdin=subprocess.DEVNULL,
                                        stdout=self.out, stderr=self.err)

    def running(self):
        return self.process.poll() is None

    def finish(self, timeout=None):
        """Waits for the program's end (killing it after `timeout` seconds, by default its
        own limit and a margin) and returns its exit code and output."""
        try:
            self.process.wait(timeout=timeout or self.timeout + 30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise
        finally:
            output, trace = _read(self.out), _read(self.err)
            self.out.close()
            self.err.close()
        match = re.search(r"exit code 0x([0-9a-f]{8})", output)
        assert match, f"no exit code reported (status {self.process.returncode}): {output!r} {trace[-2000:]!r}"
        return harness.Run(int(match.group(1), 16), output, trace)


def start_command(command_line, cwd=None, env=None, timeout=harness.RUN_SECONDS, trace=None):
    """Starts the Windows command line `command_line` (quoted as typed) in the background."""
    environment = dict(os.environ)
    environment.update(env or {})
    if trace:
        environment["GEARRACK_WINEDEBUG"] = trace
    environment["GEARRACK_COMMAND_LINE"] = command_line
    environment["GEARRACK_TIMEOUT"] = str(timeout)
    command = [str(harness.EXIT_CODE_REPORTER)]
    if harness.LAUNCHER:
        command.insert(0, harness.LAUNCHER)
    return Background(command, cwd, environment, timeout)


def start(program, arguments="", cwd=None, env=None, timeout=harness.RUN_SECONDS, trace=None):
    """Starts `program` with the raw argument text `arguments` in the background, as
    harness.run would run it."""
    line = f'"{harness.windows_path(program)}" {arguments}'.rstrip()
    return start_command(line, cwd=cwd, env=env, timeout=timeout, trace=trace)


def display_alive(display=None):
    """Whether the X server of `display` (default: $DISPLAY, such as ":0") takes connections."""
    display = display if display is not None else os.environ.get("DISPLAY", "")
    match = re.fullmatch(r":(\d+)(?:\.\d+)?", display)
    if not match:
        return False
    with socket.socket(socket.AF_UNIX) as connection:
        try:
            connection.connect(f"/tmp/.X11-unix/X{match.group(1)}")
            return True
        except OSError:
            return False


@contextlib.contextmanager
def virtual_display():
    """A fresh Xvfb as $DISPLAY for the duration. Xvfb writes its display number and the
    line end separately and dies when the pipe is gone before the second write, so the
    whole line is read before the pipe is closed."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                              pass_fds=[write], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    previous = os.environ.get("DISPLAY")
    os.environ["DISPLAY"] = f":{number.decode().strip()}"
    try:
        assert server.poll() is None and number.strip(), "Xvfb did not start"
        yield os.environ["DISPLAY"]
    finally:
        server.terminate()
        server.wait(timeout=30)
        if previous is None:
            del os.environ["DISPLAY"]
        else:
            os.environ["DISPLAY"] = previous


def _png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def bmp_to_png(bmp_path, png_path):
    """Converts an uncompressed 24-bit BMP (as the driver writes) into a PNG file."""
    data = Path(bmp_path).read_bytes()
    assert data[:2] == b"BM", f"{bmp_path} is not a BMP file"
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    assert bits == 24 and compression == 0, f"{bmp_path}: {bits}-bit, compression {compression}"
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = y if height < 0 else abs(height) - 1 - y  # BMP rows go bottom-up
        row = data[offset + source * stride: offset + source * stride + width * 3]
        pixels = bytearray(row)
        pixels[0::3], pixels[2::3] = row[2::3], row[0::3]  # BGR to RGB
        rows.append(b"\0" + bytes(pixels))
    header = struct.pack(">IIBBBBB", width, abs(height), 8, 2, 0, 0, 0)
    Path(png_path).write_bytes(b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", header) +
                               _png_chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + _png_chunk(b"IEND", b""))


REPORT_MESSAGE = 1000  # the message text of the failure report


def dismiss_report(running, title="Oakcrest", seconds=WAIT_SECONDS):
    """An interactive run that fails ends with the failure report, and an unverified program
    asks first whether to run at all: answers each message dialog (a window of that title
    that has the report's message control; the drive prompt shares the title) with its
    Cancel button until the run ends, and returns the run's result."""
    deadline = time.monotonic() + seconds
    while running.running():
        if time.monotonic() > deadline:
            raise DriverError(f"the run did not end after its reports titled {title!r}")
        try:
            dialog = wait(title, seconds=2)
            if any(control.id == REPORT_MESSAGE for control in dialog.controls):
                press(title, IDCANCEL)
            else:
                time.sleep(0.1)
        except DriverError:
            pass  # no such window yet, or it went before the press
    return running.finish()
