#pragma once
// Gravity and magnetic responses of a model on a tensor mesh at a list of
// stations: each cell a uniform rectangular prism, air cells (above the
// topography) and cells without a value contributing nothing.
#include <array>
#include <functional>
#include <vector>

#include "core/store/arrays.h"
#include "core/store/rect_mesh.h"

namespace litho::forward {

struct Station {
  double x = 0;  // easting
  double y = 0;  // northing
  double z = 0;  // elevation
};

// The inducing field: inclination (degrees down from horizontal), declination
// (degrees east of north) and strength in nT.
struct InducingField {
  double inclination = 90;
  double declination = 0;
  double strength = 50000;
};

// Unit vector (east, north, down) of the field direction.
std::array<double, 3> fieldDirection(double inclination, double declination);

// The mesh nodes that carry a non-zero weight: the mixed difference along the
// three axes of the cell values (0 outside the mesh, in air and where the value
// is not finite).
struct NodeWeights {
  std::vector<double> x, y, z, weight;
  std::size_t size() const { return weight.size(); }
};

// top: cells k < top(i, j) are air; null for none. Throws std::bad_alloc.
NodeWeights nodeWeights(const RectMesh& mesh, const ModelSet& values, const Grid2<int>* top);

// Vertical gravity in mGal of densities in g/cc (positive down, so a density
// excess below the station gives a positive value).
double gravityAt(const NodeWeights& nodes, const Station& s);
// Total-field anomaly in nT of susceptibilities (SI) induced by the field.
double magneticAt(const NodeWeights& nodes, const Station& s, const InducingField& field);

enum class Survey { Gravity, Magnetics };

// The response at every station on `threads` threads (0: every core).
// progress(done, total) is called now and then, from one thread at a time.
std::vector<double> computeResponse(const NodeWeights& nodes, Survey survey, const std::vector<Station>& stations,
                                    const InducingField& field, int threads = 0,
                                    const std::function<void(std::size_t, std::size_t)>& progress = {});

// One prism [x0, x1] x [y0, y1] x [z0, z1] (elevations) of uniform value.
struct Prism {
  double x0, x1, y0, y1, z0, z1;
};
NodeWeights prismNodes(const Prism& p, double value);

}  // namespace litho::forward
