#include "restore/ExtractCabinet.h"

#include <windows.h>
// After windows.h: the decompressor's interface uses its types.
#include <fcntl.h>
#include <fdi.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "device/DeviceFile.h"
#include "foundation/Exception.h"
#include "foundation/PathLimits.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "restore/CabinetNames.h"
#include "restore/StagingFolder_win.h"

namespace {

constexpr INT_PTR kNoFile = -1;

struct ExtractedFile {
  std::wstring name;     // in the destination
  std::wstring staging;  // where it is written until the whole cabinet has succeeded
  int32_t size = 0;   // as the cabinet announces it
  uint16_t date = 0;  // MS-DOS date and time
  uint16_t time = 0;
  INT_PTR fd = kNoFile;  // open while the decompressor writes it
  int64_t written = 0;
};

struct ExtractionContext {
  explicit ExtractionContext(StagingFolder& folder) : staging(folder) {}
  // A member the decompressor left open cannot be deleted from the staging folder.
  ~ExtractionContext() {
    for (const ExtractedFile& f : extracted)
      if (f.fd != kNoFile) _close(static_cast<int>(f.fd));
  }
  ExtractionContext(const ExtractionContext&) = delete;
  ExtractionContext& operator=(const ExtractionContext&) = delete;

  StagingFolder& staging;
  std::vector<ExtractedFile> extracted;
  // A failure judged by the extractor itself; it explains the abort better than the
  // decompressor's code (which only says that the notification refused).
  unsigned failureText = 0;
};

// The decompressor's file callbacks carry no user value, but the writes have to be
// counted per file: the extraction running on this thread is found here.
thread_local ExtractionContext* t_current = nullptr;

class CurrentExtraction {
 public:
  explicit CurrentExtraction(ExtractionContext& context) { t_current = &context; }
  ~CurrentExtraction() { t_current = nullptr; }
  CurrentExtraction(const CurrentExtraction&) = delete;
  CurrentExtraction& operator=(const CurrentExtraction&) = delete;
};

ExtractedFile* FileOf(INT_PTR fd) {
  if (t_current == nullptr || fd == kNoFile) return nullptr;
  for (ExtractedFile& f : t_current->extracted)
    if (f.fd == fd) return &f;
  return nullptr;
}

FNALLOC(AllocateCallback) { return std::malloc(cb); }
FNFREE(FreeCallback) { std::free(pv); }

FNOPEN(OpenCallback) { return _sopen(pszFile, oflag, _SH_DENYNO, pmode); }

FNREAD(ReadCallback) { return static_cast<UINT>(_read(static_cast<int>(hf), pv, cb)); }

FNWRITE(WriteCallback) {
  const int n = _write(static_cast<int>(hf), pv, cb);
  if (n > 0) {
    if (ExtractedFile* f = FileOf(hf)) f->written += n;
  }
  return static_cast<UINT>(n);
}

FNCLOSE(CloseCallback) {
  if (ExtractedFile* f = FileOf(hf)) f->fd = kNoFile;
  return _close(static_cast<int>(hf));
}

FNSEEK(SeekCallback) { return _lseek(static_cast<int>(hf), dist, seektype); }

// The member name as the cabinet stores it: in the system code page, or UTF-8 when the
// cabinet says so. False for bytes that are not a text in that encoding.
bool MemberName(const char* bytes, bool utf8, std::wstring& name) {
  name.clear();
  if (bytes == nullptr || *bytes == 0) return false;
  const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
  const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, -1, nullptr, 0);
  if (n <= 1) return false;
  std::vector<wchar_t> buffer(static_cast<size_t>(n));
  if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, -1, buffer.data(), n) != n) return false;
  name.assign(buffer.data());
  return true;
}

INT_PTR CreateMember(ExtractionContext& context, const FDINOTIFICATION& note) {
  std::wstring name;
  if (!MemberName(note.psz1, (note.attribs & _A_NAME_IS_UTF) != 0, name) || !IsSafeMemberName(name)) {
    // A name that could reach outside the destination (or is no file name at all) makes
    // the whole cabinet unfit: it is refused as damaged before anything is done for it.
    context.failureText = kTextCabinetCorrupt;
    return -1;
  }
  // The same name twice (in any letter case) would leave only one of the two members.
  for (const ExtractedFile& f : context.extracted) {
    if (_wcsicmp(f.name.c_str(), name.c_str()) == 0) {
      context.failureText = kTextSomeExtractsFailed;
      return -1;
    }
  }
  const std::wstring staging = context.staging.Add(name);
  if (staging.empty()) {
    context.failureText = kTextCabinetTargetFile;
    return -1;
  }
  int fd = -1;
  if (_wsopen_s(&fd, staging.c_str(), _O_WRONLY | _O_BINARY | _O_CREAT | _O_TRUNC, _SH_DENYNO, _S_IWRITE) != 0 ||
      fd < 0) {
    context.failureText = kTextCabinetTargetFile;
    return -1;
  }
  ExtractedFile file;
  file.name = name;
  file.staging = staging;
  file.size = static_cast<int32_t>(note.cb);
  file.date = note.date;
  file.time = note.time;
  file.fd = fd;
  context.extracted.push_back(file);
  return fd;
}

