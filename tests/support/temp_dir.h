#pragma once
#include <string>

namespace litho::test {

// Puts back the current folder on destruction: loads change it.
class SavedFolder {
 public:
  SavedFolder();
  ~SavedFolder();
  SavedFolder(const SavedFolder&) = delete;
  SavedFolder& operator=(const SavedFolder&) = delete;

 private:
  std::string path_ = "/";
};

// A fresh folder under $TMPDIR, removed with everything in it on destruction,
// when the current folder is also put back.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes a file in the folder and returns its full path.
  std::string write(const std::string& name, const std::string& content) const;

 private:
  SavedFolder savedFolder_;
  std::string path_;
};

}  // namespace litho::test
