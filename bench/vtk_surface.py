#!/usr/bin/python3
"""Peer timing for the scene benchmark: VTK's threshold and surface extraction.

usage: vtk_surface.py FOLDER LO HI [RUNS]
FOLDER holds x.f64, y.f64, z.f64 (node coordinates) and v.f32 (cell values,
x fastest, then y, then z). Prints "faces N" and "ms T" (median of RUNS).
"""
import statistics
import sys
import time

import numpy as np
import vtk
from vtk.util import numpy_support


def main():
    folder, lo, hi = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    xs = np.fromfile(f"{folder}/x.f64")
    ys = np.fromfile(f"{folder}/y.f64")
    zs = np.fromfile(f"{folder}/z.f64")
    values = np.fromfile(f"{folder}/v.f32", dtype=np.float32)
    grid = vtk.vtkRectilinearGrid()
    grid.SetDimensions(len(xs), len(ys), len(zs))
    grid.SetXCoordinates(numpy_support.numpy_to_vtk(xs, deep=1))
    grid.SetYCoordinates(numpy_support.numpy_to_vtk(ys, deep=1))
    grid.SetZCoordinates(numpy_support.numpy_to_vtk(zs, deep=1))
    array = numpy_support.numpy_to_vtk(values, deep=1)
    array.SetName("v")
    grid.GetCellData().SetScalars(array)
    times = []
    faces = 0
    for _ in range(runs):
        t0 = time.perf_counter()
        threshold = vtk.vtkThreshold()
        threshold.SetInputData(grid)
        threshold.SetInputArrayToProcess(0, 0, 0, vtk.vtkDataObject.FIELD_ASSOCIATION_CELLS, "v")
        threshold.SetLowerThreshold(lo)
        threshold.SetUpperThreshold(hi)
        threshold.SetThresholdFunction(vtk.vtkThreshold.THRESHOLD_BETWEEN)
        surface = vtk.vtkDataSetSurfaceFilter()
        surface.SetInputConnection(threshold.GetOutputPort())
        surface.Update()
        times.append((time.perf_counter() - t0) * 1000)
        faces = surface.GetOutput().GetNumberOfPolys()
    print(f"faces {faces}")
    print(f"ms {statistics.median(times):.1f}")


if __name__ == "__main__":
    main()
