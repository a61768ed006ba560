#pragma once
// The few places where writing an export meets the operating system: a new file written
// at positions, a rename over an older file of the same name, a removal.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace exportfiles {

class RawFile {
 public:
  virtual ~RawFile() = default;
  // Writes all `size` bytes at `position`; false when the system wrote fewer.
  virtual bool WriteAt(int64_t position, const void* data, size_t size) = 0;
  // Flushes and closes; false when the system reports a failure.
  virtual bool Close() = 0;
};

// Creates `path` for writing (an existing file is truncated); null when it cannot.
std::unique_ptr<RawFile> Create(const std::wstring& path);

// Renames `from` to `to`, replacing a file of that name; false when it cannot.
bool Rename(const std::wstring& from, const std::wstring& to);

// Deletes a file; a failure (already gone) is ignored.
void Remove(const std::wstring& path);

}  // namespace exportfiles
