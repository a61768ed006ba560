#pragma once
// The files of one export under their temporary names (NAME.partial beside NAME), so
// that nothing half-written ever carries a final name. Whatever is not kept when the
// object goes (a failure, a stop) is removed.
#include <string>
#include <vector>

class PendingFiles {
 public:
  explicit PendingFiles(std::vector<std::wstring> finals) : finals_(std::move(finals)) {}
  ~PendingFiles();
  PendingFiles(const PendingFiles&) = delete;
  PendingFiles& operator=(const PendingFiles&) = delete;

  static std::wstring PartialName(const std::wstring& path) { return path + L".partial"; }
  std::wstring Partial(size_t i) const { return PartialName(finals_[i]); }

  // Renames every file to its own name, the first last (a reader who sees it finds the
  // others); a failure removes those renamed already and throws.
  void Keep();

 private:
  std::vector<std::wstring> finals_;
  std::vector<std::wstring> renamed_;
};
