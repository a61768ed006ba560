#include "FciCabinet_win.h"

#include <windows.h>
// After windows.h: the cabinet maker's interface uses its types.
#include <fcntl.h>
#include <fci.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "foundation/Text.h"

namespace {

struct MakerContext {
  std::map<std::string, const CabinetMember*> bySource;
};

FNFCIALLOC(Alloc) { return std::malloc(cb); }
FNFCIFREE(Free) { std::free(memory); }
FNFCIOPEN(Open) {
  const int fd = _sopen(pszFile, oflag, _SH_DENYNO, pmode);
  if (fd < 0) *err = errno;
  return fd;
}
FNFCIREAD(Read) {
  (void)err;
  (void)pv;
  return static_cast<UINT>(_read(static_cast<int>(hf), memory, cb));
}
FNFCIWRITE(Write) {
  (void)err;
  (void)pv;
  return static_cast<UINT>(_write(static_cast<int>(hf), memory, cb));
}
FNFCICLOSE(Close) {
  (void)err;
  (void)pv;
  return _close(static_cast<int>(hf));
}
FNFCISEEK(Seek) {
  (void)err;
  (void)pv;
  return _lseek(static_cast<int>(hf), dist, seektype);
}
FNFCIDELETE(Delete) {
  (void)err;
  (void)pv;
  return std::remove(pszFile);
}
FNFCIGETTEMPFILE(TempFile) {
  (void)pv;
  char folder[MAX_PATH];
  char name[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "fci", 0, name)) return FALSE;
  DeleteFileA(name);
  if (static_cast<int>(std::strlen(name)) >= cbTempName) return FALSE;
  std::strcpy(pszTempName, name);
  return TRUE;
}
FNFCIFILEPLACED(Placed) {
  (void)pccab;
  (void)pszFile;
  (void)cbFile;
  (void)fContinuation;
  (void)pv;
  return 0;
}
FNFCIGETNEXTCABINET(NextCabinet) {
  (void)pccab;
  (void)cbPrevCab;
  (void)pv;
  return FALSE;
}
FNFCISTATUS(Status) {
  (void)typeStatus;
  (void)cb1;
  (void)cb2;
  (void)pv;
  return 0;
}
FNFCIGETOPENINFO(OpenInfo) {
  auto* context = static_cast<MakerContext*>(pv);
  const auto it = context->bySource.find(pszName);
  if (it == context->bySource.end()) return -1;
  *pdate = it->second->date;
  *ptime = it->second->time;
  *pattribs = it->second->attribs;
  const int fd = _sopen(pszName, _O_RDONLY | _O_BINARY, _SH_DENYNO, 0);
  if (fd < 0) *err = errno;
  return fd;
}

}  // namespace

bool MakeFciCabinet(const std::wstring& path, const std::vector<CabinetMember>& members, FciCompression compression) {
  const std::filesystem::path target(path);
  const std::filesystem::path sources = target.parent_path() / (target.filename().wstring() + L".src");
  std::filesystem::create_directories(sources);
  MakerContext context;
  std::vector<std::string> sourceNames;
  for (size_t i = 0; i < members.size(); ++i) {
    const std::filesystem::path source = sources / std::to_wstring(i);
    std::ofstream(source, std::ios::binary)
        .write(reinterpret_cast<const char*>(members[i].data.data()), static_cast<std::streamsize>(members[i].data.size()));
    sourceNames.push_back(ToNarrow(source.wstring()));
    context.bySource[sourceNames.back()] = &members[i];
  }

  CCAB cab{};
  cab.cb = 0x7FFFFFFF;
  cab.cbFolderThresh = 0x7FFFFFFF;
  cab.setID = 7;
  const std::string folder = ToNarrow(target.parent_path().wstring()) + "\\";
  const std::string name = ToNarrow(target.filename().wstring());
  std::strncpy(cab.szCabPath, folder.c_str(), sizeof cab.szCabPath - 1);
  std::strncpy(cab.szCab, name.c_str(), sizeof cab.szCab - 1);

  ERF erf{};
  HFCI fci = FCICreate(&erf, Placed, Alloc, Free, Open, Read, Write, Close, Seek, Delete, TempFile, &cab, &context);
  if (!fci) return false;
  const TCOMP type = compression == FciCompression::None    ? tcompTYPE_NONE
                     : compression == FciCompression::MsZip ? tcompTYPE_MSZIP
                                                            : TCOMPfromLZXWindow(16);
  bool ok = true;
  for (size_t i = 0; ok && i < members.size(); ++i) {
    std::string stored = members[i].name;
    ok = FCIAddFile(fci, &sourceNames[i][0], &stored[0], FALSE, NextCabinet, Status, OpenInfo, type) != FALSE;
  }
  ok = ok && FCIFlushCabinet(fci, FALSE, NextCabinet, Status) != FALSE;
  FCIDestroy(fci);
  std::error_code ec;
  std::filesystem::remove_all(sources, ec);
  return ok;
}
