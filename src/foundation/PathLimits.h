#pragma once
// The length of the path buffers Windows calls fill (every path the program builds must
// fit one, terminator included), and joining a name to a chosen folder.
#include <cstddef>
#include <string>

constexpr size_t kPathUnits = 260;

// A folder as it may come from a chooser: a drive root keeps its separator ("E:\"),
// other folders have none. Without trailing separators it joins a name with exactly one.
inline std::wstring WithoutTrailingSeparators(std::wstring folder) {
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}
