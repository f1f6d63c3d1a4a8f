#include "core/view/view_dialogs.h"

#include <cstdio>

#include "core/io/field_parse.h"

namespace litho {

namespace {

std::string betweenMessage(double lo, double hi) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "Enter a number between %g and %g.", lo, hi);
  return buf;
}

}  // namespace

std::variant<ViewAngles, std::string> checkViewAngles(const std::string& x, const std::string& z,
                                                      const std::string& step, const std::string& zoom) {
  const auto fx = parseFloatField(x), fz = parseFloatField(z), fs = parseFloatField(step);
  const auto dz = parseDoubleField(zoom);
  if (!fx || !fz || !fs || !dz) return std::string("Enter a number.");
  if (*fs < 0.5f || *fs > 45.0f) return betweenMessage(0.5, 45);
  if (*dz < 0 || *dz > 180) return betweenMessage(0, 180);
  return ViewAngles{*fx, *fz, *fs, *dz};
}

std::array<float, 2> quickRotateAngles(int button) {
  static constexpr std::array<std::array<float, 2>, 6> angles{
      {{0, 0}, {-180, 0}, {-90, -180}, {-90, 0}, {-90, -90}, {-90, 90}}};
  return angles.at(static_cast<std::size_t>(button));
}

std::variant<std::array<double, 3>, std::string> checkScaleView(const std::string& x, const std::string& y,
                                                                const std::string& z) {
  const auto a = parseDoubleField(x), b = parseDoubleField(y), c = parseDoubleField(z);
  if (!a || !b || !c) return std::string("Enter a number.");
  if (*a == 0 || *b == 0 || *c == 0) return std::string("Scale values cannot be 0.");
  return std::array<double, 3>{*a, *b, *c};
}

}  // namespace litho
