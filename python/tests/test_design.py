# The design as a mapping of the 60 inputs, its file, and bad inputs.
import math

import numpy as np
import pytest

import velmora
from conftest import BASE_FILE


def test_inputs_by_name_in_file_order(base):
    assert len(base) == 60
    assert list(base)[:3] == ["TYPE", "H", "Un"] and list(base)[-1] == "SHFA"
    assert base["TYPE"] == "Y132S-4" and base["G"] == 0.4
    table = velmora.inputs()
    assert list(table["name"]) == base.keys()
    assert table.set_index("name").loc["G", "unit"] == "mm"


def test_replace_gives_a_new_design_and_the_file_round_trips(base, tmp_path):
    changed = base.replace(G=0.35, L=130)
    assert (changed["G"], changed["L"], base["G"]) == (0.35, 130.0, 0.4)
    changed["TYPE"] = "试制-1"
    path = tmp_path / "d.txt"
    velmora.write_design(changed, path)
    assert velmora.read_design(path) == changed
    velmora.write_design(base, path)
    assert path.read_bytes() == open(BASE_FILE, "rb").read()


def test_an_unknown_name_is_a_key_error_naming_it(base):
    with pytest.raises(KeyError, match="GAP"):
        base["GAP"]
    with pytest.raises(KeyError, match="GAP"):
        base.replace(GAP=1)
    with pytest.raises(KeyError, match="GAP"):
        velmora.evaluate(base, {"GAP": np.array([0.3])})


@pytest.mark.parametrize("value", ["a,b", "two\nlines", float("nan"), math.inf])
def test_a_value_the_file_cannot_hold_is_a_value_error_naming_the_input(base, value):
    with pytest.raises(ValueError, match="TYPE" if isinstance(value, str) else "G"):
        base["TYPE" if isinstance(value, str) else "G"] = value


def test_bad_tables_are_value_errors_naming_the_input(base):
    with pytest.raises(ValueError, match="G, row 1"):
        velmora.evaluate(base, {"G": np.array([0.3, np.nan])})
    with pytest.raises(ValueError, match="L"):
        velmora.evaluate(base, {"G": np.array([0.3, 0.4]), "L": np.array([100.0])})
    with pytest.raises(ValueError, match="L"):
        velmora.evaluate(base, {"L": ["long"]})


def test_a_fault_raises_calculation_fault_with_the_state_so_far(base):
    with pytest.raises(velmora.CalculationFault) as raised:
        velmora.calculate(base.replace(CZN=3))
    fault = raised.value
    assert fault.item and fault.message == str(fault) and fault.kind == "selector"
    assert isinstance(fault.state, dict)
    rows = velmora.evaluate(base, {"CZN": np.array([1.0, 3.0])}, results=["EFF"])
    assert rows["fault"][1] == fault.message and math.isnan(rows["EFF"][1])
    assert rows["fault"][0] is None and rows["check"][0] is not None
