# One design: the same numbers and texts as velmora-calc, bit for bit.
import json
import math

import pytest

import velmora
from conftest import EXAMPLE_FILES, run_calc


def same(a, b):
    """Bit for bit; JSON's null is a quantity that is not a number."""
    if b is None:
        return math.isnan(a)
    return float(a).hex() == float(b).hex()


@pytest.mark.parametrize("path", EXAMPLE_FILES)
def test_every_quantity_is_that_of_the_json(path):
    expected = json.loads(run_calc(path, "--json", "-"))
    result = velmora.calculate(velmora.read_design(path))
    assert list(result) == list(expected["state"])
    assert all(same(result[name], value) for name, value in expected["state"].items())
    assert result.passes == expected["passes"]
    assert result.trustworthy == expected["trustworthy"]
    assert result.warnings == expected["warnings"]
    assert result.efficiency_class == expected["efficiency_class"]
    assert result.cost["total"] == expected["cost"]["total"]
    assert result.cost["materials"] == expected["cost"]["materials"]


@pytest.mark.parametrize("path", EXAMPLE_FILES)
def test_the_report_is_the_text_velmora_calc_prints(path):
    assert velmora.report(velmora.read_design(path)).encode("utf-8") == run_calc(path)


def test_the_check_is_that_of_check_json(base, tmp_path):
    out = tmp_path / "check.json"
    from conftest import CALC, BASE_FILE
    import subprocess

    subprocess.run([CALC, "check", BASE_FILE, "--class", "IE3", "--json", str(out)], capture_output=True)
    expected = json.loads(out.read_text(encoding="utf-8"))
    got = velmora.check(base, cls="IE3")
    for key in ("rules", "passed", "warnings", "efficiency_class", "temperature_rise"):
        assert got[key] == expected[key]


def test_curves_give_the_load_and_speed_points(base):
    curves = velmora.curves(base)
    rated = curves["load"][curves["load"]["k"] == 1].iloc[0]
    assert rated["EFF"] == velmora.calculate(base)["EFF"]
    assert len(curves["speed"]) == 200
