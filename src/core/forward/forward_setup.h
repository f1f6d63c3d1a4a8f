#pragma once
// "Magnetics ..." and "Gravity ...": the dialog's settings and checks, the
// observation locations file "obs.loc", and finding the programs.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/forward/forward_model.h"
#include "core/store/arrays.h"
#include "core/store/rect_mesh.h"

namespace litho::forward {

struct ForwardSettings {
  bool useFile = false;  // "file": the locations file; else "parameters"
  std::string locationsFile;
  double inclination = 0, declination = 0, strength = 40000;
  double x0 = 0, xn = 0, y0 = 0, yn = 0;  // "Data area"
  double dx = 0, dy = 0;                  // "Data spacing"
  int elevationMode = 0;                  // 0 "constant elevation", 1 "height above surface"
  double elevation = 0;                   // elevation, or height above the surface
};

// Defaults from the mesh: middle cell widths, first and last cell centres, 1 above the top.
ForwardSettings initialForwardSettings(const RectMesh& mesh);

// The settings of both commands for as long as the program runs; each is made
// from the mesh loaded at its first use.
class ForwardMemory {
 public:
  ForwardSettings& settings(Survey survey, const RectMesh& mesh);

 private:
  std::optional<ForwardSettings> settings_[2];
};

struct ForwardCheckFailure {
  std::string message;
  bool focusFile = false;  // the locations file edit takes the focus
};

// The OK check of the dialog. On success with "parameters" the locations file
// name is emptied.
std::optional<ForwardCheckFailure> checkForwardSettings(ForwardSettings& s,
                                                        const std::function<bool(const std::string&)>& fileExists);

// The dialog's number fields as text, in this order.
enum ForwardField { kInclination, kDeclination, kStrength, kX0, kXn, kY0, kYn, kDx, kDy, kElevation, kFieldCount };
using ForwardFieldTexts = std::array<std::string, kFieldCount>;
ForwardFieldTexts forwardFieldTexts(const ForwardSettings& s);
// Reads the fields into s (with "file" selected, fields that are not numbers are
// kept as they were). The message and the field of the first that is wrong.
struct ForwardFieldError {
  std::string message;
  ForwardField field;
};
std::optional<ForwardFieldError> readForwardFields(const ForwardFieldTexts& texts, Survey survey, ForwardSettings& s);

// Points from first to last at spacing: the whole part of (last - first) / spacing, plus 1.
long long pointsAlong(double first, double last, double spacing);
// The cell of a coordinate along one axis: the first i with c <= nodes[i + 1], kept inside the mesh.
int cellAlong(const std::vector<double>& nodes, double c);

// The text of "obs.loc" (the two field lines for magnetics only; X outer loop).
std::string locationsText(const ForwardSettings& s, Survey survey, const RectMesh& mesh, const Grid2<int>& top,
                          bool activeMaskSet);

// The executable beside exeFolder first, then on the folders of path (":"
// separated); empty when there is none.
std::string findProgram(const std::string& name, const std::string& exeFolder, const std::string& path);

}  // namespace litho::forward
