#pragma once
// The cell-faces file: one value per line, only the line's first number read
// ("%g"), in four blocks:
//   1. nx * ny * nz lines, one per cell, skipped without being parsed;
//   2. the X faces: j from 0 to ny - 1, i from 0 to nx - 2, k from 0 to nz - 1;
//   3. the Y faces: j from 0 to ny - 2, i from 0 to nx - 1, k from 0 to nz - 1;
//   4. the Z faces: j from 0 to ny - 1, i from 0 to nx - 1, k from 0 to nz - 2.
// Lines after the last block are ignored.
#include <string>

#include "core/io/line_source.h"
#include "core/platform/platform.h"
#include "core/store/arrays.h"

namespace litho {

struct FacesRange {
  float min = 1e30f;  // over the finite values; NaN and infinities take no part
  float max = -1e30f;
};

struct FacesReadSettings {
  int nx = 0, ny = 0, nz = 0;
  // Values are parsed on two threads when this is 2, or when it is 0, the
  // machine has two cores and the blocks are large.
  int threads = 0;
};

// Lines the file must hold at least, and the bytes they take at least.
long long facesFileLines(int nx, int ny, int nz);
long long minimumFacesBytes(int nx, int ny, int nz);

// Reads the three face blocks into x, y and z, allocated by the caller with
// the sizes above. On failure shows "Error reading faces file\n" + path
// (after the cause, with the line when it is known) and the arrays hold partial data.
bool readFacesFile(LineSource& in, const std::string& path, const FacesReadSettings& settings, ModelSet& x, ModelSet& y,
                   ModelSet& z, FacesRange& range, Platform& platform);

std::string facesReadError(const std::string& path);

}  // namespace litho
