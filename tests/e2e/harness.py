"""Runs package executables under Wine as a user or a deployment script would.

Every run goes through the exit-code reporter (Wine's own exit status keeps only 8 bits)
and through tests/wine/run, which makes the private prefix once and puts a time limit on
the run. GEARRACK_LAUNCHER can name another launcher (an empty value runs the programs
directly, as on Windows)."""

import dataclasses
import os
import re
import subprocess
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("GEARRACK_BUILD_WIN", REPO / "build" / "win"))
PACK = Path(os.environ.get("GEARRACK_PACK", REPO / "build" / "native" / "gearrack-pack"))
SAMPLE = BUILD / "GearRackInstaller.exe"
EXIT_CODE_REPORTER = BUILD / "tools" / "exitcode.exe"
LAUNCHER = os.environ.get("GEARRACK_LAUNCHER", str(REPO / "tests" / "wine" / "run"))
RUN_SECONDS = 120


def package(name):
    """The program of test package `name`."""
    return BUILD / "packages" / name / "GearRackInstaller.exe"


def with_information(program, information, folder):
    """A copy of `program` in `folder` carrying `information` as its embedded block, put
    there by the packaging tool, which keeps the signature valid."""
    copy = Path(folder) / "Oakcrest.exe"
    copy.write_bytes(Path(program).read_bytes())
    block = Path(folder) / "information.bin"
    block.write_bytes(information)
    subprocess.run([str(PACK), "embed", str(copy), str(block)], check=True)
    return copy


def windows_path(path):
    """The Windows path of a local path (Wine maps / to drive Z:)."""
    path = Path(path).resolve()
    return "Z:" + str(path).replace("/", "\\") if LAUNCHER else str(path)


@dataclasses.dataclass
class Run:
    exit_code: int
    output: str
    trace: str  # what Wine's debug channels printed, when asked for

    def log_lines(self, log_file):
        return read_log(log_file)


def run(program, arguments="", cwd=None, env=None, timeout=RUN_SECONDS, trace=None):
    """Runs `program` with the raw argument text `arguments` (typed exactly as a user
    would, quotes included) and returns its full exit code. `trace` names Wine debug
    channels to record (such as "trace+reg"), to see what the program asked of Windows."""
    return run_command(f'"{windows_path(program)}" {arguments}'.rstrip(), cwd, env, timeout, trace)


def run_command(command_line, cwd=None, env=None, timeout=RUN_SECONDS, trace=None):
    """Runs a whole Windows command line (such as `cmd /c "script.cmd" ...`) as `run` runs
    a program, and returns its full exit code and what it printed."""
    environment = dict(os.environ)
    environment.update(env or {})
    if trace:
        environment["GEARRACK_WINEDEBUG"] = trace
    environment["GEARRACK_COMMAND_LINE"] = command_line
    environment["GEARRACK_TIMEOUT"] = str(timeout)
    command = [str(EXIT_CODE_REPORTER)]
    if LAUNCHER:
        command.insert(0, LAUNCHER)
    finished = subprocess.run(command, cwd=cwd, env=environment, capture_output=True,
                              timeout=timeout + 30, check=False)
    output = finished.stdout.decode("utf-8", "replace")
    match = re.search(r"exit code 0x([0-9a-f]{8})", output)
    assert match, f"no exit code reported (status {finished.returncode}): {output!r} " \
                  f"{finished.stderr.decode('utf-8', 'replace')[-2000:]!r}"
    return Run(int(match.group(1), 16), output, finished.stderr.decode("utf-8", "replace"))


def read_log(log_file, encoding="cp1252"):
    """The log's lines, checking on the way that every line ends in CR LF."""
    data = Path(log_file).read_bytes()
    assert data.endswith(b"\r\n"), f"log does not end with CR LF: {data[-40:]!r}"
    lines = data.split(b"\r\n")[:-1]
    for line in lines:
        assert b"\n" not in line, f"bare line feed in {line!r}"
    return [line.decode(encoding, "replace") for line in lines]


def wine_prefix():
    return os.environ.get("GEARRACK_WINEPREFIX", str(REPO / "build" / "wine" / "prefix64"))


def start_wine():
    """Makes the prefix if needed and keeps its wineserver running for the whole session,
    so that each run costs a fraction of a second instead of a Wine start-up."""
    if not LAUNCHER:
        return
    subprocess.run(["sh", "-c", f'GEARRACK_REPO="{REPO}"; . "{REPO}/tests/wine/prefix.sh"; gearrack_wine_prefix'],
                   check=True, timeout=900)
    # Fails harmlessly when a server of this prefix is running already.
    # No pipes: the server, and the service processes that the first program starts, keep
    # running and would hold a test's pipes open until the session ends.
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-p"], env=dict(os.environ, WINEPREFIX=wine_prefix()),
                   check=False, timeout=60, **quiet)
    subprocess.run([LAUNCHER, "cmd", "/c", "exit"], check=False, timeout=120, **quiet)
    set_framework(None, None)  # whatever an interrupted session left


def wine_quietly(*command, timeout=120):
    """Runs a Wine program of the prefix (regedit, reg) without pipes, which Wine's
    service processes could inherit and hold open."""
    subprocess.run([LAUNCHER, *command], check=True, timeout=timeout, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


NDP = r"HKLM\Software\Microsoft\NET Framework Setup\NDP"


def set_framework(keys, folder):
    """Replaces the prefix's .NET Framework keys (32-bit view) by `keys`: a mapping of key
    paths below NDP to {value name: int or str}. None restores tests/wine/framework.cmd."""
    script = REPO / "tests" / "wine" / "framework.cmd"
    if keys is not None:
        lines = [f'@reg delete "{NDP}" /f /reg:32 >nul 2>&1']
        for key, values in keys.items():
            for name, value in values.items():
                kind = "REG_DWORD" if isinstance(value, int) else "REG_SZ"
                lines.append(f'@reg add "{NDP}\\{key}" /v {name} /t {kind} /d "{value}" /f /reg:32 >nul')
        script = Path(folder) / "framework.cmd"
        script.write_text("\r\n".join(lines) + "\r\n", encoding="ascii")
    wine_quietly("cmd", "/c", windows_path(script))


def stop_wine():
    """Stops the prefix's wineserver, ending any process a test left behind."""
    if not LAUNCHER:
        return
    subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=wine_prefix()),
                   capture_output=True, check=False, timeout=60)
