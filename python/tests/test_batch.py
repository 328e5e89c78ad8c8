# Many designs: the rows of velmora-calc sweep, whatever the threads.
import csv
import io
import math

import numpy as np
import pandas as pd

import velmora
from conftest import BASE_FILE, run_calc

VARY = ["--vary", "G=0.30:0.60:0.01", "--vary", "L=100:199:1"]  # 3,100 rows


def sweep_csv():
    text = run_calc("sweep", BASE_FILE, *VARY, "--threads", "2").decode("utf-8")
    return list(csv.DictReader(io.StringIO(text, newline="")))


def assert_rows_equal(frame, rows, single):
    assert len(frame) == len(rows)
    for name in rows[0]:
        column = frame[name].tolist()
        texts = [row[name] for row in rows]
        if name in ("IE", "check", "fault"):
            assert [t or None for t in texts] == column, name
        elif name in single:
            assert [np.float32(t) if t else None for t in texts] == [
                None if math.isnan(v) else np.float32(v) for v in column
            ], name
        else:
            assert [float(t) if t else None for t in texts] == [None if math.isnan(v) else v for v in column], name


def test_evaluate_and_sweep_give_the_rows_of_velmora_calc_sweep(base):
    rows = sweep_csv()
    single = set(velmora.quantities().query("single")["name"])
    table = {"G": np.array([float(r["G"]) for r in rows]), "L": np.array([float(r["L"]) for r in rows])}
    frame = velmora.evaluate(base, table, results="key", threads=2)
    assert_rows_equal(pd.concat([pd.DataFrame(table), frame], axis=1), rows, single)
    grid = velmora.sweep(base, G=(0.30, 0.60, 0.01), L=(100, 199, 1))
    assert_rows_equal(grid, rows, single)


def test_threads_do_not_change_the_rows(base):
    table = pd.DataFrame({"G": np.linspace(0.2, 0.8, 150), "Z": np.tile([40.0, 46.0, 52.0], 50)})
    one = velmora.evaluate(base, table, threads=1)
    two = velmora.evaluate(base, table, threads=2)
    pd.testing.assert_frame_equal(one, two, check_exact=True)
    assert len(one.columns) == len(velmora.quantities()) + 6 and one["trustworthy"].dtype == bool
    assert one["fault"].notna().any() and one["fault"].isna().any()
