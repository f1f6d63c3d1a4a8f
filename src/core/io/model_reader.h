#pragma once
// Model files: one value per line ("%g"), or three for a vector model
// ("%lg %lg %lg"), northing outermost, then easting, depth fastest from the
// top; an optional first line "models N [west east south north bottom top]".
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/store/arrays.h"
#include "core/store/model_store.h"
#include "core/load/document_ui.h"
#include "core/io/line_source.h"
#include "core/platform/platform.h"

namespace litho {


struct ModelFileHeader {
  bool present = false;  // the first line starts with "models"
  int modelCount = 1;
  std::array<int, 6> coreOffsets{};  // west, east, south, north, bottom, top
  bool offsetsValid = false;
  // The offsets by Side (the file writes bottom before top).
  SideCounts sideOffsets() const {
    const auto& o = coreOffsets;
    return offsetsValid ? SideCounts{o[0], o[1], o[2], o[3], o[5], o[4]} : SideCounts{};
  }
};

// Reads the header from the first line. A line that does not start with
// "models" gives the default header. A header without a usable model count,
// or with core offsets that leave no core inside an nx x ny x nz mesh, is
// reported (path appended) and gives nothing.
std::optional<ModelFileHeader> parseModelFileHeader(std::string_view firstLine, int nx, int ny, int nz,
                                                    const std::string& path, Platform& platform);

struct ModelReadSettings {
  int nx = 0, ny = 0, nz = 0;
  int modelCount = 1;
  std::array<int, 6> coreOffsets{};
  bool offsetsValid = false;
  bool log = false;
  bool tq5rMode = false;
  // Scalar reads parse each block on two threads when this is 2, or when it
  // is 0, the machine has two cores and the block is large.
  int threads = 0;
};

// Ranges of a scalar read. Values that are not finite (files write "nan" for
// cells without data) take no part.
struct ScalarRange {
  float smallest = kNoDataValue;
  float secondSmallest = kNoDataValue;  // smallest value strictly greater than smallest
  float largest = -kNoDataValue;
};

struct VectorRange {
  double minimum = static_cast<double>(kNoDataValue);  // smallest amplitude
  double maximum = -static_cast<double>(kNoDataValue);
};

// Reads settings.modelCount sets into sets[0..modelCount-1] (allocated by the
// caller) from the current position of in. On failure the message is shown
// and the sets hold partial data.
bool readModelFile(LineSource& in, const std::string& path, const ModelReadSettings& settings, ModelSet* sets,
                   ScalarRange& range, Platform& platform, DocumentUi& ui);

// Amplitudes into amplitude[], unit components into x[], y[], z[].
bool readVectorFile(LineSource& in, const std::string& path, const ModelReadSettings& settings,
                    ModelSet* amplitude, ModelSet* x, ModelSet* y, ModelSet* z, VectorRange& range,
                    Platform& platform, DocumentUi& ui);

// The smallest number of bytes a file needs for the value lines of the settings.
long long minimumModelBytes(const ModelReadSettings& settings);

// Why the log conversion refused the value on the line [begin, end): the usual
// "Cannot take log of a negative number.\n", or, for a positive number too
// small for single precision, that it reads as 0.
std::string logRefusal(const char* begin, const char* end);

}  // namespace litho
