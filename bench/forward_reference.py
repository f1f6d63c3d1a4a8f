#!/usr/bin/env python3
"""Reference forward computation in numpy for forward_bench: the same model,
node weights and prism formulas, vectorised over the nodes, one station at a
time. Prints 'seconds_per_station <s>' and one 'value <i> <v>' line per
station computed."""
import sys
import time

import numpy as np

G_SCALE = 6.6743e-11 * 1e8
TINY = 1e-9


def model(n):
    i, j, k = np.meshgrid(np.arange(n), np.arange(n), np.arange(n), indexing="ij")
    return (0.1 * np.sin(0.37 * i) + 0.05 * np.cos(0.21 * j + 0.13 * k) + 0.01 * ((i * 7 + j * 3 + k) % 5)).astype(np.float32)


def node_weights(values):
    d = np.pad(values.astype(np.float64), 1)
    for axis in range(3):
        d = -np.diff(d, axis=axis)
    return d


def log_plus_r(a, r, b2):
    m = np.abs(a)
    return np.log(np.where(a >= 0, m + r, b2 / (m + r)))


def off_plane(a):
    return np.where(np.abs(a) < TINY, TINY, a)


def kernel(survey, x, y, z, w, s, f):
    u = off_plane(x - s[0])
    v = off_plane(y - s[1])
    q = off_plane(s[2] - z)
    u2, v2, q2 = u * u, v * v, q * q
    r = np.sqrt(u2 + v2 + q2)
    if survey == "gravity":
        t = q * np.arctan(u * v / (q * r)) - u * log_plus_r(v, r, u2 + q2) - v * log_plus_r(u, r, v2 + q2)
        return G_SCALE * np.dot(w, t)
    t = (2 * f[0] * f[1] * log_plus_r(q, r, u2 + v2) + 2 * f[0] * f[2] * log_plus_r(v, r, u2 + q2)
         + 2 * f[1] * f[2] * log_plus_r(u, r, v2 + q2) - f[0] ** 2 * np.arctan(v * q / (u * r))
         - f[1] ** 2 * np.arctan(u * q / (v * r)) - f[2] ** 2 * np.arctan(u * v / (q * r)))
    return 50000 / (4 * np.pi) * np.dot(w, t)


def main():
    survey, n, stations_side, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    nodes = np.arange(n + 1, dtype=np.float64) * 10.0
    weights = node_weights(model(n))
    mask = weights != 0
    ix, iy, iz = np.nonzero(mask)
    x, y, z, w = nodes[ix], nodes[iy], -nodes[iz], weights[mask]
    inc, dec = np.radians(60.0), np.radians(10.0)
    f = (np.cos(inc) * np.sin(dec), np.cos(inc) * np.cos(dec), np.sin(inc))
    step = n * 10.0 / stations_side
    total = stations_side * stations_side
    picks = np.linspace(0, total - 1, count).astype(int)
    start = time.perf_counter()
    values = []
    for p in picks:
        a, b = divmod(int(p), stations_side)
        s = ((a + 0.5) * step, (b + 0.5) * step, 5.0)
        values.append((p, kernel(survey, x, y, z, w, s, f)))
    elapsed = time.perf_counter() - start
    print("seconds_per_station", elapsed / count)
    for p, v in values:
        print("value", p, repr(float(v)))


if __name__ == "__main__":
    main()
