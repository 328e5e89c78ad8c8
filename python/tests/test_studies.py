# The studies of velmora-calc thermal, tolerance, optimize --objective pareto
# and new: the module gives their answers again.
import json
import subprocess

import pandas
import pytest

import velmora
from conftest import BASE_FILE, CALC, run_calc


def test_thermal_is_velmora_calc_thermal_json(base):
    want = json.loads(run_calc("thermal", BASE_FILE, "--class", "F", "--ambient", "30", "--json", "-"))
    got = velmora.thermal(base, insulation="F", ambient=30)
    assert list(got["nodes"].columns) == list(want["nodes"][0])
    got["nodes"] = got["nodes"].to_dict("records")
    got["paths"] = got["paths"].to_dict("records")
    assert got == want


def test_tolerance_is_velmora_calc_tolerance_on_any_threads(base, tmp_path):
    csv = tmp_path / "samples.csv"
    want = json.loads(run_calc("tolerance", BASE_FILE, "--samples", "60", "--seed", "7", "--tol", "G=±0.03",
                               "--tol", "L=+-1%", "--threads", "1", "-o", str(csv), "--json", "-"))
    one = velmora.tolerance(base, samples=60, seed=7, tol={"G": 0.03, "L": "±1%"}, threads=1)
    two = velmora.tolerance(base, samples=60, seed=7, tol={"G": "±0.03", "L": "+-1%"}, threads=2)
    assert one[0] == want and two[0] == want
    table = pandas.read_csv(csv, keep_default_na=False, na_values="")
    pandas.testing.assert_frame_equal(one[1], table)
    pandas.testing.assert_frame_equal(two[1], table)


def test_front_is_velmora_calc_front_csv(base, tmp_path):
    csv = tmp_path / "front.csv"
    subprocess.run([CALC, "optimize", BASE_FILE, "--objective", "pareto", "--vary", "L=100:160", "--vary",
                    "Z=40:56", "--points", "3", "--max-evaluations", "1500", "--max-seconds", "600",
                    "--threads", "1", "--class", "none", "--front-csv", str(csv)], capture_output=True, check=True)
    points, designs = velmora.front(base, vary={"L": (100, 160), "Z": (40, 56)}, points=3, cls="none",
                                    max_evaluations=1500, max_seconds=600, threads=1)
    pandas.testing.assert_frame_equal(points, pandas.read_csv(csv))
    assert len(designs) == len(points) > 0
    assert [d["L"] for d in designs] == list(points["L"])


def test_robust_optimize_keeps_the_yield(base):
    answer = velmora.optimize(base, vary={"L": (100, 160)}, cls="none", min_yield=0.9, tol={"G": "±0.02"},
                              yield_samples=16, max_evaluations=300, threads=1)
    assert any(line["name"] == "YIELD" for line in answer["best"]["constraints"])


def test_new_design_passes_its_check():
    made = velmora.new(5.5, 4, cls="IE2", max_evaluations=3000, threads=1)
    assert list(made["steps"].columns) == ["name", "value", "reason"]
    assert made["passed"] and made["check"]["passed"]
    assert velmora.check(made["design"], cls="IE2")["passed"]


@pytest.mark.parametrize("call, keyword", [
    (lambda d: velmora.tolerance(d, samples=0), "samples"),
    (lambda d: velmora.tolerance(d, tol={"G": "0.02"}), "tol G"),
    (lambda d: velmora.thermal(d, ambient=99), "ambient"),
    (lambda d: velmora.optimize(d, vary={"L": (100, 160)}, min_yield=1.5), "min_yield"),
    (lambda d: velmora.front(d, vary={"L": (100, 160)}, points=1), "points"),
    (lambda d: velmora.new(5.5, 4, max_evaluations=5), "max_evaluations"),
])
def test_a_bad_keyword_value_is_refused_by_name(base, call, keyword):
    with pytest.raises(ValueError, match=keyword):
        call(base)
