#pragma once
// A fresh folder for one test, removed with everything in it afterwards.
#include <filesystem>
#include <string>

class TempDir {
 public:
  TempDir();
  // The same under `base` instead of the system's temporary folder.
  explicit TempDir(const std::filesystem::path& base);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Where folders a test shows in the folder chooser are made. Under Wine the chooser
// matches each folder of a path against the tree it built when it first opened that
// level, times of the last change included. The temporary folder changes whenever another
// test makes or removes its folder there, and a chooser open meanwhile never finds a
// folder below it again. At the root of C: (a drive carries no time) a test's folder
// changes only with its own files.
inline std::filesystem::path ChooserTempBase() {
#ifdef _WIN32
  return L"C:\\";
#else
  return std::filesystem::temp_directory_path();
#endif
}
