#include "core/io/model_reader.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>

#include "core/io/line_scan.h"
#include "core/load/progress.h"
#include "core/io/scanf_number.h"
#include "core/platform/printable.h"

namespace litho {

namespace {

// Index bounds of the cells stored in the file.
struct Core {
  int iLo, iHi, jLo, jHi, kLo, kHi;
  Core(const ModelReadSettings& s) {
    const auto& o = s.coreOffsets;
    const bool v = s.offsetsValid;
    iLo = v ? o[0] : 0;
    iHi = s.nx - (v ? o[1] : 0) - 1;
    jLo = v ? o[2] : 0;
    jHi = s.ny - (v ? o[3] : 0) - 1;
    kLo = v ? o[5] : 0;
    kHi = s.nz - (v ? o[4] : 0) - 1;
  }
  bool holdsColumn(int i, int j) const { return i >= iLo && i <= iHi && j >= jLo && j <= jHi; }
  long long cells() const {
    return static_cast<long long>(std::max(0, iHi - iLo + 1)) * std::max(0, jHi - jLo + 1) *
           std::max(0, kHi - kLo + 1);
  }
};

// The value lines of a whole read, block by block.
class LineCursor {
 public:
  explicit LineCursor(LineSource& in) : in_(in), scanner_(nullptr, nullptr, nullptr) {}
  bool next(const char*& begin, const char*& end) {
    while (!scanner_.next(begin, end)) {
      const char *b, *e;
      if (!in_.nextBlock(b, e)) return false;
      scanner_ = LineScanner(b, e, in_.readableEnd());
    }
    return true;
  }

 private:
  LineSource& in_;
  LineScanner scanner_;
};

// Where each stored line goes: the cells of the core, column after column in file order.
class CellWalker {
 public:
  CellWalker(const Core& core, ModelSet* sets, long long line) : core_(core), sets_(sets) {
    const int nk = core.kHi - core.kLo + 1, ni = core.iHi - core.iLo + 1, nj = core.jHi - core.jLo + 1;
    long long column = line / nk;
    left_ = nk - static_cast<int>(line % nk);
    m_ = static_cast<int>(column / (static_cast<long long>(ni) * nj));
    column %= static_cast<long long>(ni) * nj;
    j_ = core.jLo + static_cast<int>(column / ni);
    i_ = core.iLo + static_cast<int>(column % ni);
    cell_ = left_ > 0 && m_ >= 0 ? sets_[m_].column(i_, j_) + core.kHi + 1 - left_ : nullptr;
  }
  float* next() {
    if (left_ == 0) {
      if (++i_ > core_.iHi) {
        i_ = core_.iLo;
        if (++j_ > core_.jHi) {
          j_ = core_.jLo;
          ++m_;
        }
      }
      cell_ = sets_[m_].column(i_, j_) + core_.kLo;
      left_ = core_.kHi - core_.kLo + 1;
    }
    --left_;
    return cell_++;
  }

