"""The program's trust in itself: it verifies its own signature before anything else, asks
the user before running an unverified copy (a silent run stops instead), and logs who signed
it; the signature's program name reaches the wizard. Also the packaging tools that sign a
package and put information into its signature."""

import subprocess

import pytest

import dialogs
from harness import BUILD, PACK, REPO, SAMPLE, package, read_log, run, windows_path, with_information
from results import BAD_DIGEST, NOT_VERIFIED

TITLE = "Oakcrest"
HEADING, MESSAGE, YES, NO = 1003, 1000, 1, 2
PROBE, UNSIGNED, ANONYMOUS = package("probe"), package("unsigned"), package("anonymous")
CERTIFICATE, KEY = BUILD / "signing" / "cert.pem", BUILD / "signing" / "key.pem"


def silent_run(scratch, program, extra="/dontrun"):
    log = scratch / "setup.log"
    result = run(program, f'/IAgreeToTheEULA {extra} log "{windows_path(log)}"', cwd=scratch)
    return result, read_log(log)


def verified_lines(program):
    """The log entry of a verified file: it spans two lines, the quote closing the second."""
    return [f"Digital verification: 'The file \"{windows_path(program)}\" is signed and the signature was verified.",
            "'"]


def signer_lines(program_name, more_info):
    serial = subprocess.run(["openssl", "x509", "-serial", "-noout", "-in", str(CERTIFICATE)],
                            capture_output=True, text=True, check=True).stdout.strip().split("=")[1]
    return ["Digital verification: SubjectName 'Oakcrest Software'",
            f"Digital verification: ProgramName '{program_name}'",
            f"Digital verification: MoreInfo    '{more_info}'",
            f"Digital verification: SerialNumber {serial}",
            "Digital verification: IssuerName 'Oakcrest Software'"]


def between(lines, first, last):
    start = lines.index(first)
    return lines[start:lines.index(last, start) + 1]


def signed_copy(scratch, *details):
    """The unsigned probe package signed here with the build's certificate and `details`."""
    copy = scratch / "Signed.exe"
    copy.write_bytes(UNSIGNED.read_bytes())
    subprocess.run([str(REPO / "scripts" / "sign-package"), "--cert", str(CERTIFICATE), "--key", str(KEY),
                    *details, str(copy)], check=True)
    return copy


# --- Verified ------------------------------------------------------------------------------

def test_a_signed_package_runs_and_logs_its_signer(scratch):
    result, lines = silent_run(scratch, SAMPLE)
    assert result.exit_code == 0
    start = lines.index(verified_lines(SAMPLE)[0])
    assert lines[start - 1].startswith("Started ")
    assert lines[start:start + 7] == verified_lines(SAMPLE) + [
        "GetAuthenticodeInformation ",
        "GetProgAndPublisherInfo pPublisheInfo = null",
        "GetProgAndPublisherInfo switch MoreInfo 1",
        "GetAuthenticodeInformation Fininshed",
        signer_lines("Zava", "https://www.oakcrest.example/zava")[0]]
    assert lines[start + 6:start + 11] == signer_lines("Zava", "https://www.oakcrest.example/zava")
    assert lines[start + 11] == ".NET 2.0 0"  # then the prerequisites


@pytest.mark.parametrize("program, details, opus_lines", [
    # No program name and no links: the signature carries no opus information at all.
    (ANONYMOUS, None, []),
    # A link but no program name: the opus information says what it lacks.
    (None, ["--link", "https://www.oakcrest.example/"],
     ["GetProgAndPublisherInfo failed pwszProgramName", "GetProgAndPublisherInfo pPublisheInfo = null",
      "GetProgAndPublisherInfo switch MoreInfo 1"]),
], ids=["no-opus-information", "link-only"])
def test_without_a_program_name_the_wizard_gets_the_packages_own(scratch, program, details, opus_lines):
    program = program or signed_copy(scratch, *details)
    record = scratch / "probe.txt"
    log = scratch / "setup.log"
    result = run(program, f'/IAgreeToTheEULA log "{windows_path(log)}"', cwd=scratch,
                 env={"GEARRACK_PROBE_RECORD": windows_path(record)})
    assert result.exit_code == 0
    lines = read_log(log)
    assert between(lines, "GetAuthenticodeInformation ", "GetAuthenticodeInformation Fininshed")[1:-1] == opus_lines
    more_info = details[1] if details else "null"
    assert signer_lines("null", more_info)[1:3] == [
        line for line in lines if line.startswith(("Digital verification: ProgramName", "Digital verification: MoreInfo"))]
    assert "arg=CV_I=Zava" in record.read_text(encoding="utf-8").splitlines()


# --- Not verified --------------------------------------------------------------------------

def test_an_unsigned_package_stops_a_silent_run(scratch):
    result, lines = silent_run(scratch, UNSIGNED, extra="")
    assert result.exit_code == NOT_VERIFIED
    start = lines.index(f"Digital verification: 'The file \"{windows_path(UNSIGNED)}\" is not signed.")
    assert lines[start + 1:] == ["'", "Not signed correctly so failing now!",
                                 "Failed to run Oakcrest error 0x800b0100.", lines[-1]]
    assert lines[-1].startswith("Ended ")


