#include "core/forward/forward_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "support/store_builder.h"

namespace litho::forward {
namespace {

constexpr double kG = 6.6743e-11 * 1e8;  // mGal per (g/cc m)

// Gauss-Legendre nodes and weights on [-1, 1].
void gaussLegendre(int n, std::vector<double>& t, std::vector<double>& w) {
  t.assign(n, 0);
  w.assign(n, 0);
  for (int i = 0; i < n; ++i) {
    double x = std::cos(std::numbers::pi * (i + 0.75) / (n + 0.5)), dp = 0;
    for (int it = 0; it < 100; ++it) {
      double p0 = 1, p1 = x;
      for (int k = 2; k <= n; ++k) {
        const double p2 = ((2 * k - 1) * x * p1 - (k - 1) * p0) / k;
        p0 = p1;
        p1 = p2;
      }
      dp = n * (x * p1 - p0) / (x * x - 1);
      x -= p1 / dp;
    }
    t[i] = x;
    w[i] = 2 / ((1 - x * x) * dp * dp);
  }
}

// Composite quadrature of f(east, north, down offset from the station to the point) over the prism.
double integrate(const Prism& p, const Station& s, const std::function<double(double, double, double)>& f) {
  std::vector<double> t, w;
  gaussLegendre(10, t, w);
  const int parts = 6;
  auto axis = [&](double a, double b) {
    std::vector<std::pair<double, double>> q;
    const double h = (b - a) / parts;
    for (int k = 0; k < parts; ++k)
      for (std::size_t i = 0; i < t.size(); ++i) q.push_back({a + h * (k + 0.5 + 0.5 * t[i]), 0.5 * h * w[i]});
    return q;
  };
  const auto qx = axis(p.x0, p.x1), qy = axis(p.y0, p.y1), qz = axis(p.z0, p.z1);
  double sum = 0;
  for (auto [x, wx] : qx)
    for (auto [y, wy] : qy)
      for (auto [z, wz] : qz) sum += wx * wy * wz * f(x - s.x, y - s.y, s.z - z);
  return sum;
}

double quadratureGravity(const Prism& p, double rho, const Station& s) {
  return kG * rho * integrate(p, s, [](double u, double v, double w) { return w / std::pow(u * u + v * v + w * w, 1.5); });
}

double quadratureMagnetic(const Prism& p, double chi, const Station& s, const InducingField& f) {
  const auto d = fieldDirection(f.inclination, f.declination);
  return chi * f.strength / (4 * std::numbers::pi) * integrate(p, s, [&](double u, double v, double w) {
           const double r2 = u * u + v * v + w * w, fr = -(d[0] * u + d[1] * v + d[2] * w);
           return (3 * fr * fr - r2) / std::pow(r2, 2.5);
         });
}

const Prism kPrism{-50, 50, -30, 30, -120, -40};

TEST(ForwardModel, singlePrismMatchesIndependentIntegration) {
  const Station stations[] = {{0, 0, 0}, {35, -20, 10}, {200, 90, -10}, {-80, 0, -80}, {0, 0, -200}, {50, 30, 0}};
  const InducingField fields[] = {{90, 0, 50000}, {60, 20, 55000}, {-35, -110, 30000}, {0, 45, 40000}};
  const auto g = prismNodes(kPrism, 0.3);
  const auto m = prismNodes(kPrism, 0.02);
  for (const auto& s : stations) {
    SCOPED_TRACE(testing::Message() << s.x << " " << s.y << " " << s.z);
    const double q = quadratureGravity(kPrism, 0.3, s);
    EXPECT_NEAR(gravityAt(g, s), q, 1e-6 * std::fabs(q) + 1e-9);
    for (const auto& f : fields) {
      const double qm = quadratureMagnetic(kPrism, 0.02, s, f);
      EXPECT_NEAR(magneticAt(m, s, f), qm, 1e-5 * std::fabs(qm) + 1e-6) << f.inclination << " " << f.declination;
    }
  }
}

TEST(ForwardModel, farAwayPrismActsAsPointMassAndDipole) {
  const Prism p{0, 10, 0, 10, -10, 0};
  const double volume = 1000;
  const Station s{3005, -1995, 4000};  // offsets from the centre: 3000, -2000, 4005 up
  const double u = 5 - s.x, v = 5 - s.y, w = s.z + 5, r = std::sqrt(u * u + v * v + w * w);
  EXPECT_NEAR(gravityAt(prismNodes(p, 2.0), s), kG * 2.0 * volume * w / (r * r * r), 1e-4 * kG * 2.0 * volume * w / (r * r * r));
  const InducingField f{70, 10, 50000};
  const auto d = fieldDirection(f.inclination, f.declination);
  const double fr = -(d[0] * u + d[1] * v + d[2] * w) / r;
  const double dipole = 0.05 * f.strength / (4 * std::numbers::pi) * volume * (3 * fr * fr - 1) / (r * r * r);
  EXPECT_NEAR(magneticAt(prismNodes(p, 0.05), s, f), dipole, 1e-3 * std::fabs(dipole));
}

TEST(ForwardModel, signsAndSymmetry) {
  const auto g = prismNodes(kPrism, 1.0);
  EXPECT_GT(gravityAt(g, {0, 0, 0}), 0);
  EXPECT_LT(gravityAt(prismNodes(kPrism, -1.0), {0, 0, 0}), 0);
  EXPECT_NEAR(gravityAt(g, {70, 10, 0}), gravityAt(g, {-70, -10, 0}), 1e-12);
  EXPECT_NEAR(gravityAt(g, {70, 10, 0}), gravityAt(g, {70, -10, 0}), 1e-12);
  const auto m = prismNodes(kPrism, 0.01);
  const InducingField pole{90, 0, 50000};
  EXPECT_GT(magneticAt(m, {0, 0, 0}, pole), 0);
  EXPECT_NEAR(magneticAt(m, {40, 25, 0}, pole), magneticAt(m, {-40, -25, 0}, pole), 1e-9);
  // A horizontal field along north: a low over the body, even in easting.
  const InducingField equator{0, 0, 50000};
  EXPECT_LT(magneticAt(m, {0, 0, 0}, equator), 0);
  EXPECT_NEAR(magneticAt(m, {20, 60, 0}, equator), magneticAt(m, {-20, 60, 0}, equator), 1e-9);
}

TEST(ForwardModel, meshSumsEqualPrismsAndSkipAirAndUniformNodes) {
  auto store = test::unitStore(3, 2, 2, 0.0f);
  ModelSet& v = store.modelData(0);
  v(0, 0, 0) = 0.5f;
  v(1, 0, 0) = 0.5f;  // with (0, 0, 0): one 2 x 1 x 1 prism
  v(2, 1, 1) = -0.25f;
  v(1, 1, 0) = std::nanf("");
  const auto nodes = nodeWeights(store.mesh(), v, nullptr);
  const Station stations[] = {{0.3, 0.2, 1.5}, {1, 1, 0}, {-2, 4, 3}, {3, 2, -1}};
  const InducingField f{55, -15, 48000};
  for (const auto& s : stations) {
    SCOPED_TRACE(testing::Message() << s.x << " " << s.y << " " << s.z);
    const auto merged = prismNodes({0, 2, 0, 1, -1, 0}, 0.5), single = prismNodes({2, 3, 1, 2, -2, -1}, -0.25);
    EXPECT_NEAR(gravityAt(nodes, s), gravityAt(merged, s) + gravityAt(single, s), 1e-10);
    EXPECT_NEAR(magneticAt(nodes, s, f), magneticAt(merged, s, f) + magneticAt(single, s, f), 1e-7);
  }
  // The shared face of the merged prism carries no weight: 8 + 8 corners, one of them shared.
  EXPECT_EQ(nodes.size(), 15u);

  Grid2<int> top;
  top.allocate(3, 2, 0);
  top(2, 1) = 2;  // the negative cell is air
  const auto withAir = nodeWeights(store.mesh(), v, &top);
  v(2, 1, 1) = 0;
  const auto without = nodeWeights(store.mesh(), v, nullptr);
  for (const auto& s : stations) EXPECT_DOUBLE_EQ(gravityAt(withAir, s), gravityAt(without, s));
}

TEST(ForwardModel, stationsOnNodePlanesAndThreadsAgree) {
  auto store = test::unitStore(4, 4, 3, 0.2f);
  store.modelData(0)(1, 2, 0) = 1.0f;
  const auto nodes = nodeWeights(store.mesh(), store.model(0), nullptr);
  const InducingField f{65, 5, 50000};
  std::vector<Station> stations;
  for (double x : {0.0, 1.0, 2.0, 2.5})
    for (double y : {0.0, 2.0, 3.0}) stations.push_back({x, y, 0.5});  // on node planes
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const Station nudged{stations[i].x + 1e-8, stations[i].y - 1e-8, stations[i].z + 1e-8};
    EXPECT_NEAR(gravityAt(nodes, stations[i]), gravityAt(nodes, nudged), 1e-5);
    EXPECT_NEAR(magneticAt(nodes, stations[i], f), magneticAt(nodes, nudged, f), 1e-3);
  }
  std::size_t lastDone = 0;
  const auto all = computeResponse(nodes, Survey::Magnetics, stations, f, 3, [&](std::size_t d, std::size_t) { lastDone = d; });
  EXPECT_EQ(lastDone, stations.size());
  for (std::size_t i = 0; i < stations.size(); ++i) EXPECT_DOUBLE_EQ(all[i], magneticAt(nodes, stations[i], f));
}

}  // namespace
}  // namespace litho::forward
