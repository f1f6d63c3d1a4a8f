#include "core/scene/colourmap.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>

namespace litho {
namespace {

struct Rgb {
  double r, g, b;
};
using Table = std::array<std::array<float, 3>, kColourmapEntries>;

std::array<float, 3> stored(const Rgb& c) {
  return {static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b)};
}

// Four decimal places, halves away from zero, on the double value as computed.
double round4(double x) {
  const double y = x * 10000.0;
  return std::trunc(y > 0 ? y + 0.5 : y - 0.5) / 10000.0;
}

Rgb round4(const Rgb& c) { return {round4(c.r), round4(c.g), round4(c.b)}; }

Table defaultTable() {
  static constexpr double kDark[10] = {0.3, 0.3667, 0.4334, 0.5001, 0.5668, 0.6335, 0.7002, 0.7669, 0.8336, 0.9003};
  Table t{};
  for (int e = 0; e < kColourmapEntries; ++e) {
    Rgb c{};
    if (e < 10) {
      c = {0, 0, std::sqrt(kDark[e])};
    } else if (e < 20) {
      c = {0, std::sqrt((e - 10) / 10.0), 1};
    } else if (e < 30) {
      c = {0, 1, std::sqrt((30 - e) / 10.0)};
    } else if (e < 40) {
      c = {std::sqrt((e - 30) / 10.0), 1, 0};
    } else if (e < 50) {
      c = {1, std::sqrt((50 - e) / 10.0), 0};
    } else {
      c = {1, 0.2745, 0.588 * std::sqrt((e - 50) / 10.0)};
    }
    t[static_cast<std::size_t>(e)] = stored(c);
  }
  return t;
}

Table grayTable() {
  Table t{};
  for (int e = 0; e < kColourmapEntries; ++e) {
    const double v = std::sqrt((60 - e) / 60.0 * 0.9 + 0.05);
    t[static_cast<std::size_t>(e)] = stored({v, v, v});
  }
  return t;
}

Table colour2Table() {
  Table t{};
  for (int e = 0; e < kColourmapEntries; ++e) {
    Rgb c{};
    if (e <= 21) {
      c = {(e + 1) / 22.0, 0, 0};
    } else if (e <= 43) {
      c = {1, (e - 21) / 22.0, 0};
    } else {
      c = {1, 1, (e - 43) / 17.0};
    }
    t[static_cast<std::size_t>(e)] = stored(round4(c));
  }
  return t;
}

Table colour3Table() {
  Table t{};
  for (int e = 0; e < kColourmapEntries; ++e) {
    t[static_cast<std::size_t>(e)] = stored(round4(Rgb{e / 60.0, 1 - e / 60.0, 1}));
  }
  return t;
}

Table colour4Table() {
  Table t{};
  for (int e = 0; e < kColourmapEntries; ++e) {
    const double h = 6.0 * e / 61.0;
    Rgb c{};
    if (e <= 10) {
      c = {1, h, 0};
    } else if (e <= 20) {
      c = {2 - h, 1, 0};
    } else if (e <= 30) {
      c = {0, 1, h - 2};
    } else if (e <= 40) {
      c = {0, 4 - h, 1};
    } else if (e <= 50) {
      c = {h - 4, 0, 1};
    } else {
      c = {1, 0, 6 - h};
    }
    t[static_cast<std::size_t>(e)] = stored(round4(c));
  }
  return t;
}

Table colour5Table() {
  Table t{};
  for (int e = 0; e < kColourmapEntries; ++e) {
    Rgb c{};
    if (e <= 6) {
      c = {0, 0, 0.625 + e / 16.0};
    } else if (e <= 22) {
      c = {0, (e - 6) / 16.0, 1};
    } else if (e <= 38) {
      c = {(e - 22) / 16.0, 1, 1 - (e - 22) / 16.0};
    } else if (e <= 54) {
      c = {1, 1 - (e - 38) / 16.0, 0};
    } else {
      c = {1 - (e - 54) / 16.0, 0, 0};
    }
    t[static_cast<std::size_t>(e)] = stored(c);
  }
  return t;
}

Table colour6Table() {
  Table t{};
  t[0] = stored({0.01, 0.01, 0.01});
  for (int e = 1; e < kColourmapEntries; ++e) {
    Rgb c = round4(Rgb{std::min(1.0, 1.25 * e / 60), 0.7812 * e / 60, 0.4975 * e / 60});
    if (e == 6) c.b = 0.0498;
    if (e == 18) c.b = 0.1492;
    if (e == 54) c.b = 0.4477;
    t[static_cast<std::size_t>(e)] = stored(c);
  }
  return t;
}

struct Knot {
  int row;
  Rgb c;
};

Table knotTable(std::span<const Knot> knots) {
  Table t{};
  for (std::size_t k = 0; k + 1 < knots.size(); ++k) {
    const Knot& a = knots[k];
    const Knot& b = knots[k + 1];
    for (int e = a.row; e <= b.row; ++e) {
      const double f = static_cast<double>(e - a.row) / (b.row - a.row);
      t[static_cast<std::size_t>(e)] =
          stored({a.c.r + (b.c.r - a.c.r) * f, a.c.g + (b.c.g - a.c.g) * f, a.c.b + (b.c.b - a.c.b) * f});
    }
  }
  return t;
}

constexpr Knot kTopo1[] = {
    {0, {0, 0, 0.501961}},
    {1, {0.031373, 0, 0.626471}},
    {7, {0.125490, 0, 1}},
    {15, {0, 1, 1}},
    {23, {0, 0.474510, 0.239216}},
    {31, {0, 0.643137, 0.321569}},
    {32, {0.071569, 0.632353, 0.318137}},
    {33, {0.214706, 0.610784, 0.311275}},
    {38, {0.572549, 0.556863, 0.294118}},
    {46, {0.752941, 0.513726, 0.247059}},
    {54, {0.396078, 0.254902, 0.188235}},
    {60, {0.913725, 0.893557, 0.884034}},
};

constexpr Knot kTopo2[] = {
    {0, {0, 0.435294, 0.215686}},         {1, {0, 0.484967, 0.241176}},         {11, {0, 0.733333, 0.368627}},
    {23, {0.721569, 0.709804, 0.145098}}, {28, {0.733635, 0.634389, 0.184314}}, {29, {0.738462, 0.604223, 0.2}},
    {35, {0.752941, 0.513726, 0.247059}}, {49, {0.396078, 0.254902, 0.188235}}, {60, {0.949673, 0.937908, 0.932353}},
};

const std::array<Table, kColourmapKinds>& tables() {
  static const std::array<Table, kColourmapKinds> all = {
      defaultTable(), grayTable(),    colour2Table(),    colour3Table(),    colour4Table(),
      colour5Table(), colour6Table(), knotTable(kTopo1), knotTable(kTopo2),
  };
  return all;
}

}  // namespace

void buildColourmap(Colourmap& colourmap) {
  if (colourmap.kind < 0 || colourmap.kind >= kColourmapKinds) return;
  const Table& table = tables()[static_cast<std::size_t>(colourmap.kind)];
  for (std::size_t e = 0; e < table.size(); ++e) {
    const auto& row = table[colourmap.reversed ? table.size() - 1 - e : e];
    Rgba& entry = colourmap.entries[e];
    entry[0] = row[0];
    entry[1] = row[1];
    entry[2] = row[2];
  }
}

void setColourmapAlpha(Colourmap& colourmap, float alpha) {
  for (Rgba& entry : colourmap.entries) entry[3] = alpha;
}

}  // namespace litho
