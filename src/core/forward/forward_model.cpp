#include "core/forward/forward_model.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <numbers>
#include <thread>

#include "core/forward/prism_kernels.h"

namespace litho::forward {
namespace {

// G in SI times 1000 (g/cc to kg/m^3) times 1e5 (m/s^2 to mGal).
constexpr double kGravityScale = 6.6743e-11 * 1e3 * 1e5;

double cellValue(float v) {
  return std::isfinite(v) && std::fabs(v) < 1e29f ? static_cast<double>(v) : 0.0;
}

}  // namespace

std::array<double, 3> fieldDirection(double inclination, double declination) {
  const double i = inclination * std::numbers::pi / 180, d = declination * std::numbers::pi / 180;
  return {std::cos(i) * std::sin(d), std::cos(i) * std::cos(d), std::sin(i)};
}

NodeWeights nodeWeights(const RectMesh& mesh, const ModelSet& values, const Grid2<int>* top) {
  const int nx = mesh.nx, ny = mesh.ny, nz = mesh.nz;
  const std::size_t sx = static_cast<std::size_t>(ny + 1) * (nz + 1), sy = static_cast<std::size_t>(nz + 1);
  // d(i, j, k) over nodes; each pass differences one axis in place: node n gets
  // cell n-1 (the node is its far side) minus cell n.
  std::vector<double> d(static_cast<std::size_t>(nx + 1) * sx, 0.0);
  auto at = [&](int i, int j, int k) -> double& { return d[i * sx + j * sy + k]; };
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j) {
      const float* col = values.column(i, j);
      const int first = top ? std::clamp((*top)(i, j), 0, nz) : 0;
      for (int k = first; k < nz; ++k) at(i, j, k) = cellValue(col[k]);
    }
  for (int i = 0; i <= nx; ++i)
    for (int j = 0; j <= ny; ++j) {
      for (int k = nz; k > 0; --k) at(i, j, k) = at(i, j, k - 1) - at(i, j, k);
      at(i, j, 0) = -at(i, j, 0);
    }
  for (int i = 0; i <= nx; ++i) {
    for (int j = ny; j > 0; --j)
      for (int k = 0; k <= nz; ++k) at(i, j, k) = at(i, j - 1, k) - at(i, j, k);
    for (int k = 0; k <= nz; ++k) at(i, 0, k) = -at(i, 0, k);
  }
  for (int i = nx; i > 0; --i)
    for (std::size_t r = 0; r < sx; ++r) d[i * sx + r] = d[(i - 1) * sx + r] - d[i * sx + r];
  for (std::size_t r = 0; r < sx; ++r) d[r] = -d[r];
  NodeWeights out;
  const std::size_t nonZero = static_cast<std::size_t>(std::count_if(d.begin(), d.end(), [](double v) { return v != 0; }));
  out.x.reserve(nonZero);
  out.y.reserve(nonZero);
  out.z.reserve(nonZero);
  out.weight.reserve(nonZero);
  for (int i = 0; i <= nx; ++i)
    for (int j = 0; j <= ny; ++j)
      for (int k = 0; k <= nz; ++k)
        if (const double w = at(i, j, k); w != 0) {
          out.x.push_back(mesh.xNodes[i]);
          out.y.push_back(mesh.yNodes[j]);
          out.z.push_back(mesh.zNodes[k]);
          out.weight.push_back(w);
        }
  return out;
}

double gravityAt(const NodeWeights& n, const Station& s) {
  return kGravityScale * sumGravityCorners(n.x.data(), n.y.data(), n.z.data(), n.weight.data(), n.size(), s.x, s.y, s.z);
}

double magneticAt(const NodeWeights& n, const Station& s, const InducingField& field) {
  const auto f = fieldDirection(field.inclination, field.declination);
  return field.strength / (4 * std::numbers::pi) *
         sumMagneticCorners(n.x.data(), n.y.data(), n.z.data(), n.weight.data(), n.size(), s.x, s.y, s.z, f.data());
}

std::vector<double> computeResponse(const NodeWeights& nodes, Survey survey, const std::vector<Station>& stations,
                                    const InducingField& field, int threads,
                                    const std::function<void(std::size_t, std::size_t)>& progress) {
  std::vector<double> out(stations.size(), 0.0);
  if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  threads = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads), std::max<std::size_t>(1, stations.size())));
  std::atomic<std::size_t> next{0}, done{0};
  std::mutex report;
  auto work = [&] {
    for (std::size_t s; (s = next.fetch_add(1)) < stations.size();) {
      out[s] = survey == Survey::Gravity ? gravityAt(nodes, stations[s]) : magneticAt(nodes, stations[s], field);
      const std::size_t finished = done.fetch_add(1) + 1;
      if (!progress) continue;
      if (std::unique_lock lock(report, std::try_to_lock); lock.owns_lock()) progress(finished, stations.size());
    }
  };
  std::vector<std::jthread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  pool.clear();
  if (progress) progress(stations.size(), stations.size());
  return out;
}

NodeWeights prismNodes(const Prism& p, double value) {
  NodeWeights n;
  for (int a = 0; a < 2; ++a)
    for (int b = 0; b < 2; ++b)
      for (int c = 0; c < 2; ++c) {
        n.x.push_back(a ? p.x1 : p.x0);
        n.y.push_back(b ? p.y1 : p.y0);
        n.z.push_back(c ? p.z0 : p.z1);  // far along depth is the lower elevation
        n.weight.push_back((a ? 1 : -1) * (b ? 1 : -1) * (c ? 1 : -1) * value);
      }
  return n;
}

}  // namespace litho::forward
