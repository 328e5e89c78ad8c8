#!/usr/bin/env python3
"""velmora.evaluate against the engine's own sweep (velmora-calc sweep) over
the same 100,000 rows of an example design, on 1 and 2 threads: rows per
second of both and their ratio. Not a test; run from the repository with
the build in build/:

    PYTHONPATH=build/velmora python3 bench/python_evaluate.py [--calc build/cli/velmora-calc]
"""
import argparse
import os
import subprocess
import tempfile
import time

import pandas as pd

import velmora

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
EXAMPLE = os.path.join(ROOT, "examples", "Y132S-4-5.5kW.txt")
# 500 air gaps times 200 core lengths, the last varying fastest.
VARY = {"G": (0.200, 0.699, 0.001), "L": (100, 299, 1)}


def cli_seconds(calc, threads, csv):
    args = [calc, "sweep", EXAMPLE, "--threads", str(threads), "-o", csv]
    for name, (start, stop, step) in VARY.items():
        args += ["--vary", "%s=%r:%r:%r" % (name, start, stop, step)]
    start = time.perf_counter()
    subprocess.run(args, check=True)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--calc", default=os.path.join(ROOT, "build", "cli", "velmora-calc"))
    args = parser.parse_args()
    base = velmora.read_design(EXAMPLE)
    with tempfile.TemporaryDirectory() as folder:
        csv = os.path.join(folder, "sweep.csv")
        for threads in (1, 2):
            seconds = cli_seconds(args.calc, threads, csv)
            # The very rows the command ran, read back from its CSV.
            table = pd.read_csv(csv, usecols=list(VARY), float_precision="round_trip")
            rows = len(table)
            engine = rows / seconds
            start = time.perf_counter()
            velmora.evaluate(base, table, results="key", threads=threads)
            module = rows / (time.perf_counter() - start)
            print("%d rows, threads %d: velmora-calc sweep %8.0f rows/s, velmora.evaluate %8.0f rows/s, "
                  "ratio %5.1f %%" % (rows, threads, engine, module, 100 * module / engine))


if __name__ == "__main__":
    main()