def test_a_package_changed_after_signing_is_not_verified(scratch):
    changed = scratch / "Changed.exe"
    data = bytearray(PROBE.read_bytes())
    payload = data.find(b"ProjectItems")  # a byte of the payload, well inside the signed part
    assert payload > 0
    data[payload] ^= 0x20
    changed.write_bytes(data)
    result, lines = silent_run(scratch, changed)
    assert result.exit_code == NOT_VERIFIED
    assert f"Digital verification: 'Error is: 0x{BAD_DIGEST:x}." in lines
    assert "Not signed correctly so failing now!" in lines


def test_the_user_may_run_an_unverified_package(scratch):
    record = scratch / "probe.txt"
    log = scratch / "setup.log"
    running = dialogs.start(UNSIGNED, f'log "{windows_path(log)}"', cwd=scratch,
                            env={"GEARRACK_PROBE_RECORD": windows_path(record)})
    question = dialogs.wait(TITLE)
    assert question.control(HEADING).text == "Verification of Oakcrest failed. Do you wish continue?"
    assert question.control(MESSAGE).text == f"The file \"{windows_path(UNSIGNED)}\" is not signed.\n"
    assert (question.control(YES).text, question.control(NO).text) == ("Yes", "No")
    dialogs.press(TITLE, YES)
    assert running.finish().exit_code == 0
    lines = read_log(log)
    assert between(lines, "GetAuthenticodeInformation ", "Digital verification: Failed") == [
        "GetAuthenticodeInformation ", "GetAuthenticodeInformation Fininshed", "Digital verification: Failed"]
    assert "arg=CV_I=Zava" in record.read_text(encoding="utf-8").splitlines()


def test_no_ends_the_run_with_its_report(scratch):
    record = scratch / "probe.txt"
    running = dialogs.start(UNSIGNED, "", cwd=scratch, env={"GEARRACK_PROBE_RECORD": windows_path(record)})
    dialogs.wait(TITLE)
    dialogs.press(TITLE, NO)
    report = dialogs.wait(TITLE)
    assert report.control(MESSAGE).text == "Failed to run Oakcrest error 0x800b0100."
    dialogs.press(TITLE, NO)
    assert running.finish().exit_code == NOT_VERIFIED
    assert not record.exists()


# --- Packaging tools -----------------------------------------------------------------------

def osslsigncode_verifies(program):
    verdict = subprocess.run(["osslsigncode", "verify", "-CAfile", str(CERTIFICATE), "-in", str(program)],
                             capture_output=True, text=True)
    return verdict.returncode == 0 and "Signature verification: ok" in verdict.stdout


def test_every_built_package_is_signed_except_the_unsigned_one():
    names = {d.name for d in (REPO / "packages").iterdir() if (d / "package.txt").exists()} | {"unprotected"}
    programs = [SAMPLE] + [package(name) for name in sorted(names - {"sample"})]
    assert {p.parent.name for p in programs if not osslsigncode_verifies(p)} == {"unsigned"}


@pytest.mark.parametrize("size", [1, 4105])  # the smallest and the largest block that fit
def test_information_embedded_in_the_signature_keeps_it_valid(scratch, size):
    information = bytes((i * 7 + 1) % 251 + 1 for i in range(size))  # no zero byte, no marker
    program = with_information(SAMPLE, information, scratch)
    assert osslsigncode_verifies(program)
    assert program.read_bytes()[-6 - size:-6] == information
    assert len(program.read_bytes()) % 8 == 0  # the certificate table needs no padding
    result, lines = silent_run(scratch, program, extra=f'/dontrun /keep /zeroguid temp "{windows_path(scratch)}"')
    assert result.exit_code == 0
    assert verified_lines(program)[0] in lines
    written = next(scratch.glob("*/info.xml"))
    assert written.read_bytes() == information


def test_embedding_again_replaces_the_block(scratch):
    program = with_information(SAMPLE, b"<first/>", scratch)
    block = scratch / "second.xml"
    block.write_bytes(b"<second/>")
    subprocess.run([str(PACK), "embed", str(program), str(block)], check=True)
    data = program.read_bytes()
    assert data.count(b"MRDC") == 1 and data[-6 - len(b"<second/>"):-6] == b"<second/>"
    assert osslsigncode_verifies(program)


@pytest.mark.parametrize("program, information, complaint", [
    (SAMPLE, b"", "empty"),
    (SAMPLE, b"x" * 4106, "at most 4105"),
    (SAMPLE, b"<a>MRDC</a>", "marker"),
    (UNSIGNED, b"<info/>", "not signed"),
])
def test_embedding_refuses_what_the_program_could_not_read(scratch, program, information, complaint):
    copy = scratch / "Copy.exe"
    copy.write_bytes(program.read_bytes())
    block = scratch / "block.bin"
    block.write_bytes(information)
    refused = subprocess.run([str(PACK), "embed", str(copy), str(block)],
                             capture_output=True, text=True)
    assert refused.returncode != 0 and complaint in refused.stderr
    assert copy.read_bytes() == program.read_bytes()


@pytest.mark.parametrize("details", [["--program", "Zava MRDC"], ["--link", "https://example.test/MRDC"]])
def test_signing_refuses_a_name_or_link_that_the_program_would_read_as_information(scratch, details):
    copy = scratch / "Copy.exe"
    copy.write_bytes(UNSIGNED.read_bytes())
    refused = subprocess.run([str(REPO / "scripts" / "sign-package"), "--cert", str(CERTIFICATE), "--key", str(KEY),
                              *details, str(copy)], capture_output=True, text=True)
    assert refused.returncode != 0 and "marker MRDC" in refused.stderr
    assert copy.read_bytes() == UNSIGNED.read_bytes()
