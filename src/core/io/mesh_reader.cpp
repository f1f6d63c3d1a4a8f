#include "core/io/mesh_reader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "core/load/memory.h"
#include "core/platform/printable.h"

namespace litho {

namespace {

constexpr std::size_t kMaxToken = 80;

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

// The characters of a LineSource with '\n' between lines, as a stream gives them.
class CharCursor {
 public:
  explicit CharCursor(LineSource& in) : in_(in) {}

  // The next character, or EOF at the end of the input (or of what could be read).
  int peek() {
    for (;;) {
      if (have_ && pos_ <= line_.size()) return pos_ < line_.size() ? static_cast<unsigned char>(line_[pos_]) : '\n';
      if (!in_.nextLine(line_)) {
        have_ = false;
        return EOF;
      }
      have_ = true;
      pos_ = 0;
    }
  }
  void advance() { ++pos_; }
  // The current line, once peek() returned a character of it.
  std::string_view line() const { return line_; }
  // Whitespace, line ends included.
  void skipSpace() {
    while (isSpace(peek())) advance();
  }
  // Up to and including the next line end.
  void skipLine() {
    if (peek() != EOF) pos_ = line_.size() + 1;
  }
  // The next run of non-blank characters; at most limit + 1 of them are taken.
  std::string token(std::size_t limit) {
    skipSpace();
    std::string t;
    for (int c; (c = peek()) != EOF && !isSpace(c) && t.size() <= limit; advance()) t += static_cast<char>(c);
    return t;
  }
  // What stream extraction of an int takes: a sign and decimal digits. Empty when there are no digits.
  std::string integer() {
    skipSpace();
    std::string t;
    if (peek() == '+' || peek() == '-') {
      t += static_cast<char>(peek());
      advance();
    }
    const std::size_t sign = t.size();
    bool cut = false;
    for (; isDigit(peek()); advance()) {
      if (t.size() < 40)
        t += static_cast<char>(peek());
      else
        cut = true;
    }
    if (t.size() == sign) return {};
    return cut ? t + "..." : t;
  }
  // What stream extraction of a double takes: [sign] digits [. digits] [e [sign] digits].
  bool real(double& value) {
    skipSpace();
    std::string t;
    const auto take = [&] {
      t += static_cast<char>(peek());
      advance();
    };
    const auto digits = [&] {
      std::size_t n = 0;
      for (; isDigit(peek()) && t.size() < 400; ++n) take();
      return n;
    };
    if (peek() == '+' || peek() == '-') take();
    std::size_t mantissa = digits();
    if (peek() == '.') {
      take();
      mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (peek() == 'e' || peek() == 'E') {
      take();
      if (peek() == '+' || peek() == '-') take();
      if (digits() == 0) return false;
    }
    value = std::strtod(t.c_str(), nullptr);
    return true;
  }

 private:
  LineSource& in_;
  std::string_view line_;
  std::size_t pos_ = 0;
  bool have_ = false;
};

// "%lf" on the leading part of s.
bool scanDouble(const std::string& s, double& value) { return std::sscanf(s.c_str(), "%lf", &value) == 1; }

// "%i" on the leading part of s (0x10 is 16, 010 is 8).
bool scanInt(const std::string& s, int& value) { return std::sscanf(s.c_str(), "%i", &value) == 1; }

// A count as text, saturated to long long.
long long countValue(const std::string& text) {
  errno = 0;
  return std::strtoll(text.c_str(), nullptr, 10);
}

class MeshParser {
 public:
  MeshParser(LineSource& in, const std::string& path, Platform& platform)
      : in_(in), cursor_(in), suffix_("Error reading mesh file\n" + printable(path)), platform_(platform) {}

  // A source that stopped early is the cause of whatever went wrong after.
  bool fail(const std::string& why) {
    const std::string stopped = sourceFailure(in_);
    platform_.message((stopped.empty() ? why : stopped) + suffix_, MessageKind::Error);
    return false;
  }

  bool read(RectMesh& mesh, const MeshLimits& limits);

 private:
  bool readWidths(int n, std::vector<double>& nodes, bool downward);

