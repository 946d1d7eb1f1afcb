"""Start-up, the command line and the log, as a deployment script sees them: state before,
one run of a package, the exit code, the log and the files after."""

import os
import re

import pytest

from harness import SAMPLE, package, read_log, run, windows_path
from results import USAGE_ERROR


def silent_run(scratch, extra="", program=SAMPLE):
    log = scratch / "setup.log"
    result = run(program, f'/dontrun /IAgreeToTheEULA log "{windows_path(log)}" {extra}', cwd=scratch)
    return result, log


def test_silent_dontrun_logs_start_up_and_run(scratch):
    result, log = silent_run(scratch)
    assert result.exit_code == 0
    lines = read_log(log)
    params = f'Command line params /IAgreeToTheEULA /log "{windows_path(log)}" CV_I="'
    assert lines[0] == params + '" '  # the program name comes from the signature, later
    assert lines[1] == "Temp folder 'C:'"
    assert re.fullmatch(r"Started -?\d+", lines[2])
    assert lines[3].startswith("Digital verification: 'The file ")
    checks = lines.index(".NET 2.0 0")
    assert lines[checks - 1] == "Digital verification: IssuerName 'Oakcrest Software'"
    assert lines[checks:checks + 9] == [".NET 2.0 0", ".NET 3.0 0", ".NET 3.5 0", ".NET 4.0 Client 0", ".NET 4.0 Full 0",
                           ".NET 4.5 Client 0", ".NET 4.5 Full 0", ".NET 4.0 Full Detected SP 0", ".NET Version OK"]
    # The second options pass keeps the file it finds open: start-up's lines stay.
    assert lines[checks + 9:checks + 12] == ["Run Embedded Resources ", params + 'Zava" ', "Temp folder 'C:'"]
    assert lines.index("Remove folder 'Yes'") > lines.index("WorkOutFileNames 0")
    assert re.fullmatch(r"Ended -?\d+", lines[-1])


def test_usage_error_ends_with_its_code_and_runs_nothing(scratch):
    result, log = silent_run(scratch, "/?")
    assert result.exit_code == USAGE_ERROR
    lines = read_log(log)
    assert lines.count("Ask for help") == 2
    assert not any(line.startswith(("Started", "Run Embedded")) for line in lines)
    assert re.fullmatch(r"Ended -?\d+", lines[-1])
    # Silent: the report goes to the log, with the command line as the process received it.
    usage = next(line for line in lines if line.startswith("Command line '"))
    assert usage == f"Command line '/dontrun /IAgreeToTheEULA log \"{windows_path(log)}\" /?' incorrect."
    assert "Valid switches include:- " in lines

    plain, log = silent_run(scratch, "?")
    assert plain.exit_code == USAGE_ERROR
    assert read_log(log).count("Ask for help") == 1


@pytest.mark.parametrize("arguments", ["/log x", "-extract x", "/temp x"])
def test_prefixed_path_options_are_usage_errors(scratch, arguments):
    result = run(SAMPLE, f"/IAgreeToTheEULA /dontrun {arguments}", cwd=scratch)
    assert result.exit_code == USAGE_ERROR
    assert not (scratch / "x").exists()


def test_log_in_a_missing_folder_changes_nothing_else(scratch):
    log = scratch / "missing" / "setup.log"
    result = run(SAMPLE, f'/dontrun /IAgreeToTheEULA log "{windows_path(log)}"', cwd=scratch)
    assert result.exit_code == 0
    assert not (scratch / "missing").exists()
    assert list(scratch.iterdir()) == []


@pytest.mark.parametrize("planted", ["hard link", "link to a folder", "link to a file", "dangling link"])
def test_a_log_name_that_is_a_link_is_a_usage_error_and_never_written(scratch, planted):
    # Whoever can write the log's folder plants the name; the elevated program must not
    # write through it. (Wine shows a Unix link to a folder as a reparse point, a hard
    # link as a file of two names, and a Unix link to a file as that file itself: only the
    # path its handle really opened tells it apart.)
    log = scratch / "setup.log"
    target = scratch / "precious"
    if planted in ("hard link", "link to a file"):
        target.write_bytes(b"precious\r\n")
    if planted == "hard link":
        os.link(target, log)
    elif planted == "link to a folder":
        target.mkdir()
        log.symlink_to(target, target_is_directory=True)
    else:
        log.symlink_to(target)
    # Named through the link itself (windows_path would resolve it).
    result = run(SAMPLE, f'/dontrun /IAgreeToTheEULA log "{windows_path(scratch)}\\setup.log"', cwd=scratch)
    assert result.exit_code == USAGE_ERROR
    if planted == "link to a folder":
        assert list(target.iterdir()) == []
    elif planted == "dangling link":
        assert not target.exists()
    else:
        assert target.read_bytes() == b"precious\r\n"


