#pragma once
#include <unistd.h>

#include <string>

namespace litho::test {

// Loads change the current folder; this puts it back.
class SavedFolder {
 public:
  SavedFolder() {
    char buf[4096];
    path_ = ::getcwd(buf, sizeof buf) ? buf : "/";
  }
  ~SavedFolder() { (void)!::chdir(path_.c_str()); }
  SavedFolder(const SavedFolder&) = delete;
  SavedFolder& operator=(const SavedFolder&) = delete;

 private:
  std::string path_;
};

}  // namespace litho::test
