#!/usr/bin/env python3
"""Writes the bundled example data sets under examples/.

block/block.msh: a 40 x 40 x 30 mesh at map coordinates, 25 m core cells
with padding widening outward on every side but the top, written with
repeat tokens the way inversion codes write them.
block/density.den: a density contrast model of the core only, with the
"models" header naming the padding: a dense dipping body and a weaker one.
block/topo.txt: the ground surface over block.msh, a 25 m grid beyond the
mesh's edges with CRLF line ends: a gentle hill over the core on ground that
falls away below the mesh top, so the top layers of the outer columns are air.
block/gravity.obs: an airborne gravity survey over the core of block.msh,
961 stations on a 25 m grid draped 60 m above the ground, the vertical
attraction of density.den in mGal, written as inversion codes write
observation files: the count, then easting, northing, elevation, value and
its uncertainty.
block/gravity.ls3d: a saved view holding the mesh and model values and the
survey shown as a translucent surface (opacity 0.6), the model cut open under it.
block/block.ls3d: the same view without the survey: the first picture of the
example, the body shown in the cut with labels and colour bar.
block/face_weights.txt: the cell faces (weighting) file of an inversion of the
block: a weight of 1 for every cell, then smaller face weights where the
reference density changes across a face (so the inversion may put an edge
there) and 0.4 across the contact at 100 m depth.
layered/: a mesh with a hilly surface and a log10-conductivity model whose
air cells hold 1e-08 (load it with /log; answer Yes to ignore the air).
pair/: a file with two density models (before and after gas injection) and
a second model (the reference model).
vector/: a magnetization vector model, three components a line.
octree/: an octree mesh over a 32 x 32 x 24 underlying mesh, cubes of 8 cells
refined around a conductive body and at the ground surface, and its
conductivity model with air cells of 1e-08 above the ground (load it with
/octree and /log).
"""
import math
import os
import random
import struct
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


def write_lines(path, lines):
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def value(v):
    """A value as inversion codes print it, short."""
    return "0" if v == 0 else f"{v:.3g}"


def model_order(nx, ny, nz, cell):
    """Values in model-file order: northing outermost, then easting, depth fastest."""
    for j in range(ny):
        for i in range(nx):
            for k in range(nz):
                yield cell(i, j, k)


def density_cell(i, j, k):
    """Density contrast (g/cc) of core cell (i, j, k) of block.msh."""
    # A body dipping to the east, 0.35 g/cc denser than its host.
    centre_i = 9 + 0.5 * k
    if abs(i - centre_i) <= 2.5 and 11 <= j <= 19 and 4 <= k <= 16:
        return 0.35
    # A smaller, weaker body near the surface in the south-east.
    if 20 <= i <= 24 and 3 <= j <= 7 and 1 <= k <= 4:
        return 0.12
    return 0


def write_density(folder):
    # Core of block.msh: 30 x 30 x 24 cells of 25 x 25 x 12.5 m.
    west = east = south = north = len(PAD)
    bottom, top = len(Z_PAD), 0
    nx, ny, nz = 30, 30, 24
    header = f"models 1 {west} {east} {south} {north} {bottom} {top}"
    write_lines(os.path.join(folder, "density.den"),
                [header] + [value(v) for v in model_order(nx, ny, nz, density_cell)])


def write_face_weights(folder):
    """Cell weights, then the X, Y and Z face weights of the whole block mesh."""
    pad, z_pad = len(PAD), len(Z_PAD)
    nx, ny, nz = 30 + 2 * pad, 30 + 2 * pad, 24 + z_pad

    def density(i, j, k):
        ci, cj = i - pad, j - pad
        return density_cell(ci, cj, k) if 0 <= ci < 30 and 0 <= cj < 30 and k < 24 else 0

    def weight(a, b, contact=False):
        w = 1 / (1 + ((density(*a) - density(*b)) / 0.05) ** 2)
        return value(w * (0.4 if contact else 1))

    def core(i, j):
        return pad <= i < nx - pad and pad <= j < ny - pad

    lines = ["1"] * (nx * ny * nz)
    lines += [weight((i, j, k), (i + 1, j, k)) for j in range(ny) for i in range(nx - 1) for k in range(nz)]
    lines += [weight((i, j, k), (i, j + 1, k)) for j in range(ny - 1) for i in range(nx) for k in range(nz)]
    lines += [weight((i, j, k), (i, j, k + 1), k == 7 and core(i, j))
              for j in range(ny) for i in range(nx) for k in range(nz - 1)]
    write_lines(os.path.join(folder, "face_weights.txt"), lines)


