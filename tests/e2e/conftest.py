import os
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).parent))
import dialogs  # noqa: E402
import harness  # noqa: E402


@pytest.fixture(scope="session", autouse=True)
def display():
    """A virtual display for the programs' windows, unless one is set already. Wine's
    server goes first when the session ends: it must not outlive its display."""
    if os.environ.get("DISPLAY"):
        yield os.environ["DISPLAY"]
        return
    with dialogs.virtual_display() as name:
        yield name
        harness.stop_wine()


@pytest.fixture(scope="session", autouse=True)
def wine(display):
    """One wineserver for the whole session, stopped at the end with whatever it still runs."""
    harness.start_wine()
    yield
    harness.stop_wine()


@pytest.fixture
def scratch(tmp_path):
    """A folder of the test's own, used as the current directory of its runs."""
    return tmp_path


@pytest.fixture
def framework(scratch):
    """Sets the prefix's .NET Framework keys for one test (see harness.set_framework) and
    puts the prefix's own back afterwards."""
    def set_keys(keys):
        harness.set_framework(keys, scratch)
    yield set_keys
    harness.set_framework(None, scratch)
