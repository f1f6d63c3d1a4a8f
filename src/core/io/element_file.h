#pragma once
// The element file (model path + "_loc"): the block editor's elements, a count
// line, then per element a name line and a parameter line
// "%i %i %i  %i %i %i  %i %i %i  %g  %i" (older files lack the XY slope).
#include <optional>
#include <string>
#include <vector>

#include "core/edit/element.h"
#include "core/io/line_source.h"
#include "core/platform/platform.h"

namespace litho {

// Reads the element file for an nx x ny x nz mesh line by line. A malformed
// file is reported with a warning (path appended) and gives nothing.
std::optional<std::vector<Element>> readElementFile(LineSource& in, const std::string& path, int nx, int ny, int nz,
                                                    Platform& platform);
// The same for element file text held in memory.
std::optional<std::vector<Element>> readElementFile(const std::string& text, const std::string& path, int nx,
                                                     int ny, int nz, Platform& platform);

// Whether the file at path is an element file of an nx x ny x nz mesh, the
// program would read without a warning; no message. False for anything that
// is not a regular file, so that nothing blocks or runs out of memory.
bool isReadableElementFile(const std::string& path, int nx, int ny, int nz);

}  // namespace litho
