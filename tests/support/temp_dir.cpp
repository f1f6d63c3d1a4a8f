#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace litho::test {

SavedFolder::SavedFolder() {
  char buf[4096];
  if (::getcwd(buf, sizeof buf)) {
    path_ = buf;
  } else {
    ADD_FAILURE() << "no current folder";
  }
}

SavedFolder::~SavedFolder() { EXPECT_EQ(::chdir(path_.c_str()), 0) << path_; }

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/litho-test-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, const std::string& content) const {
  const std::string p = path_ + "/" + name;
  std::filesystem::create_directories(std::filesystem::path(p).parent_path());
  std::ofstream(p, std::ios::binary) << content;
  return p;
}

}  // namespace litho::test
