#!/usr/bin/env python3
"""Writes the bundled example data sets under examples/.

block/block.msh: a 40 x 40 x 30 mesh at map coordinates, 25 m core cells
with padding widening outward on every side but the top, written with
repeat tokens the way inversion codes write them.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

PAD = [35, 50, 70, 100, 140]        # widths moving outward from the core
Z_PAD = [20, 30, 45, 70, 100, 150]  # thicknesses below the core


def width_line(core_count, core_width, pad):
    west = " ".join(str(w) for w in reversed(pad))
    east = " ".join(str(w) for w in pad)
    return f"{west} {core_count}*{core_width:g} {east}"


def write_block(folder):
    os.makedirs(folder, exist_ok=True)
    core_x, core_y, core_z = 30, 30, 24
    nx, ny, nz = core_x + 2 * len(PAD), core_y + 2 * len(PAD), core_z + len(Z_PAD)
    x0 = 500000 - sum(PAD)
    y0 = 7000000 - sum(PAD)
    lines = [
        f"{nx} {ny} {nz}",
        f"{x0} {y0} 450",
        width_line(core_x, 25, PAD),
        width_line(core_y, 25, PAD),
        f"{core_z}*12.5 " + " ".join(str(w) for w in Z_PAD),
    ]
    with open(os.path.join(folder, "block.msh"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "examples")
    write_block(os.path.join(out, "block"))


if __name__ == "__main__":
    main()