@pytest.mark.parametrize("typed", ["log", "log .", "log folder", "log {scratch}"])
def test_a_log_path_that_is_a_folder_is_not_opened_and_the_run_goes_on(scratch, typed):
    # "log" as the last word makes the current folder the log path, which no one can open
    # as a file; neither can any other folder. The run goes on without a log.
    (scratch / "folder").mkdir()
    typed = typed.format(scratch=f'"{windows_path(scratch)}"')
    result = run(SAMPLE, f'/dontrun /IAgreeToTheEULA {typed}', cwd=scratch)
    assert result.exit_code == 0
    assert [entry.name for entry in scratch.iterdir()] == ["folder"]
    assert list((scratch / "folder").iterdir()) == []


@pytest.mark.parametrize("typed, written", [
    ("linked\\setup.log", "real/setup.log"),  # a link above the name: the administrator's own choice
    ("SETUP.LOG", "Setup.Log"),                # names compared as Windows compares them
])
def test_a_log_named_through_a_linked_folder_or_in_another_letter_case_is_written(scratch, typed, written):
    (scratch / "real").mkdir()
    (scratch / "linked").symlink_to(scratch / "real", target_is_directory=True)
    (scratch / "Setup.Log").write_text("old")
    log = f"{windows_path(scratch)}\\{typed}"  # unresolved: windows_path would resolve the link
    result = run(SAMPLE, f'/dontrun /IAgreeToTheEULA log "{log}"', cwd=scratch)
    assert result.exit_code == 0
    assert any(line.startswith("Ended ") for line in read_log(scratch / written))


@pytest.mark.parametrize("flag, removed, passed_on", [
    ("-keep", "No", None),
    ("/keep", "No", None),
    ("/KEEP", "Yes", "/KEEP"),
    ("keep", "Yes", "keep"),
])
def test_keep_is_a_case_sensitive_prefixed_flag(scratch, flag, removed, passed_on):
    result, log = silent_run(scratch, flag)
    assert result.exit_code == 0
    lines = read_log(log)
    assert f"Remove folder '{removed}'" in lines
    params = lines[0].split()
    if passed_on:
        assert passed_on in params
    else:
        assert not any(word.lower().endswith("keep") for word in params)


def test_upper_case_log_is_a_value_but_not_the_log(scratch):
    result = run(SAMPLE, "/dontrun /IAgreeToTheEULA LOG other.log", cwd=scratch)
    assert result.exit_code == 0
    assert list(scratch.iterdir()) == []


def test_words_with_blanks_and_quotes_reach_the_wizard_whole(scratch):
    result, log = silent_run(scratch, r'"INSTALLDIR=C:\Program Files\X" "NOTE=say \"hi\""')
    assert result.exit_code == 0
    params = read_log(log)[0]
    assert r'"INSTALLDIR=C:\Program Files\X"' in params
    assert r'"NOTE=say \"hi\""' in params


def test_path_beyond_the_path_limit_is_a_usage_error(scratch):
    log = scratch / "setup.log"
    long_temp = "C:\\" + "\\".join(["d" * 50] * 6)
    result = run(SAMPLE, f'/IAgreeToTheEULA log "{windows_path(log)}" temp {long_temp}', cwd=scratch)
    assert result.exit_code == USAGE_ERROR
    lines = read_log(log)
    assert any(line.startswith("Path given to temp is too long") for line in lines)
    assert "Temp folder 'C:'" in lines


def test_root_is_the_temporary_folder_when_rights_are_not_required(scratch):
    result, log = silent_run(scratch, program=package("user"))
    assert result.exit_code == 0
    temp_line = read_log(log)[1]
    assert re.fullmatch(r"Temp folder 'C:\\.+\\Temp\\'", temp_line, re.IGNORECASE), temp_line


def test_log_path_outside_the_ansi_code_page_opens_the_named_file(scratch):
    log = scratch / "журнал 日本.log"
    result = run(SAMPLE, f'/dontrun /IAgreeToTheEULA log "{windows_path(log)}"', cwd=scratch)
    assert result.exit_code == 0
    assert [entry.name for entry in scratch.iterdir()] == [log.name]
    # The file's text stays in the ANSI code page: the name shows replacement characters.
    assert "?????? ??.log" in read_log(log)[0]