 private:
  const Core& core_;
  ModelSet* sets_;
  int m_, j_, i_, left_;
  float* cell_;
};

enum class LineError { None, NoNumber, LogOfNegative };

// The values of up to maxLines lines of [begin, end), stored from line index firstLine on.
struct ScalarPart : BlockPart {
  long long parsed = 0;
  LineError error = LineError::None;
  const char* errorLine = nullptr;  // the line refused, [errorLine, errorLineEnd)
  const char* errorLineEnd = nullptr;
  ScalarRange range;
};

void parseScalarPart(ScalarPart& part, const char* readable, const Core& core, ModelSet* sets, bool log,
                     bool tq5rMode) {
  LineScanner lines(part.begin, part.end, readable);
  CellWalker cells(core, sets, part.firstLine);
  float smallest = part.range.smallest, second = part.range.secondSmallest, largest = part.range.largest;
  long long n = 0;
  const char *b, *e;
  for (; n < part.maxLines && lines.next(b, e); ++n) {
    float v;
    if (!scanFloatFast(b, e, readable, v)) {
      part.error = LineError::NoNumber;
      break;
    }
    if (log) {
      if (v > 0) {
        v = std::log10(v);
      } else if (v <= 0) {
        if (!tq5rMode) {
          part.error = LineError::LogOfNegative;
          part.errorLine = b;
          part.errorLineEnd = e;
          break;
        }
        v = std::log10(-v);
      }
    }
    if (std::isfinite(v)) {
      if (v > largest) largest = v;
      if (v < smallest) {
        second = smallest;
        smallest = v;
      } else if (v > smallest && v < second) {
        second = v;
      }
    }
    *cells.next() = v;
  }
  part.parsed = n;
  part.range = ScalarRange{smallest, second, largest};
}

// The ranges of two runs of values as if they were one.
ScalarRange merge(const ScalarRange& a, const ScalarRange& b) {
  ScalarRange r;
  r.smallest = std::min(a.smallest, b.smallest);
  r.secondSmallest = kNoDataValue;
  for (const float x : {a.smallest, a.secondSmallest, b.smallest, b.secondSmallest})
    if (x > r.smallest && x < r.secondSmallest) r.secondSmallest = x;
  r.largest = std::max(a.largest, b.largest);
  return r;
}

// Column of the file order (padding included) that line index `line` falls in.
long long columnsBefore(const Core& core, const ModelReadSettings& s, long long line) {
  const int nk = core.kHi - core.kLo + 1, ni = core.iHi - core.iLo + 1, nj = core.jHi - core.jLo + 1;
  const long long column = line / nk;
  const long long perSet = static_cast<long long>(ni) * nj;
  const long long m = column / perSet, rest = column % perSet;
  const long long j = core.jLo + rest / ni, i = core.iLo + rest % ni;
  return (m * s.ny + j) * s.nx + i;
}

std::string readFailure(const LineSource& in, const std::string& what, const std::string& path) {
  return sourceFailure(in) + what + printable(path);
}

}  // namespace

std::optional<ModelFileHeader> parseModelFileHeader(std::string_view firstLine, int nx, int ny, int nz,
                                                    const std::string& path, Platform& platform) {
  ModelFileHeader h;
  if (firstLine.substr(0, 6) != "models") return h;
  h.present = true;
  const std::string line(firstLine);
  long long v[7] = {};
  int n = std::sscanf(line.c_str(), "%*s %lli %lli %lli %lli %lli %lli %lli", &v[0], &v[1], &v[2], &v[3], &v[4],
                      &v[5], &v[6]);
  if (n < 0) n = 0;
  const std::string suffix = "Error reading model file " + printable(path);
  if (n < 1) {
    platform.message("The \"models\" line gives no number of models.\n" + suffix, MessageKind::Error);
    return std::nullopt;
  }
  if (v[0] < 1 || v[0] > INT_MAX) {
    platform.message((v[0] < 1 ? "Number of models should be positive.\n" : "Too many models.\n") + suffix,
                     MessageKind::Error);
    return std::nullopt;
  }
  h.modelCount = static_cast<int>(v[0]);
  if (n == 7) {
    const long long w = v[1], e = v[2], s = v[3], no = v[4], b = v[5], t = v[6];
    const auto count = [](long long c) { return c >= 0 && c <= INT_MAX; };
    const bool fits = count(w) && count(e) && count(s) && count(no) && count(b) && count(t) && w + e < nx &&
                      s + no < ny && b + t < nz;
    if (!fits) {
      char buf[200];
      std::snprintf(buf, sizeof buf, "Core offsets %lld %lld %lld %lld %lld %lld do not fit the mesh.\n", w, e, s,
                    no, b, t);
      platform.message(buf + suffix, MessageKind::Error);
      return std::nullopt;
    }
    for (int q = 0; q < 6; ++q) h.coreOffsets[static_cast<std::size_t>(q)] = static_cast<int>(v[q + 1]);
    h.offsetsValid = true;
  }
  return h;
}

std::string logRefusal(const char* begin, const char* end) {
  double v = 0;
  if (scanDouble(begin, end, v) && v > 0 && static_cast<float>(v) == 0) {
    while (begin != end && scan_detail::isBlank(*begin)) ++begin;
    const char* t = begin;
    while (t != end && !scan_detail::isBlank(*t)) ++t;
    return "Cannot take log of " + printable(std::string_view(begin, static_cast<std::size_t>(t - begin)), 40) +
           ": the value is too small for a single-precision number and reads as 0.\n";
  }
  return "Cannot take log of a negative number.\n";
}

long long minimumModelBytes(const ModelReadSettings& settings) {
  const long long lines = Core(settings).cells() * settings.modelCount;
  return lines > 0 ? 2 * lines - 1 : 0;
}

bool readModelFile(LineSource& in, const std::string& path, const ModelReadSettings& s, ModelSet* sets,
                   ScalarRange& range, Platform& platform, DocumentUi& ui) {
  range = ScalarRange{};
  ProgressReporter progress(ui, path);
  const long long allColumns = static_cast<long long>(s.nx) * s.ny * s.modelCount;
  progress.setTotal(static_cast<double>(allColumns));
  progress.report(0);
  const std::string readError = "Error reading model file ";

  const Core core(s);
  // Cells outside the core read as 0.
  if (s.offsetsValid) {
    for (int m = 0; m < s.modelCount; ++m)
      for (int j = 0; j < s.ny; ++j)
        for (int i = 0; i < s.nx; ++i) {
          float* col = sets[m].column(i, j);
          if (!core.holdsColumn(i, j)) {
            std::fill(col, col + s.nz, 0.0f);
          } else {
            std::fill(col, col + core.kLo, 0.0f);
            std::fill(col + core.kHi + 1, col + s.nz, 0.0f);
          }
        }
  }

  const long long total = core.cells() * s.modelCount;
  std::unique_ptr<HelperThread> helper;
  long long done = 0, reported = 0;
  ScalarRange r;
  double share = 0.45;  // of each block for this thread, which also reads the next block
  const char *b = nullptr, *e = nullptr, *readable = nullptr;
  bool have = in.nextBlock(b, e);
  if (have) readable = in.readableEnd();
  while (done < total) {
    if (!have) {
      platform.message(readFailure(in, readError, path), MessageKind::Error);
      return false;
    }
    ScalarPart parts[2];
    const int count = splitBlock(parts[0], parts[1], b, e, readable, done, total, share, s.threads);
    const auto start = SteadyClock::now();
    double helperSeconds = 0;
    if (count == 2) {
      if (!helper) helper = std::make_unique<HelperThread>();
      helper->start([&] {
        parseScalarPart(parts[1], readable, core, sets, s.log, s.tq5rMode);
        helperSeconds = secondsBetween(start, SteadyClock::now());
      });
    }
    parseScalarPart(parts[0], readable, core, sets, s.log, s.tq5rMode);
    const auto parsed = SteadyClock::now();
    // This block stays valid while the next one is read.
    const char *nb = nullptr, *ne = nullptr, *nr = nullptr;
    const bool nextHave = parts[0].error == LineError::None && in.nextBlock(nb, ne);
    if (nextHave) nr = in.readableEnd();
    if (count == 2) {
      const double readSeconds = secondsBetween(parsed, SteadyClock::now());
      helper->wait();
      share = balancedShare(share, secondsBetween(start, parsed), helperSeconds, readSeconds);
    }
    for (int q = 0; q < count; ++q) {
      const ScalarPart& part = parts[q];
      if (part.error == LineError::NoNumber) {
        platform.message(readError + printable(path), MessageKind::Error);
        return false;
      }
      if (part.error == LineError::LogOfNegative) {
        platform.message(logRefusal(part.errorLine, part.errorLineEnd) + readError + printable(path),
                         MessageKind::Error);
        return false;
      }
      r = merge(r, part.range);
      done += part.parsed;
    }
    const long long columns = done == total ? allColumns : columnsBefore(core, s, done);
    while (reported < columns) progress.report(static_cast<double>(++reported));
    have = nextHave;
    b = nb;
    e = ne;
    readable = nr;
  }
  while (reported < allColumns) progress.report(static_cast<double>(++reported));
  range = r;
  if (s.modelCount > 1) {
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "%i models have been read from model file.\nUse <Shift>-<left> and <Shift>-<right> to switch "
                  "between them.",
                  s.modelCount);
    platform.message(buf, MessageKind::Info);
  }
  return true;
}

