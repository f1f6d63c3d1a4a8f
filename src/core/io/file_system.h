#pragma once
#include <string>

namespace litho {

bool fileExists(const std::string& path);
// Anything at path, a folder or a pipe too (the load then says what it is).
bool pathExists(const std::string& path);
// Full path against the current folder, "." and ".." folded; the file need not exist.
std::string fullPath(const std::string& path);
// Everything before the last '/', or "" when there is none.
std::string folderOf(const std::string& path);
// Reads a whole file; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& out);

}  // namespace litho