FNFDINOTIFY(Notify) {
  auto* context = static_cast<ExtractionContext*>(pfdin->pv);
  switch (fdint) {
    case fdintCOPY_FILE:
      // Nothing may unwind through the decompressor's frames.
      try {
        return CreateMember(*context, *pfdin);
      } catch (...) {
        context->failureText = kTextCabinetOutOfMemory;
        return -1;
      }
    case fdintCLOSE_FILE_INFO: {
      if (ExtractedFile* f = FileOf(pfdin->hf)) f->fd = kNoFile;
      _close(static_cast<int>(pfdin->hf));
      return TRUE;
    }
    case fdintNEXT_CABINET:
      // The device program is one cabinet. A member continued in another cabinet cannot
      // be completed, and answering "carry on" makes the decompressor ask again for ever.
      context->failureText = kTextCabinetNotFound;
      return -1;
    default:
      return 0;
  }
}

class Decompressor {
 public:
  explicit Decompressor(ERF& error)
      : handle_(FDICreate(AllocateCallback, FreeCallback, OpenCallback, ReadCallback, WriteCallback, CloseCallback, SeekCallback, cpu80386,
                          &error)) {}
  ~Decompressor() {
    if (handle_) FDIDestroy(handle_);
  }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;
  HFDI get() const { return handle_; }

 private:
  HFDI handle_;
};

[[noreturn]] void Fail(unsigned textId) { throw IOException(LoadText(textId)); }

void SetCabinetTime(const ExtractedFile& f, const std::wstring& path) {
  FILETIME local, universal;
  if (!DosDateTimeToFileTime(f.date, f.time, &local) || !LocalFileTimeToFileTime(&local, &universal)) return;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  SetFileTime(h, &universal, nullptr, &universal);
  CloseHandle(h);
}

int64_t SizeOnDisk(const std::wstring& path) {
  DeviceFile file;
  return file.OpenForReading(path) ? file.Size() : -1;
}

}  // namespace

void ExtractCabinet(const std::wstring& cabinetPath, const std::wstring& destination) {
  // Folder (with one trailing backslash, as the decompressor joins the two) and name.
  std::wstring whole = cabinetPath;
  while (!whole.empty() && whole.back() == L'\\') whole.pop_back();
  const size_t cut = whole.rfind(L'\\');
  std::wstring folder = cut == std::wstring::npos ? std::wstring() : whole.substr(0, cut);
  std::wstring name = cut == std::wstring::npos ? whole : whole.substr(cut + 1);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  // A longer name cut short would name another file.
  if (name.empty() || name.size() > kPathUnits - 1) throw IOException(LoadText(kTextCabinetNotFound));
  // A bare file name is looked for in the current folder, not in the root of the drive.
  std::string narrowFolder = folder.empty() ? std::string() : ToNarrow(folder) + "\\";
  std::string narrowName = ToNarrow(name);

  std::wstring target = destination;
  while (!target.empty() && target.back() == L'\\') target.pop_back();
  // Without a folder the members would land in the root of the current drive.
  if (target.empty()) throw IOException(LoadText(kTextCabinetTargetFile));

  // Declared first so that it goes last, after the context has closed every member.
  StagingFolder staging(target);
  ExtractionContext context(staging);
  ERF error{};
  BOOL copied = FALSE;
  {
    Decompressor decompressor(error);
    if (!decompressor.get()) Fail(kTextExtractFailed);
    CurrentExtraction current(context);
    copied = FDICopy(decompressor.get(), &narrowName[0], &narrowFolder[0], 0, Notify, nullptr, &context);
  }
  if (!copied) Fail(context.failureText ? context.failureText : CabinetErrorTextId(error.erfOper));
  // A decompressor that gave up on a member without saying so may leave it open, or
  // announce it closed after writing only part of it; either is an incomplete member.
  for (const ExtractedFile& f : context.extracted) {
    if (f.fd != kNoFile || f.written != f.size || SizeOnDisk(f.staging) != f.size) Fail(kTextSomeExtractsFailed);
  }
  for (const ExtractedFile& f : context.extracted) SetCabinetTime(f, f.staging);
  if (!staging.PlaceAll()) Fail(kTextCabinetTargetFile);
  for (const ExtractedFile& f : context.extracted) SetHiddenReadOnly(target + L"\\" + f.name);
}
