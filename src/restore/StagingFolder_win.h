#pragma once
// A folder inside the destination where new files are written first and from where they
// replace the destination's files together, or not at all.
#include <cstddef>
#include <string>
#include <vector>

class StagingFolder {
 public:
  // Makes a fresh folder inside `destination` (no trailing backslash). IOException
  // "ターゲットファイルの書き込みに失敗しました。" when it cannot be made.
  explicit StagingFolder(const std::wstring& destination);
  // Removes the staged files that were not placed, and the folder when it is empty. A
  // destination file that could not be put back stays in it rather than being lost.
  ~StagingFolder();
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  // The path to write the new file `name` to; empty when it or the path the file will
  // have in the destination would not fit a path buffer.
  std::wstring Add(const std::wstring& name);

  // Moves every added file into the destination. A destination file of the same name is
  // moved aside into the staging folder first, as it is (attributes included), and
  // deleted only once every file has been placed. When any move fails, the files placed
  // so far are taken out again and the old ones put back, and the result is false.
  bool PlaceAll();

 private:
  struct Entry {
    std::wstring target;  // in the destination
    std::wstring staged;  // the new file until it is placed
    std::wstring aside;   // the destination's old file while the new ones are placed
    bool placed = false;
    bool movedAside = false;
  };
  bool Place(Entry& entry);
  void PutBack(size_t count);

  std::wstring destination_;
  std::wstring root_;
  std::wstring new_;  // staged files
  std::wstring old_;  // replaced files, the same length as new_
  std::vector<Entry> entries_;
};