def write_block_topography(folder):
    # The block mesh spans 499605..501145 east and 6999605..7001145 north, top at 450.
    rng = random.Random(7)
    step = 25
    eastings = range(499600, 501150 + 1, step)
    northings = range(6999600, 7001150 + 1, step)

    def ground(e, n):
        r2 = (e - 500300) ** 2 + (n - 7000450) ** 2
        hill = 40 * math.exp(-r2 / (2 * 350.0 ** 2))
        return 412 + 0.01 * (e - 499600) + hill + rng.uniform(-0.3, 0.3)

    lines = ["! ground surface, 25 m grid, UTM easting and northing, elevation in m",
             str(len(eastings) * len(northings))]
    lines += [f"{e}\t{n}\t{ground(e, n):.2f}" for n in northings for e in eastings]
    with open(os.path.join(folder, "topo.txt"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


def smooth_ground(e, n):
    """The ground of topo.txt without its noise."""
    r2 = (e - 500300) ** 2 + (n - 7000450) ** 2
    return 412 + 0.01 * (e - 499600) + 40 * math.exp(-r2 / (2 * 350.0 ** 2))


def gravity_stations():
    """(easting, northing, elevation, gz in mGal) over the core of block.msh."""
    dense = [(500000 + 25 * (i + 0.5), 7000000 + 25 * (j + 0.5), 450 - 12.5 * (k + 0.5), density_cell(i, j, k))
             for i in range(30) for j in range(30) for k in range(24) if density_cell(i, j, k)]
    mass = 25 * 25 * 12.5 * 1000  # kg per g/cc of contrast
    stations = []
    for n in range(7000000, 7000750 + 1, 25):
        for e in range(500000, 500750 + 1, 25):
            z = smooth_ground(e, n) + 60
            gz = 0.0
            for x, y, c, rho in dense:
                r = math.sqrt((x - e) ** 2 + (y - n) ** 2 + (c - z) ** 2)
                gz += 6.674e-11 * rho * mass * (z - c) / r ** 3
            # As the file prints them, so that the saved view holds what a load of the file gives.
            stations.append((e, n, float(f"{z:.2f}"), float(f"{gz * 1e5:.4f}")))
    return stations


def write_gravity(folder, stations):
    lines = [str(len(stations))]
    lines += [f"{e:.1f} {n:.1f} {z:.2f} {gz:.4f} 0.0100" for e, n, z, gz in stations]
    write_lines(os.path.join(folder, "gravity.obs"), lines)


class Archive:
    """Little-endian fixed-width fields of a view parameter file."""

    def __init__(self):
        self.parts = []

    def pack(self, fmt, *values):
        self.parts.append(struct.pack("<" + fmt, *values))

    def string(self, text):
        data = text.encode("latin-1")
        assert len(data) < 255
        self.pack("B", len(data))
        self.parts.append(data)

    def bytes(self):
        return b"".join(self.parts)


def write_block_view(folder, stations=None):
    """The block with its values, cut open through the body, labels on; with stations,
    the survey as a surface of opacity 0.6 over it (gravity.ls3d), else block.ls3d."""
    west = east = south = north = len(PAD)
    bottom = len(Z_PAD)
    nx, ny, nz = 40, 40, 30
    x = [500000 - sum(PAD)]
    for w in list(reversed(PAD)) + [25] * 30 + PAD:
        x.append(x[-1] + w)
    y = [v - 500000 + 7000000 for v in x]
    z = [450]
    for t in [12.5] * 24 + Z_PAD:
        z.append(z[-1] - t)

    def cell(i, j, k):
        ci, cj = i - west, j - south
        if 0 <= ci < 30 and 0 <= cj < 30 and k < 24:
            return density_cell(ci, cj, k)
        return 0.0  # padding cells read as 0

    a = Archive()
    a.string("block.msh")
    a.string("density.den")
    a.pack("?", False)  # log
    a.string("")  # no second model
    a.pack("?", False)
    a.pack("?", False)  # no active-cell mask
    a.pack("?", True)  # the mesh and model values follow
    a.pack("iiii??", 1, nx, ny, nz, False, False)
    a.pack(f"{nx + 1}d", *x)
    a.pack(f"{ny + 1}d", *y)
    a.pack(f"{nz + 1}d", *z)
    for j in range(ny):
        for i in range(nx):
            a.pack(f"{nz}f", *[cell(i, j, k) for k in range(nz)])
    a.pack(f"{nx * ny}i", *([0] * (nx * ny)))
    a.pack("fff", 0.0, 0.35, 0.0)  # range, mean of the bottom layer
    if stations is None:
        a.pack("?", False)  # no data sets
    else:
        write_view_survey(a, stations)
    write_view_state(a, west, east, south, north, bottom)
    with open(os.path.join(folder, "block.ls3d" if stations is None else "gravity.ls3d"), "wb") as f:
        f.write(a.bytes())


def write_view_survey(a, stations):
    a.pack("?i", True, 1)  # one data set
    a.string("gravity.obs")
    a.string("gravity.obs_surface")
    a.pack("hf??fff", 0, 0.6, True, False, 1, 1, 1)
    a.pack("i", len(stations))
    for e, n, el, gz in stations:
        a.pack("dddd", e, n, el, gz)
        a.string("")
    values = [gz for _, _, _, gz in stations]
    a.pack("ff", min(values), max(values))


def write_view_state(a, west, east, south, north, bottom):
    # The view: turned to look from the south-west, the south half cut away.
    a.pack("ffdi", -68, 30, 30, 1)
    a.pack("6i", west, east, south, north, 0, bottom)
    a.pack("dd", 0, 0)
    a.pack("4i", 60, 40, 1060, 800)
    a.pack("6i", 0, 0, 15, 0, 0, 0)
    a.pack("i", 0)
    largest = 3.4028234663852886e38  # the model's own range
    a.pack("ff???", largest, largest, True, False, False)
    a.pack("ff???", largest, largest, True, False, False)
    a.pack("ffi", largest, largest, 0)
    a.pack("?????", True, True, False, True, True)  # labels, colourbar, mesh, floor, boundary
    a.pack("fi??", 0.3, 0, False, False)
    a.pack("4di", 0, 0, 0, 0, 0)
    a.pack("3dd3i?", 1, 1, 1, 0, 1, 1, 1, False)
    a.pack("3B?", 0, 0, 0, False)
    a.pack("5?", True, False, False, False, False)


def write_layered(folder):
    os.makedirs(folder, exist_ok=True)
    nx, ny, nz = 24, 20, 18
    write_lines(os.path.join(folder, "layered.msh"), [
        f"{nx} {ny} {nz}",
        "350000 6200000 400",
        f"{nx}*50",
        f"{ny}*50",
        f"4*25 10*20 4*40",
    ])
    depths = [0]
    for t in [25] * 4 + [20] * 10 + [40] * 4:
        depths.append(depths[-1] + t)

    def surface(i, j):  # depth of the ground below the mesh top, m
        return 60 + 40 * math.sin(i / 4.0) * math.cos(j / 5.0)

    def cell(i, j, k):
        centre = (depths[k] + depths[k + 1]) / 2
        ground = surface(i, j)
        if centre < ground:
            return 1e-8  # air
        if centre < ground + 60:
            return 0.05  # weathered cover
        if 8 <= i <= 14 and 7 <= j <= 12 and 10 <= k <= 14:
            return 0.5  # a conductor in the basement
        return 0.002

    write_lines(os.path.join(folder, "conductivity.con"), [f"{v:g}" for v in model_order(nx, ny, nz, cell)])


def write_pair(folder):
    os.makedirs(folder, exist_ok=True)
    nx, ny, nz = 16, 12, 10
    write_lines(os.path.join(folder, "pair.msh"), [
        f"{nx} {ny} {nz}",
        "0 0 0",
        f"{nx}*20",
        f"{ny}*20",
        f"{nz}*10",
    ])

    def plume(radius):
        def cell(i, j, k):
            r = math.sqrt((i - 7.5) ** 2 + (j - 5.5) ** 2 + 2 * (k - 6) ** 2)
            return round(2.4 - 0.08 * max(0.0, 1 - r / radius), 3)  # g/cc; gas lowers the density
        return cell

    before = [value(v) for v in model_order(nx, ny, nz, plume(3))]
    after = [value(v) for v in model_order(nx, ny, nz, plume(6))]
    write_lines(os.path.join(folder, "timelapse.den"), ["models 2"] + before + after)

    # A second model on the same mesh: the reference model of the inversion.
    write_lines(os.path.join(folder, "reference.den"),
                [value(round(2.3 + 0.02 * k, 3)) for k in model_order(nx, ny, nz, lambda i, j, k: k)])


def write_vector(folder):
    os.makedirs(folder, exist_ok=True)
    nx, ny, nz = 14, 12, 10
    write_lines(os.path.join(folder, "vector.msh"), [
        f"{nx} {ny} {nz}",
        "0 0 100",
        f"{nx}*10",
        f"{ny}*10",
        f"{nz}*10",
    ])
    inclination, declination = math.radians(60), math.radians(20)
    direction = (math.cos(inclination) * math.sin(declination), math.cos(inclination) * math.cos(declination),
                 -math.sin(inclination))
    rng = random.Random(7)

    def cell(i, j, k):
        if 4 <= i <= 9 and 3 <= j <= 8 and 2 <= k <= 6:
            amplitude = 0.05 * (1 + 0.2 * rng.random())
            return " ".join(f"{amplitude * c:.4g}" for c in direction)
        return "0 0 0"

    write_lines(os.path.join(folder, "magnetization.vec"), list(model_order(nx, ny, nz, cell)))


def write_octree(folder):
    os.makedirs(folder, exist_ok=True)
    nx, ny, nz = 32, 32, 24
    ground = 4  # underlying layers of air above the ground

    def inside(i, j, k):  # underlying cell centre within the conductor
        return ((i + 0.5 - 16) / 5) ** 2 + ((j + 0.5 - 15) / 4) ** 2 + ((k + 0.5 - 14) / 4) ** 2 <= 1

    def split(i, j, k, s):
        if s == 1:
            return False
        if k < ground < k + s:
            return True  # a cube may not reach from the air into the ground
        if k < 8 and s > 2:
            return True  # finer cells near the surface
        states = {inside(a, b, c) for a in range(i, i + s) for b in range(j, j + s) for c in range(k, k + s)}
        return len(states) > 1

    cells = []

    def cube(i, j, k, s):
        if split(i, j, k, s):
            h = s // 2
            for dk in (0, h):
                for dj in (0, h):
                    for di in (0, h):
                        cube(i + di, j + dj, k + dk, h)
        else:
            cells.append((i, j, k, s))

    for k in range(0, nz, 8):
        for j in range(0, ny, 8):
            for i in range(0, nx, 8):
                cube(i, j, k, 8)
    write_lines(os.path.join(folder, "octree.msh"),
                [f"{nx} {ny} {nz}", "500000 7000000 450", "25 25 25", str(len(cells))] +
                [f"{i + 1} {j + 1} {k + 1} {s}" for i, j, k, s in cells])

    rng = random.Random(11)

    def value(i, j, k, s):
        if k < ground:
            return 1e-8  # air
        if inside(i, j, k):
            return 0.5 * (1 + 0.1 * rng.random())
        return 0.01 * (1 + 0.3 * rng.random()) if k < 8 else 0.002 * (1 + 0.3 * rng.random())

    write_lines(os.path.join(folder, "conductivity.con"), [f"{value(*c):.4g}" for c in cells])


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "examples")
    write_block(os.path.join(out, "block"))
    write_density(os.path.join(out, "block"))
    write_block_topography(os.path.join(out, "block"))
    write_face_weights(os.path.join(out, "block"))
    stations = gravity_stations()
    write_gravity(os.path.join(out, "block"), stations)
    write_block_view(os.path.join(out, "block"), stations)
    write_block_view(os.path.join(out, "block"))
    write_layered(os.path.join(out, "layered"))
    write_pair(os.path.join(out, "pair"))
    write_vector(os.path.join(out, "vector"))
    write_octree(os.path.join(out, "octree"))


if __name__ == "__main__":
    main()
