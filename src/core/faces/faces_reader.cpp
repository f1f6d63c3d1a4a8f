#include "core/faces/faces_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

#include "core/io/line_scan.h"
#include "core/io/scanf_number.h"
#include "core/platform/printable.h"

namespace litho {

namespace {

// One block of faces: ni x nj columns of nk values, stored as a ModelSet.
struct FaceGrid {
  ModelSet* set;
  int ni, nj, nk;
  long long lines() const { return static_cast<long long>(ni) * nj * nk; }
};

using FaceGrids = std::array<FaceGrid, 3>;

// Where each value line goes, from line index `line` of the face blocks on:
// in file order, northing outermost, then easting, then depth.
class FaceWalker {
 public:
  FaceWalker(const FaceGrids& grids, long long line) : grids_(grids) {
    while (g_ < 3 && line >= grids_[g_].lines()) line -= grids_[g_++].lines();
    if (g_ == 3) return;
    const FaceGrid& f = grids_[g_];
    const long long column = line / f.nk;
    left_ = f.nk - static_cast<int>(line % f.nk);
    j_ = static_cast<int>(column / f.ni);
    i_ = static_cast<int>(column % f.ni);
    cell_ = f.set->column(i_, j_) + (f.nk - left_);
  }
  float* next() {
    if (left_ == 0) {
      if (++i_ == grids_[g_].ni) {
        i_ = 0;
        if (++j_ == grids_[g_].nj) {
          j_ = 0;
          do ++g_;
          while (grids_[g_].lines() == 0);
        }
      }
      cell_ = grids_[g_].set->column(i_, j_);
      left_ = grids_[g_].nk;
    }
    --left_;
    return cell_++;
  }

 private:
  const FaceGrids& grids_;
  std::size_t g_ = 0;
  int i_ = 0, j_ = 0, left_ = 0;
  float* cell_ = nullptr;
};

// Up to maxLines value lines of [begin, end), stored from face line firstLine on.
struct FacePart : BlockPart {
  long long parsed = 0;
  bool noNumber = false;  // the line after the parsed ones holds no number
  FacesRange range;
};

void parseFacePart(FacePart& part, const char* readable, const FaceGrids& grids) {
  LineScanner lines(part.begin, part.end, readable);
  FaceWalker cells(grids, part.firstLine);
  float lo = part.range.min, hi = part.range.max;
  long long n = 0;
  const char *b, *e;
  for (; n < part.maxLines && lines.next(b, e); ++n) {
    float v;
    if (!scanFloatFast(b, e, readable, v)) {
      part.noNumber = true;
      break;
    }
    if (std::isfinite(v)) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    *cells.next() = v;
  }
  part.parsed = n;
  part.range = {lo, hi};
}

// Past n lines from p (fewer when [p, end) holds fewer; n counts down), at the
// speed of memory: the newlines of 64-byte windows are counted, not looked at one by one.
const char* skipLines(const char* p, const char* end, const char* readable, long long& n) {
#ifdef __SSE2__
  while (n > 0 && end - p >= 64 && readable - p >= 64) {
    std::uint64_t m = newlineBits(p);
    const int c = __builtin_popcountll(m);
    if (c < n) {
      n -= c;
      p += 64;
      continue;
    }
    for (long long t = 1; t < n; ++t) m &= m - 1;
    n = 0;
    return p + __builtin_ctzll(m) + 1;
  }
#else
  (void)readable;
#endif
  while (n > 0 && p < end) {
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    --n;
    if (!nl) return end;  // the last line of the input, without its '\n'
    p = nl + 1;
  }
  return p;
}

std::string countText(long long n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

}  // namespace

std::string facesReadError(const std::string& path) { return "Error reading faces file\n" + printable(path); }

long long facesFileLines(int nx, int ny, int nz) {
  const long long x = nx, y = ny, z = nz;
  return x * y * z + (x - 1) * y * z + x * (y - 1) * z + x * y * (z - 1);
}

long long minimumFacesBytes(int nx, int ny, int nz) {
  // Cell lines may be empty; face lines hold a digit at least.
  const long long cells = static_cast<long long>(nx) * ny * nz;
  const long long faces = facesFileLines(nx, ny, nz) - cells;
  return faces > 0 ? cells + 2 * faces - 1 : cells - 1;
}

bool readFacesFile(LineSource& in, const std::string& path, const FacesReadSettings& s, ModelSet& x, ModelSet& y,
                   ModelSet& z, FacesRange& range, Platform& platform) {
  range = FacesRange{};
  const FaceGrids grids{FaceGrid{&x, s.nx - 1, s.ny, s.nz}, FaceGrid{&y, s.nx, s.ny - 1, s.nz},
                        FaceGrid{&z, s.nx, s.ny, s.nz - 1}};
  const long long cells = static_cast<long long>(s.nx) * s.ny * s.nz;
  const long long total = grids[0].lines() + grids[1].lines() + grids[2].lines();
  auto fail = [&](const std::string& detail) {
    platform.message(sourceFailure(in) + facesReadError(path) + detail, MessageKind::Error);
    return false;
  };
  auto tooShort = [&](long long lines) {
    return fail("\nThe file ends after " + countText(lines, "line") + "; it needs " + countText(cells, "cell line") +
                " and then " + countText(total, "face line") + ".");
  };

  const char *b = nullptr, *e = nullptr, *readable = nullptr;
  long long skip = cells;
  while (skip > 0) {
    if (!in.nextBlock(b, e)) return tooShort(cells - skip);
    readable = in.readableEnd();
    b = skipLines(b, e, readable, skip);
  }

  std::unique_ptr<HelperThread> helper;
  FacesRange r;
  double share = 0.45;  // of each block for this thread, which also reads the next block
  long long done = 0;
  while (done < total) {
    if (b == e) {
      if (!in.nextBlock(b, e)) return tooShort(cells + done);
      readable = in.readableEnd();
    }
    FacePart parts[2];
    const int count = splitBlock(parts[0], parts[1], b, e, readable, done, total, share, s.threads);
    const auto start = SteadyClock::now();
    double helperSeconds = 0;
    if (count == 2) {
      if (!helper) helper = std::make_unique<HelperThread>();
      helper->start([&] {
        parseFacePart(parts[1], readable, grids);
        helperSeconds = secondsBetween(start, SteadyClock::now());
      });
    }
    parseFacePart(parts[0], readable, grids);
    const auto parsed = SteadyClock::now();
    // This block stays valid while the next one is read.
    const char *nb = nullptr, *ne = nullptr, *nr = nullptr;
    const bool needMore = count == 2 || parts[0].parsed < parts[0].maxLines;
    const bool nextHave = !parts[0].noNumber && needMore && in.nextBlock(nb, ne);
    if (nextHave) nr = in.readableEnd();
    if (count == 2) {
      const double readSeconds = secondsBetween(parsed, SteadyClock::now());
      helper->wait();
      share = balancedShare(share, secondsBetween(start, parsed), helperSeconds, readSeconds);
    }
    for (int q = 0; q < count; ++q) {
      const FacePart& part = parts[q];
      done += part.parsed;
      r.min = std::min(r.min, part.range.min);
      r.max = std::max(r.max, part.range.max);
      if (part.noNumber) return fail("\nline " + std::to_string(cells + done + 1) + ": no number");
      if (part.parsed < part.maxLines) break;  // the block ended first
    }
    if (done == total) break;
    if (!nextHave) {
      if (in.failed()) return fail({});
      return tooShort(cells + done);
    }
    b = nb;
    e = ne;
    readable = nr;
  }
  range = r;
  return true;
}

}  // namespace litho
