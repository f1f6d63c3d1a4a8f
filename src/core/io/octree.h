#pragma once
// Octree mesh files: cubes of underlying cells over a uniform mesh.
//   nx ny nz        underlying cell counts
//   x0 y0 z0        top south-west corner
//   dx dy dz        underlying cell size
//   n               number of octree cells
//   i j k s         n lines: 1-based first cell along X, Y, depth; edge length in cells
// An octree model file has one line per octree cell, in the same order: a
// value ("%g") or a vector ("%lg %lg %lg"). Each value goes into every
// underlying cell of its cube.
#include <string>
#include <vector>

#include "core/store/arrays.h"
#include "core/load/document_ui.h"
#include "core/io/line_source.h"
#include "core/io/mesh_reader.h"
#include "core/store/rect_mesh.h"
#include "core/platform/platform.h"

namespace litho {

struct OctreeCell {
  int i = 1, j = 1, k = 1;  // 1-based
  int size = 1;
};

struct OctreeMesh {
  int nx = 0, ny = 0, nz = 0;
  double x0 = 0, y0 = 0, z0 = 0;
  double dx = 0, dy = 0, dz = 0;
  std::vector<OctreeCell> cells;
};

// Values not greater than this are air: -7 for log10 values, -999 otherwise.
inline float octreeAirThreshold(bool log) { return log ? -7.0f : -999.0f; }

// Reads an octree mesh file. Failures are shown with the prefix
// "Error reading octree mesh:\n" + path + "\n" and the line that failed.
bool readOctreeMesh(LineSource& in, const std::string& path, OctreeMesh& out, Platform& platform, DocumentUi& ui,
                    const MeshLimits& limits = {});

// The underlying mesh: nodes step by dx, dy from the corner eastward and
// northward and by dz downward.
RectMesh octreeRectMesh(const OctreeMesh& octree);

// True when the cubes cover every underlying cell exactly once; scratch (an
// nx x ny x nz set) is overwritten. Otherwise shows "Octree mesh error.".
bool checkOctreeTiling(const OctreeMesh& octree, ModelSet& scratch, Platform& platform);

struct OctreeRange {
  double minimum = 1.0000000150474662e30;  // NoDataValue
  double maximum = -1.0000000150474662e30;
};

// Scalar octree model into target; the range leaves out air and values that
// are not finite. topActive gets, per column, the air cells counted from the
// top (only after a successful read).
bool readOctreeScalarModel(LineSource& in, const std::string& path, const OctreeMesh& octree, ModelSet& target,
                           bool log, OctreeRange& range, Grid2<int>& topActive, Platform& platform,
                           DocumentUi& ui);

// Vector octree model: amplitudes (log10 of them unless log is set) and unit components.
bool readOctreeVectorModel(LineSource& in, const std::string& path, const OctreeMesh& octree, ModelSet& amplitude,
                           ModelSet& x, ModelSet& y, ModelSet& z, bool log, OctreeRange& range, Platform& platform,
                           DocumentUi& ui);

// The model shown without a model file: log10(s * (1 + 0.9 u)) per cube of
// edge s, u a fresh draw of the C library's generator scaled to 0..1.
void syntheticOctreeModel(const OctreeMesh& octree, ModelSet& target, OctreeRange& range);

}  // namespace litho
