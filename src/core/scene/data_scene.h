#pragma once
// The observation data sets as plain geometry: what each drawing method
// draws, in model coordinates, with a colour per vertex. The GL layer
// compiles it into the scene's display list; the names are drawn every frame
// as text.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/data/data_set.h"

namespace litho {

enum class DataDrawKind : std::uint8_t { Surface, Lines, Points, Spheres, Cylinders };

struct DataDraw {
  DataDrawKind kind;
  float size = 1;            // line width or point size in pixels; radius of spheres and cylinders
  bool translucent = false;  // a surface with opacity below 1: blended, without depth writes
  // Surface: triangles; lines: strips; points and spheres: vertices; cylinders: cylinders.
  std::uint32_t first = 0;
  std::uint32_t count = 0;
};

struct DataTriangle {
  std::array<std::uint32_t, 3> vertex;  // counterclockwise seen from above
  std::array<float, 3> normal;          // unit (b - a) x (c - a)
};

struct DataStrip {
  std::uint32_t firstVertex = 0;
  std::uint32_t vertexCount = 0;
};

// A cylinder along +z of the given length, turned about the vertical by
// `turn` and then tilted about the second axis by `tilt` (degrees), so that
// it runs from start to the next point.
struct DataCylinder {
  std::array<double, 3> start;
  double length;
  double turn;
  double tilt;
  Rgba colour;
};

struct DataLabel {
  std::array<double, 3> position;
  Rgba colour;
  std::string text;
};

struct DataScene {
  std::vector<DataDraw> draws;
  std::vector<std::array<double, 3>> vertices;
  std::vector<Rgba> colours;  // one per vertex
  std::vector<DataTriangle> triangles;
  std::vector<DataStrip> strips;
  std::vector<DataCylinder> cylinders;
  std::vector<DataLabel> labels;  // point names after "lines" and "points"
  void clear();
};

// Appends every displayed set, in list order.
void buildDataScene(const std::vector<DataSet>& sets, DataScene& out);

}  // namespace litho
