"""scripts/check-layers on a scratch copy of the tree: clean it passes; one planted include
that breaks a layer makes it fail and name the file, the line and the include."""
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

TREE = Path(__file__).resolve().parents[2]
CHECK = TREE / "scripts" / "check-layers"
FOLDERS = ["base", "framework", "app", "payload", "checks", "trust", "launch", "ui", "res", "wizard"]


def run_check(tree):
    return subprocess.run([sys.executable, str(CHECK), str(tree)], capture_output=True, text=True, timeout=60)


@pytest.fixture(scope="module")
def pristine(tmp_path_factory):
    copy = tmp_path_factory.mktemp("tree")
    for folder in FOLDERS:
        shutil.copytree(TREE / folder, copy / folder)
    return copy


@pytest.mark.parametrize("source, planted, named", [
    ("payload/catalogue.cpp", '#include "app/installer_state.h"', '"app/installer_state.h"'),
    ("framework/dialog_win.cpp", '#include "ui/splash_win.h"', '"ui/splash_win.h"'),
    ("base/format.cpp", '#include "../framework/handles_win.h"', '"../framework/handles_win.h"'),
    ("checks/framework.cpp", "#include <windows.h>", "<windows.h>"),
])
def test_a_planted_include_that_breaks_a_layer_is_named(pristine, tmp_path, source, planted, named):
    clean = run_check(pristine)
    assert clean.returncode == 0, clean.stdout
    tree = tmp_path / "tree"
    shutil.copytree(pristine, tree)
    path = tree / source
    lines = path.read_text().splitlines()
    lines.insert(2, planted)
    path.write_text("\n".join(lines) + "\n")
    result = run_check(tree)
    lines = result.stdout.splitlines()
    assert result.returncode == 1
    assert len(lines) == 1 and lines[0].startswith(f"{source}:3: ") and named in lines[0], result.stdout
