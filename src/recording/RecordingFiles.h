#pragma once
// The few places where reading recordings meets the operating system. Everything else
// in this folder is portable and works through these functions.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "recording/ByteStream.h"

namespace recfiles {

// Opens an archive (or any file) for reading as raw bytes, with sharing that denies
// nothing: the recorder's card may be read or written by others meanwhile. Null when the
// file cannot be opened.
std::unique_ptr<IByteSource> OpenForReading(const std::wstring& path);

// The number of read calls made through sources of OpenForReading so far (for the
// benchmark's count of system calls).
uint64_t ReadCallCount();

// Creates a new, empty temporary file (prefix "obv" in the system's temporary folder)
// and records its name in `path`; false when no name could be made.
bool CreateTempFile(std::wstring& path);

// Opens `path` for writing as raw bytes, truncated, with sharing that denies reading and
// writing to others. Null when it cannot be opened.
std::unique_ptr<IByteSink> OpenForWriting(const std::wstring& path);

// Deletes a file; a failure (the file still open elsewhere, already gone) is ignored.
void DeleteQuietly(const std::wstring& path);

// The names of every entry of `folder`, in the order the file system gives them; false
// when the listing cannot start.
bool ListFolder(const std::wstring& folder, std::vector<std::wstring>& names);

// The character between a folder and a name in a path.
wchar_t PathSeparator();

// Whether two paths name the same file as the file system compares names: regardless of
// case on Windows, exactly elsewhere.
bool SamePath(const std::wstring& a, const std::wstring& b);

}  // namespace recfiles
