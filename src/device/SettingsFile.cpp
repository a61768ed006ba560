#include "device/SettingsFile.h"

#include <vector>

#include "device/DeviceFile.h"
#include "foundation/BoundedText.h"
#include "foundation/Exception.h"
#include "foundation/PathLimits.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/ArchiveFormat.h"

namespace {

#ifdef _WIN32
const wchar_t kSettingsFormat[] = L"%ls\\KORA.INI";
const wchar_t kFirmInfoFormat[] = L"%ls\\FIRMINFO.DAT";
#else
const wchar_t kSettingsFormat[] = L"%ls/KORA.INI";
const wchar_t kFirmInfoFormat[] = L"%ls/FIRMINFO.DAT";
#endif

constexpr size_t kChunkRecords = 512;

[[noreturn]] void Unreadable() { throw FirmInfoException(LoadText(kTextSettingsUnreadable)); }
[[noreturn]] void Unwritable() { throw FirmInfoException(LoadText(kTextSettingsUnwritable)); }

void ReadDeviceFile(FirmInfo& info, const std::wstring& path, bool withPrefix) {
  info.Clear();
  DeviceFile file;
  if (path.empty() || !file.OpenForReading(path)) Unreadable();
  if (withPrefix) {
    uint8_t prefix[kFirmInfoPrefixSize];
    if (file.Read(prefix, sizeof prefix) != sizeof prefix) Unreadable();
  }
  uint8_t header[kRecordSize];
  const size_t got = file.Read(header, sizeof header);
  if (!IsValidHeader(header, got, CurrentFormatVersion())) Unreadable();
  // Every record has to be looked at (bad ones are skipped, not counted), so the file is
  // read to its end in whole records.
  std::vector<uint8_t> chunk(kChunkRecords * kRecordSize);
  for (;;) {
    const size_t n = file.Read(chunk.data(), chunk.size());
    DecodeRecords(chunk.data(), n, info);
    if (n < chunk.size()) break;
  }
}

}  // namespace

// An empty card would name the root of the current drive, which nobody chose.
std::wstring SettingsFilePath(const std::wstring& card) {
  if (card.empty()) return std::wstring();
  return FormatBounded(kPathUnits, kSettingsFormat, WithoutTrailingSeparators(card).c_str());
}

std::wstring FirmInfoFilePath(const std::wstring& card) {
  if (card.empty()) return std::wstring();
  return FormatBounded(kPathUnits, kFirmInfoFormat, WithoutTrailingSeparators(card).c_str());
}

std::array<uint8_t, kRecordSize> HeaderRecord(DeviceFormatVersion version) {
  std::array<uint8_t, kRecordSize> h{{0x00, 0x01, version.high, version.low, 0xFF, 0xFF, 0xFF, 0}};
  for (size_t i = 1; i < 7; ++i) h[7] ^= h[i];
  return h;
}

bool IsValidHeader(const uint8_t* bytes, size_t size, DeviceFormatVersion version) {
  if (size < kRecordSize) return false;
  uint8_t x = 0;
  for (size_t i = 1; i < 7; ++i) x ^= bytes[i];
  return bytes[0] == 0x00 && bytes[1] == 0x01 && bytes[2] == version.high && bytes[3] == version.low &&
         bytes[7] == x;
}

void DecodeRecords(const uint8_t* data, size_t size, FirmInfo& info) {
  for (size_t at = 0; at + kRecordSize <= size; at += kRecordSize) {
    const FirmRecord r = FirmRecord::FromBytes(data + at);
    if (r.IsChecked()) info.Append(r);  // a full table skips the rest
  }
}

std::string EncodeSettingsFile(FirmInfo& info, DeviceFormatVersion version) {
  info.UpdateChecks();
  std::string image;
  image.reserve(kRecordSize * static_cast<size_t>(info.Count() + 1));
  const auto header = HeaderRecord(version);
  image.append(reinterpret_cast<const char*>(header.data()), header.size());
  for (int i = 0; i < info.Count(); ++i) {
    const auto bytes = info.Record(i).Bytes();
    image.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  return image;
}

void ReadSettingsFile(FirmInfo& info, const std::wstring& path) { ReadDeviceFile(info, path, false); }

void ReadFirmInfoFile(FirmInfo& info, const std::wstring& path) { ReadDeviceFile(info, path, true); }

namespace {

// The old file's records whose keys `records` lacks go behind them, while there is room;
// an unreadable old file adds nothing.
void MergeOldRecords(FirmInfo& records, const std::wstring& path) {
  FirmInfo existing;
  try {
    ReadSettingsFile(existing, path);
  } catch (const Exception&) {
    return;
  }
  for (int i = 0; i < existing.Count() && records.Count() < FirmInfo::kMaxRecords; ++i) {
    const FirmRecord& old = existing.Record(i);
    if (!records.Contains(old.Key())) records.FindOrAdd(old.Key()) = old.value;
  }
}

}  // namespace

void WriteSettingsFile(FirmInfo& records, const std::wstring& path, bool merge) {
  if (merge) MergeOldRecords(records, path);
  if (path.empty()) Unwritable();
  // A read-only or hidden file cannot be replaced: its marks go first, and come back
  // unchanged when the file cannot be opened (held by another program), as nothing
  // was written then.
  const int64_t before = SaveAttributes(path);
  SetNormalAttributes(path);
  DeviceFile file;
  if (!file.OpenForWriting(path)) {
    RestoreAttributes(path, before);
    Unwritable();
  }
  const std::string image = EncodeSettingsFile(records, CurrentFormatVersion());
  const bool written = file.Write(image.data(), image.size()) == image.size();
  const bool closed = file.Close();
  // The recorder expects its files hidden and read-only, whatever became of the write.
  SetHiddenReadOnly(path);
  if (!written || !closed) Unwritable();
}

void VerifySettingsFile(const FirmInfo& records, const std::wstring& path) {
  FirmInfo back;
  ReadSettingsFile(back, path);
  bool same = back.Count() == records.Count();
  for (int i = 0; same && i < back.Count(); ++i) same = back.Record(i).Bytes() == records.Record(i).Bytes();
  if (!same) throw FirmInfoException(LoadText(kTextSomeFilesFailed));
}
