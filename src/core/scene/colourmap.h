#pragma once
#include <array>

namespace litho {

inline constexpr int kColourmapEntries = 61;  // index arithmetic assumes 60 intervals
inline constexpr int kColourmapKinds = 9;

using Rgba = std::array<float, 4>;

// 61 RGBA colours, entry 0 for the lowest values. R, G, B come from the built-in
// table `kind`, stored back to front when `reversed`; A is set separately.
struct Colourmap {
  std::array<Rgba, kColourmapEntries> entries{};
  int kind = 0;
  bool reversed = false;
};

// Radio-button labels of the "Colourmap" dialog; the index is the `kind`.
inline constexpr std::array<const char*, kColourmapKinds> kColourmapLabels = {
    "default", "gray", "colour2", "colour3", "colour4", "colour5", "colour6", "topo1", "topo2"};

// Writes R, G, B of every entry from `kind` and `reversed`; A is left alone.
// A kind outside 0..8 leaves the entries unchanged.
void buildColourmap(Colourmap& colourmap);
void setColourmapAlpha(Colourmap& colourmap, float alpha);

}  // namespace litho