  LineSource& in_;
  CharCursor cursor_;
  std::string suffix_;
  Platform& platform_;
};

// Fills nodes[1..n] (nodes[0] holds the origin) with coordinates from n widths:
// eastward or northward, or downward from the top for depth, each with the
// round-off snap. A width that the coordinates cannot resolve is refused.
bool MeshParser::readWidths(int n, std::vector<double>& nodes, bool downward) {
  long long p = 1;
  double up = nodes[0];  // the list summed upward (depth is turned downward from it)
  std::string vanished, overflowed;
  const auto store = [&](double width, const std::string& token) {
    const double next = snapNode(up + width, up);
    const double node = downward ? snapNode(2 * nodes[0] - next, nodes[static_cast<std::size_t>(p) - 1]) : next;
    if (!std::isfinite(node)) {
      if (overflowed.empty()) overflowed = token;
    } else if (vanished.empty() && node == nodes[static_cast<std::size_t>(p) - 1]) {
      vanished = token;
    }
    up = next;
    nodes[static_cast<std::size_t>(p)] = node;
    ++p;
  };

  while (p <= n) {
    const std::string token = cursor_.token(kMaxToken);
    if (token.empty()) return fail("Not enough values.\n");
    if (token.size() > kMaxToken) return fail(printable(token, kMaxToken) + "\n");

    const auto star = token.find('*');
    if (star != std::string::npos) {
      int repeat = 0;
      double width = 0;
      if (!scanInt(token.substr(0, star), repeat) || !scanDouble(token.substr(star + 1), width) || repeat < 0 ||
          std::isinf(width))
        return fail(printable(token) + "\n");
      if (!(width > 0)) return fail("Cell width must be positive.\n" + printable(token) + "\n");
      // Repeats that run past the axis are dropped.
      for (long long q = 0; q < repeat && p <= n; ++q) store(width, token);
    } else {
      double width = 0;
      if (!scanDouble(token, width) || std::isinf(width)) return fail(printable(token) + "\n");
      if (!(width > 0)) return fail("Cell width must be positive.\n" + printable(token) + "\n");
      store(width, token);
    }
  }
  cursor_.skipLine();
  if (!overflowed.empty()) return fail("Mesh coordinates out of range.\n");
  if (!vanished.empty())
    return fail("Cell width is too small for the coordinates of the mesh.\n" + printable(vanished) + "\n");
  return true;
}

bool MeshParser::read(RectMesh& mesh, const MeshLimits& limits) {
  if (!in_.problem().empty()) return fail(in_.problem() + "\n");
  if (cursor_.peek() != EOF) {
    if (crOnlyLineEnds(cursor_.line())) return fail(kCrOnlyLineEnds);
    if (cursor_.line().find('\0') != std::string_view::npos)
      return fail("The file holds NUL bytes; it is not a text file.\n");
  }

  std::string text[3];
  for (auto& t : text)
    if ((t = cursor_.integer()).empty()) break;
  long long count[3] = {};
  for (int a = 0; a < 3; ++a) count[a] = text[a].empty() ? 0 : countValue(text[a]);
  if (count[0] < 1 || count[1] < 1 || count[2] < 1) return fail("Number of cells should be positive.\n");
  const auto product = [](long long a, long long b) { return a > kMaxCells || b > kMaxCells ? kMaxCells + 1 : a * b; };
  if (product(count[0], count[1]) > limits.maxCells || product(product(count[0], count[1]), count[2]) > limits.maxCells)
    return fail("The mesh has too many cells: " + text[0] + " x " + text[1] + " x " + text[2] + ".\n");
  const int nx = static_cast<int>(count[0]), ny = static_cast<int>(count[1]), nz = static_cast<int>(count[2]);
  // The nodes, one model and the active-cell counts: what a load allocates at least.
  const unsigned long long bytes =
      (3ULL + nx + ny + nz) * sizeof(double) + bytesOf(nx, ny, nz, sizeof(float)) + bytesOf(nx, ny, sizeof(int));
  if (const auto why = memoryShortfall(bytes, limits.maxBytes)) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "Not enough memory for a model of %i x %i x %i cells: ", nx, ny, nz);
    return fail(buf + *why + ".\n");
  }
  cursor_.skipLine();

  RectMesh m;
  m.nx = nx;
  m.ny = ny;
  m.nz = nz;
  try {
    m.xNodes.assign(static_cast<std::size_t>(nx) + 1, 0.0);
    m.yNodes.assign(static_cast<std::size_t>(ny) + 1, 0.0);
    m.zNodes.assign(static_cast<std::size_t>(nz) + 1, 0.0);
  } catch (const std::bad_alloc&) {
    return fail("Not enough memory for the mesh.\n");
  }

  if (!cursor_.real(m.xNodes[0]) || !cursor_.real(m.yNodes[0]) || !cursor_.real(m.zNodes[0]))
    return fail("Expecting: x0 y0 z0 of the top south-west corner.\n");
  if (!std::isfinite(m.xNodes[0]) || !std::isfinite(m.yNodes[0]) || !std::isfinite(m.zNodes[0]))
    return fail("Mesh coordinates out of range.\n");
  cursor_.skipLine();

  if (!readWidths(nx, m.xNodes, false) || !readWidths(ny, m.yNodes, false) || !readWidths(nz, m.zNodes, true))
    return false;
  mesh = std::move(m);
  return true;
}

}  // namespace

bool readMeshFile(LineSource& in, const std::string& path, RectMesh& mesh, Platform& platform,
                  const MeshLimits& limits) {
  mesh.release();
  return MeshParser(in, path, platform).read(mesh, limits);
}

bool readMeshText(const std::string& text, const std::string& path, RectMesh& mesh, Platform& platform,
                  const MeshLimits& limits) {
  LineSource in(text);
  return readMeshFile(in, path, mesh, platform, limits);
}

}  // namespace litho
