#include "core/io/element_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <sstream>

#include "core/io/file_system.h"
#include "core/io/scanf_number.h"
#include "core/load/memory.h"
#include "core/platform/printable.h"

namespace litho {

namespace {

// The shortest element: an empty name line and "0 0 0 1 1 1 0 0 1 0" with its line end.
constexpr long long kShortestElement = 21;

bool nextLine(LineSource& in, std::string& line) {
  std::string_view view;
  if (!in.nextLine(view)) return false;
  line.assign(view);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

int tokenCount(const std::string& line) {
  std::istringstream in(line);
  std::string t;
  int n = 0;
  while (in >> t) ++n;
  return n;
}

// Older files have no XY slope. The pattern is chosen by the number of fields:
// the eleven-field pattern would read "2.5" of an older line as an XY slope of
// 2 and a value of .5.
bool parseParameters(const std::string& line, Element& e) {
  int type = 0;
  bool ok;
  if (tokenCount(line) >= 11) {
    ok = std::sscanf(line.c_str(), "%i %i %i  %i %i %i  %i %i %i  %g  %i", &e.xIndex, &e.yIndex, &e.zIndex,
                     &e.xSize, &e.ySize, &e.zSize, &e.slopeX, &e.slopeY, &e.slopeXY, &e.value, &type) == 11;
  } else {
    e.slopeXY = 0;
    ok = std::sscanf(line.c_str(), "%i %i %i  %i %i %i  %i %i  %g  %i", &e.xIndex, &e.yIndex, &e.zIndex, &e.xSize,
                     &e.ySize, &e.zSize, &e.slopeX, &e.slopeY, &e.value, &type) == 10;
  }
  e.cuboid = type != 0;
  return ok;
}

// What the block editor can make: a block of size 0 ("set" with equal
// coordinates) may start on the mesh's last node (the Y index then one row
// south of the mesh).
bool fitsMesh(const Element& e, int nx, int ny, int nz) {
  const auto slope = [](int s) { return s >= -20 && s <= 20; };
  const auto axis = [](int index, int size, int n, int shift) {
    return size >= 1 ? index >= 0 && index < n : size == 0 && index >= -shift && index <= n - shift;
  };
  return axis(e.xIndex, e.xSize, nx, 0) && axis(e.yIndex, e.ySize, ny, 1) && axis(e.zIndex, e.zSize, nz, 0) &&
         slope(e.slopeX) && slope(e.slopeY) && slope(e.slopeXY);
}

// The elements, or nullopt with why holding the first line of the warning.
std::optional<std::vector<Element>> parseElementFile(LineSource& in, int nx, int ny, int nz, std::string& why) {
  const ClassicNumbers classic;
  std::string line;
  int count = -1;
  const auto fail = [&](const std::string& reason) {
    why = reason;
    return std::nullopt;
  };
  if (!nextLine(in, line) || std::sscanf(line.c_str(), "%i", &count) != 1 || count < 0)
    return fail("The first line should give the number of elements.\n");
  const long long remaining = in.remainingBytes();
  if (remaining >= 0 && count > (remaining + 1) / kShortestElement) return fail("Not enough elements.\n");
  std::vector<Element> elements;
  if (const auto shortfall = memoryShortfall(bytesOf(count, sizeof(Element))))
    return fail("Not enough memory for " + std::to_string(count) + " elements: " + *shortfall + ".\n");
  elements.reserve(static_cast<std::size_t>(count));
  for (int n = 0; n < count; ++n) {
    Element e;
    if (!nextLine(in, e.name)) return fail("Not enough elements.\n");
    if (!nextLine(in, line) || !parseParameters(line, e)) return fail(printable(line, 200) + "\n");
    if (!fitsMesh(e, nx, ny, nz)) return fail("Element \"" + printable(e.name, 200) + "\" lies outside the mesh.\n");
    elements.push_back(std::move(e));
  }
  return elements;
}

}  // namespace

std::optional<std::vector<Element>> readElementFile(LineSource& in, const std::string& path, int nx, int ny, int nz,
                                                    Platform& platform) {
  std::string why;
  auto elements = parseElementFile(in, nx, ny, nz, why);
  if (!elements)
    platform.message(sourceFailure(in) + why + "Error reading element file " + printable(path), MessageKind::Warning);
  return elements;
}

std::optional<std::vector<Element>> readElementFile(const std::string& text, const std::string& path, int nx, int ny,
                                                    int nz, Platform& platform) {
  LineSource in(text);
  return readElementFile(in, path, nx, ny, nz, platform);
}

bool isReadableElementFile(const std::string& path, int nx, int ny, int nz) {
  // Far more than the blocks anyone makes by hand.
  constexpr off_t kLargest = off_t{16} << 20;
  struct stat st {};
  std::string text, why;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kLargest || !readWholeFile(path, text))
    return false;
  LineSource in(text);
  return parseElementFile(in, nx, ny, nz, why).has_value();
}

}  // namespace litho
