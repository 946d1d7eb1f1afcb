"""The deployment page as an administrator uses it: its cmd script runs a package silently
under Wine's cmd and takes the branch that the exit code calls for, and the page shows the
scripts and the exit codes as they really are."""

import re

import pytest
import yaml

from harness import REPO, package, read_log, run_command, windows_path

PAGE = REPO / "docs" / "deploy.md"
SCRIPTS = REPO / "docs" / "deploy"


def run_script(scratch, program, env=None):
    log = scratch / "setup.log"
    script = windows_path(SCRIPTS / "install.cmd")
    # cmd /c strips the outer pair of quotes and keeps the inner ones.
    result = run_command(f'cmd /c ""{script}" "{windows_path(program)}" "{windows_path(log)}""',
                         cwd=scratch, env=env)
    printed = [line.rstrip("\r") for line in result.output.splitlines()]
    return result, printed, read_log(log)


@pytest.mark.parametrize("name, wizard_exit, printed, report", [
    ("probe", 0, ["install: installed"], None),
    ("nonet", None,
     ["install: the .NET Framework it needs is missing (0x80110409); install it and run again",
      ".NET Version Not OK Unknown .NET Version 0"],
     "Oakcrest requires Unknown .NET Version. Please download from the Microsoft Download Center and retry."),
    # A restart code is the wizard's success: one line, no failure report.
    ("probe", 3010, ["install: installed, Windows must restart to finish (exit code 3010)"],
     "The wizard finished; a restart is needed (exit code 3010)"),
    ("probe", 3011, ["install: installed, Windows must restart to finish (exit code 3011)"],
     "The wizard finished; a restart is needed (exit code 3011)"),
    ("probe", 0x80070005, ["install: failed with exit code -2147024891; see \"{log}\""],
     "Oakcrest failed with exit code 0x80070005."),
])
def test_the_install_script_takes_the_branch_of_the_exit_code(scratch, name, wizard_exit, printed, report):
    env = {} if wizard_exit is None else {"GEARRACK_PROBE_EXIT": hex(wizard_exit)}
    result, output, lines = run_script(scratch, package(name), env)
    # The script ends with the package's own code, all 32 bits of it.
    expected_code = 0x80110409 if wizard_exit is None else wizard_exit
    assert result.exit_code == expected_code, output
    branch = [line for line in output if line.startswith(("install: ", ".NET"))]
    assert branch == [line.format(log=windows_path(scratch / "setup.log")) for line in printed]
    # The log the script points at ends with the report of the failure, if any.
    assert lines[-1].startswith("Ended ")
    assert lines[-2] == report if report else not any("fail" in line for line in lines)


def fenced_block_after(page, caption):
    match = re.search(re.escape(caption) + r"\n\n```[a-z]*\n(.*?)```", page, re.S)
    assert match, f"no code block after {caption!r}"
    return match.group(1)


def test_the_page_shows_the_scripts_and_the_codes_as_they_are():
    page = PAGE.read_text(encoding="utf-8")
    for name in ("install.cmd", "install.ps1"):
        shown = fenced_block_after(page, f"`docs/deploy/{name}`:")
        assert shown == (SCRIPTS / name).read_text(encoding="ascii").replace("\r\n", "\n"), name

    # Every row of the exit-code table gives one code three ways that agree.
    rows = re.findall(r"^\| `0x([0-9A-F]{8})` \| (\d+) \| (-?\d+) \|", page, re.M)
    assert len(rows) >= 12
    table = {}
    for hexadecimal, unsigned, signed in rows:
        value = int(hexadecimal, 16)
        assert int(unsigned) == value and int(signed) == value - (value >> 31 << 32), hexadecimal
        table[int(signed)] = value

    # The winget manifest maps only codes of the table, written as signed numbers.
    manifest = yaml.safe_load(fenced_block_after(page, "`Oakcrest.Zava.installer.yaml`:"))
    mapped = {entry["InstallerReturnCode"]: entry["ReturnResponse"] for entry in manifest["ExpectedReturnCodes"]}
    assert set(mapped) <= set(table)
    assert mapped[-2146368503] == "missingDependency" and mapped[-2147286928] == "diskFull"
    assert manifest["InstallerSwitches"]["Silent"] == "/IAgreeToTheEULA"
    assert manifest["InstallerSwitches"]["Log"] == 'log "<LOGPATH>"'
