#include "core/io/file_system.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace litho {

bool fileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool pathExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::string fullPath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  if (ec) return path;
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string folderOf(const std::string& path) {
  const auto pos = path.rfind('/');
  if (pos == std::string::npos) return {};
  if (pos == 0) return "/";
  return path.substr(0, pos);
}

bool readWholeFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return false;
  out = std::move(ss).str();
  return true;
}

}  // namespace litho