bool readVectorFile(LineSource& in, const std::string& path, const ModelReadSettings& s, ModelSet* amplitude,
                    ModelSet* x, ModelSet* y, ModelSet* z, VectorRange& range, Platform& platform,
                    DocumentUi& ui) {
  if (s.log)
    platform.message(
        "Note that vectors will NOT be plotted on a log10 scale.\nClick on the \"Lg\" botton to have the colorbar "
        "values displayed correctly.",
        MessageKind::Plain);
  range = VectorRange{};
  ProgressReporter progress(ui, path);
  progress.setTotal(static_cast<double>(s.nx) * s.ny * s.modelCount);
  progress.report(0);

  const Core core(s);
  LineCursor cursor(in);
  double lo = range.minimum, hi = range.maximum;
  long long columns = 0;
  const std::string readError = "Error reading vector file ";

  for (int m = 0; m < s.modelCount; ++m) {
    for (int j = 0; j < s.ny; ++j) {
      for (int i = 0; i < s.nx; ++i) {
        float* a = amplitude[m].column(i, j);
        float* cx = x[m].column(i, j);
        float* cy = y[m].column(i, j);
        float* cz = z[m].column(i, j);
        for (int k = 0; k < s.nz; ++k) {
          if (!core.holdsColumn(i, j) || k < core.kLo || k > core.kHi) {
            a[k] = cx[k] = cy[k] = cz[k] = 0.0f;
            continue;
          }
          const char *q, *e;
          if (!cursor.next(q, e)) {
            platform.message(readFailure(in, readError, path), MessageKind::Error);
            return false;
          }
          double c[3];
          int n = 0;
          for (; n < 3; ++n) {
            const char* r = scanDouble(q, e, c[n]);
            if (!r) break;
            q = r;
          }
          if (n < 3) {
            platform.message(readError + printable(path), MessageKind::Error);
            return false;
          }
          if (c[0] == 0 && c[1] == 0 && c[2] == 0) {
            a[k] = cx[k] = cy[k] = cz[k] = 0.0f;
            continue;
          }
          double amp = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
          // Squares that underflow or overflow would give unit components of 0/0 or x/inf.
          if (amp == 0 || std::isinf(amp)) amp = std::hypot(c[0], c[1], c[2]);
          cx[k] = static_cast<float>(c[0] / amp);
          cy[k] = static_cast<float>(c[1] / amp);
          cz[k] = static_cast<float>(c[2] / amp);
          if (!s.log) amp = std::log10(amp);
          const float af = static_cast<float>(amp);
          if (std::isfinite(af)) {
            if (af < lo) lo = af;
            if (af > hi) hi = af;
          }
          a[k] = af;
        }
        progress.report(static_cast<double>(++columns));
      }
    }
  }
  range = VectorRange{lo, hi};
  if (s.modelCount > 1) {
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "%i models have been read from vector file.\nUse <Shift>-<left> and <Shift>-<right> to switch "
                  "between them.",
                  s.modelCount);
    platform.message(buf, MessageKind::Info);
  }
  return true;
}

}  // namespace litho
