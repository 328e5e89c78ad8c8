# The optimiser: the answer of velmora-calc optimize.
import subprocess

import pytest

import velmora
from conftest import BASE_FILE, CALC


def test_optimize_finds_the_design_velmora_calc_optimize_writes(base, tmp_path):
    best = tmp_path / "best.txt"
    subprocess.run([CALC, "optimize", BASE_FILE, "--vary", "L=100:160", "--vary", "Z=40:56", "--class", "none",
                    "--no-tolerance", "--max-evaluations", "20000", "--max-seconds", "600", "-o", str(best)],
                   capture_output=True)
    answer = velmora.optimize(base, vary={"L": (100, 160), "Z": (40, 56)}, cls="none", max_evaluations=20000,
                              max_seconds=600)
    assert answer["design"] == velmora.read_design(best)
    assert answer["feasible"]
    assert answer["values"] == {"L": answer["design"]["L"], "Z": answer["design"]["Z"]}
    assert answer["best"]["cost"] == velmora.calculate(answer["design"]).cost["total"]


def test_an_input_that_is_no_design_freedom_is_refused(base):
    with pytest.raises(ValueError, match="Pn"):
        velmora.optimize(base, vary={"Pn": (1, 2)})
