#include <windows.h>

#include "device/DeviceFile.h"
#include "foundation/BoundedText.h"
#include "foundation/Exception.h"
#include "foundation/PathLimits.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "restore/CardRestore.h"
#include "restore/ExtractCabinet.h"
#include "toolkit/FindResourceData_win.h"

namespace {

constexpr WORD kDeviceProgramId = 309;
const wchar_t kTempFolder[] = L"C:\\Temp";

// The temporary cabinet: made empty by the system, filled, and deleted on every path.
class TemporaryCabinet {
 public:
  TemporaryCabinet() {
    CreateDirectoryW(kTempFolder, nullptr);  // an existing folder is fine
    wchar_t name[MAX_PATH] = {};
    if (GetTempFileNameW(kTempFolder, L"cab", 0, name) == 0) throw IOException(LoadText(kTextNoTempFile));
    path_ = name;
  }
  ~TemporaryCabinet() { RemoveDeviceFile(path_); }
  TemporaryCabinet(const TemporaryCabinet&) = delete;
  TemporaryCabinet& operator=(const TemporaryCabinet&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

int64_t FileSize(const std::wstring& path) {
  DeviceFile file;
  return file.OpenForReading(path) ? file.Size() : -1;
}

// One file may have many spellings (letter case, short names, a doubled separator, a
// folder reached through another drive letter), so it is recognised by its volume and
// its index on that volume.
bool IsSameFile(const std::wstring& a, const std::wstring& b) {
  BY_HANDLE_FILE_INFORMATION info[2] = {};
  const std::wstring* paths[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    // No access asked: a running program or a file held open can still be identified.
    HANDLE h = CreateFileW(paths[i]->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const BOOL known = GetFileInformationByHandle(h, &info[i]);
    CloseHandle(h);
    if (!known) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

// The viewer's place in the chosen folder. A drive root comes from the folder chooser
// with its backslash ("E:\"), other folders without one; either way one separator.
std::wstring ViewerTarget(const std::wstring& folder) {
  return FormatBounded(kPathUnits, L"%ls\\%ls", WithoutTrailingSeparators(folder).c_str(),
                       LoadText(kTextExecutableName).c_str());
}

}  // namespace

void ExtractDeviceFiles(const std::wstring& drive) {
  const void* data = nullptr;
  size_t size = 0;
  try {
    data = FindResourceData(L"BINARY", MAKEINTRESOURCEW(kDeviceProgramId), &size);
  } catch (const Exception&) {
    throw Exception(LoadText(kTextNoDeviceProgram));
  }

  TemporaryCabinet cabinet;
  {
    DeviceFile file;
    if (!file.OpenForWriting(cabinet.path())) throw WindowException(static_cast<uint32_t>(GetLastError()));
    // A short temporary copy would only surface later as a "damaged cabinet"; say what
    // really went wrong.
    if (file.Write(data, size) != size) throw WindowException(static_cast<uint32_t>(GetLastError()));
    if (!file.Close()) throw WindowException(static_cast<uint32_t>(GetLastError()));
  }
  try {
    ExtractCabinet(cabinet.path(), drive);
  } catch (const Exception& e) {
    throw Exception(e.message);
  }
}

void CopyViewer(const std::wstring& drive) {
  // The module name may be longer than the classic path limit; take it whole.
  std::wstring self(kPathUnits, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, &self[0], static_cast<DWORD>(self.size()));
    if (n == 0) throw WindowException(static_cast<uint32_t>(GetLastError()));
    if (n < self.size()) {
      self.resize(n);
      break;
    }
    self.resize(self.size() * 2);
  }
  const int64_t size = FileSize(self);

  const std::wstring target = ViewerTarget(drive);
  if (!target.empty() && IsSameFile(target, self)) return;  // running from the card

  const bool copied = !target.empty() && size >= 0 && CopyFileW(self.c_str(), target.c_str(), FALSE);
  if (!copied || FileSize(target) != size) {
    if (!target.empty()) RemoveDeviceFile(target);
    throw IOException(LoadText(kTextSomeFilesFailed));
  }
}
