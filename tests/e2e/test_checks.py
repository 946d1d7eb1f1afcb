"""The machine's prerequisites at start-up: administrator rights, the .NET Framework in the
32-bit view of the registry, the Windows Installer engine. Each test sets the registry
state it needs, runs one package and reads the exit code, the log and what the program
asked of Windows (through Wine's debug channels)."""

import shutil

from harness import SAMPLE, package, read_log, run, windows_path, wine_quietly
from results import FRAMEWORK_MISSING

FULL_40 = r"v4\Full"


def silent_run(scratch, program=SAMPLE, trace=None):
    log = scratch / "setup.log"
    result = run(program, f'/dontrun /IAgreeToTheEULA log "{windows_path(log)}"', cwd=scratch, trace=trace)
    return result, read_log(log)


def framework_lines(lines):
    return [line for line in lines if line.startswith(".NET")]


def framework_keys_opened(result):
    return [line for line in result.trace.splitlines() if "NtOpenKeyEx" in line and "NET Framework Setup" in line]


def test_no_framework_at_all_stops_start_up(scratch, framework):
    framework({})
    result, lines = silent_run(scratch)
    assert result.exit_code == FRAMEWORK_MISSING
    assert framework_lines(lines)[-1] == ".NET Version Not OK .NET 2 0"
    assert "Run Embedded Resources " not in lines
    assert "Oakcrest requires .NET 2. Please download from the Microsoft Download Center and retry." in lines


def test_four_full_with_servicing_one_is_enough(scratch, framework):
    framework({FULL_40: {"Install": 1, "Servicing": 1}})
    result, lines = silent_run(scratch)
    assert result.exit_code == 0
    assert framework_lines(lines) == [
        ".NET 2.0 0", ".NET 3.0 0", ".NET 3.5 0", ".NET 4.0 Client 0", ".NET 4.0 Full 0",
        ".NET 4.5 Client 0", ".NET 4.5 Full 0", ".NET 4.0 Full Detected SP 1", ".NET Version OK"]
    assert "Run Embedded Resources " in lines


def test_two_without_a_service_pack_is_logged_and_the_check_goes_on(scratch, framework):
    framework({"v2.0.50727": {"Install": 1}, FULL_40: {"Install": 1, "Servicing": 0}})
    result, lines = silent_run(scratch, trace="trace+reg")
    assert result.exit_code == 0
    assert framework_lines(lines)[7:] == [".NET 2.0 Detected SP -1", ".NET 4.0 Full Detected SP 0", ".NET Version OK"]
    opened = framework_keys_opened(result)
    assert any(r"NDP\\v3.5" in line for line in opened)
    # The 32-bit view is read as the program sees it, with plain read access.
    assert all(",20019," in line for line in opened), opened


def test_a_service_pack_too_low_names_the_framework_to_install(scratch, framework):
    framework({"v2.0.50727": {"Install": 1, "SP": 0}, FULL_40: {"Install": 1, "Servicing": 9}})
    result, lines = silent_run(scratch, package("net20sp1"), trace="trace+reg")
    assert result.exit_code == FRAMEWORK_MISSING
    assert framework_lines(lines)[7:] == [".NET 2.0 Detected SP 0", ".NET Version Not OK .NET 2 1"]
    assert not any(r"NDP\\v4" in line for line in framework_keys_opened(result))  # excluded: never read


def test_every_version_excluded_reads_no_registry_and_fails(scratch):
    result, lines = silent_run(scratch, package("nonet"), trace="trace+reg")
    assert result.exit_code == FRAMEWORK_MISSING
    assert framework_lines(lines)[-1] == ".NET Version Not OK Unknown .NET Version 0"
    assert framework_keys_opened(result) == []


def test_four_eight_satisfies_a_package_that_asks_for_four_five(scratch, framework):
    framework({FULL_40: {"Install": 1, "Servicing": 0, "Release": 528040}})
    result, lines = silent_run(scratch, package("net45full"))
    assert result.exit_code == 0
    assert framework_lines(lines)[7:] == [".NET 4.5 Full Detected SP 0", ".NET Version OK"]

    framework({FULL_40: {"Install": 1, "Servicing": 4}})
    result, lines = silent_run(scratch, package("net45full"))
    assert result.exit_code == FRAMEWORK_MISSING
    assert framework_lines(lines)[-1] == ".NET Version Not OK .NET (full) 4.5 0"


def test_membership_is_examined_only_when_rights_are_required(scratch):
    required, _ = silent_run(scratch, trace="trace+security")
    assert required.exit_code == 0
    assert "CheckTokenMembership" in required.trace
    assert "S-1-5-32-544" in required.trace

    not_required, lines = silent_run(scratch, package("user"), trace="trace+security")
    assert not_required.exit_code == 0
    assert "CheckTokenMembership" not in not_required.trace
    assert lines[1].lower().startswith("temp folder 'c:\\users\\")


def test_before_windows_xp_the_engine_is_read_from_msi_dll(scratch):
    # Wine reports Windows 2000 to a program of this name.
    program = scratch / "OldWindowsSetup.exe"
    shutil.copy2(SAMPLE, program)
    wine_quietly("reg", "add", r"HKCU\Software\Wine\AppDefaults\OldWindowsSetup.exe", "/v", "Version",
                 "/d", "win2k", "/f")
    result, lines = silent_run(scratch, program, trace="trace+ver")
    assert result.exit_code == 0  # Wine's engine is newer than 2.0
    assert r"system32\\MSI.DLL" in result.trace

    modern, _ = silent_run(scratch, trace="trace+ver")
    assert "MSI.DLL" not in modern.trace
