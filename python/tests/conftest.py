# What the tests of the Python module share: the example designs and
# velmora-calc, whose outputs the module must give again (paths from CTest).
import os
import subprocess

import pytest

import velmora

EXAMPLES = os.environ.get("VELMORA_EXAMPLES", os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
CALC = os.environ.get("VELMORA_CALC", "velmora-calc")
EXAMPLE_FILES = sorted(os.path.join(EXAMPLES, f) for f in os.listdir(EXAMPLES) if f.endswith(".txt"))
BASE_FILE = os.path.join(EXAMPLES, "Y132S-4-5.5kW.txt")


def run_calc(*args):
    """velmora-calc's standard output as bytes; it must succeed."""
    done = subprocess.run([CALC, *args], capture_output=True, check=True)
    return done.stdout


@pytest.fixture
def base():
    return velmora.read_design(BASE_FILE)
