#!/usr/bin/env python3
"""The efficiency of an example design over its air gap G and core length L,
as a contour plot written to a PNG file.

    PYTHONPATH=build/velmora python3 examples/python/efficiency_contour.py eff.png
"""
import argparse
import os

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import velmora  # noqa: E402

EXAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "Y132S-4-5.5kW.txt")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("png", help="the picture to write")
    parser.add_argument("--design", default=EXAMPLE, help="the base design (input data file)")
    args = parser.parse_args()

    base = velmora.read_design(args.design)
    rows = velmora.sweep(base, G=(0.25, 0.60, 0.025), L=(90, 160, 5), results=["EFF"])
    # Blank where the run stopped or its results cannot be trusted.
    rows.loc[~rows["trustworthy"], "EFF"] = np.nan
    eff = rows.pivot(index="G", columns="L", values="EFF")
    fig, ax = plt.subplots(figsize=(7, 5), dpi=100)
    percent = np.ma.masked_invalid(eff.to_numpy() * 100)
    filled = ax.contourf(eff.columns, eff.index, percent, levels=16)
    ax.contour(eff.columns, eff.index, percent, levels=8, colors="k", linewidths=0.5)
    ax.plot(base["L"], base["G"], "w+", markersize=12)
    fig.colorbar(filled, label="efficiency (%)")
    ax.set_xlabel("core length L (mm)")
    ax.set_ylabel("air gap G (mm)")
    ax.set_title("%s: efficiency at rated load" % base["TYPE"])
    fig.savefig(args.png)


if __name__ == "__main__":
    main()
