#pragma once
// Arrows of a vector model as plain data: which cells get one, where it sits,
// where it points and in which colour. The GL layer draws them as lines or cones.
#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/scene/colour_scale.h"
#include "core/view/view_state.h"

namespace litho {

class Document;
class HiddenFlags;
struct DrawBox;

inline constexpr const char* kConesQuestion =
    "When plotting vectors as cones and displaying all the vectors\nin the entire model, can take a long time.\n"
    "Are you sure you want to continue?";

// The question before the first cone pass over the whole model, asked once per
// run before the rebuild that would start that pass, never during the build.
class ConesQuestion {
 public:
  // A rebuild of this state would start a cone pass over the whole model, and the question has not been asked.
  bool due(const Document& doc, const ViewState& v) const;
  void markAsked() { asked_ = true; }
  bool asked() const { return asked_; }

 private:
  bool asked_ = false;
};

// Indices first, first + step, ... below end.
struct AxisWalk {
  int first = 0;
  int end = 0;
  int step = 1;
  int count() const {
    return end > first ? static_cast<int>((static_cast<long long>(end) - first + step - 1) / step) : 0;
  }
  int at(int n) const { return static_cast<int>(first + static_cast<long long>(n) * step); }
};

// The walk along X, Y and Z: the whole box, or only the layer on the selected
// cut plane. Increments below 1 are taken as 1.
std::array<AxisWalk, 3> vectorWalk(const DrawBox& box, int selectedCutPlane, const std::array<int, 3>& increment);

struct VectorArrow {
  std::array<double, 3> centre;  // model coordinates
  std::array<double, 3> half;    // from the centre to the head, Z up
  std::uint8_t colour;           // entry of the model colourmap
};

struct VectorScene {
  bool cones = false;
  double length = 0;
  std::array<float, 4> headColour{1, 1, 1, 1};  // of the line heads
  std::vector<VectorArrow> arrows;
  void clear() { arrows.clear(); }
};

// The three points of a line arrow: tail, the end of the coloured part (80 %
// of the way) and the head.
std::array<std::array<double, 3>, 3> linePoints(const VectorArrow& a);

// White on a dark background, black otherwise.
std::array<float, 4> vectorHeadColour(bool darkBackground);

// How a cone is placed: translate to tail, rotate azimuth degrees about Z, then
// tilt degrees about Y; the cone then runs along +Z for length.
struct ConePlacement {
  std::array<double, 3> tail;
  double azimuth = 0;
  double tilt = 0;
  double length = 0;
  double baseRadius = 0;
  double tipRadius = 0;
};
ConePlacement conePlacement(const VectorArrow& a, double length);

// The vector pass: one arrow per cell of the walk whose flag is 0 and whose
// vector has a direction. Colours from the amplitude of the current model.
void buildVectorScene(const Document& doc, const ViewState& v, const ColourScale& scale, const HiddenFlags& flags,
                      VectorScene& out);

// "Change Vector Properties".
struct VectorProperties {
  bool cones = false;
  double length = 0;
  std::array<int, 3> increment{1, 1, 1};
};
inline constexpr const char* kLengthMessage = "Length should be greater than 0.";
inline constexpr const char* kIncrementMessage = "The plotting increments should be 1 or more.";
std::variant<VectorProperties, std::string> checkVectorProperties(bool cones, const std::string& length,
                                                                  const std::string& x, const std::string& y,
                                                                  const std::string& z);
VectorProperties vectorPropertiesOf(const ViewState& v);
// OK: stores the four values and asks for a rebuild.
void applyVectorProperties(ViewState& v, const VectorProperties& p);

}  // namespace litho
