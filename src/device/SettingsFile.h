#pragma once
// The two device files in the card's root folder: the settings file the recorder boots
// with ("KORA.INI": a header record, then records) and the firmware information file it
// writes ("FIRMINFO.DAT": 16 bytes of its own, a header record, then records).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/FirmInfo.h"
#include "recording/ArchiveFormat.h"

constexpr size_t kRecordSize = 8;
constexpr size_t kFirmInfoPrefixSize = 16;

// The paths of the two files on a card (folder chosen by the user); empty when the
// card is empty or the result would not fit a 260-character path.
std::wstring SettingsFilePath(const std::wstring& card);
std::wstring FirmInfoFilePath(const std::wstring& card);

// The device files carry the program's format version, the same as the recordings.
using DeviceFormatVersion = archive::FormatVersion;
inline DeviceFormatVersion CurrentFormatVersion() { return archive::ProcessFormatVersion(); }

// 00 01 VH VL FF FF FF K.
std::array<uint8_t, kRecordSize> HeaderRecord(DeviceFormatVersion version);
// A header is valid only when it is complete, carries the version and checks.
bool IsValidHeader(const uint8_t* bytes, size_t size, DeviceFormatVersion version);
// Appends the records of `data` that check, while fewer than 78 are held; a trailing
// partial record is ignored.
void DecodeRecords(const uint8_t* data, size_t size, FirmInfo& info);
// The file image of a settings file: the header, then every record with its check
// byte made right (in `info` itself too).
std::string EncodeSettingsFile(FirmInfo& info, DeviceFormatVersion version);

// Fill `info` (emptied first) from a file; FirmInfoException "設定ファイルを読み込めません。"
// when the file cannot be opened or its header is short, of another version or unchecked.
void ReadSettingsFile(FirmInfo& info, const std::wstring& path);
void ReadFirmInfoFile(FirmInfo& info, const std::wstring& path);

// Writes `records` as a settings file. With `merge`, the records of the existing file
// whose keys `records` lacks are added to `records` first (an unreadable file merges
// nothing). The file is made writable first and is hidden and read-only afterwards,
// also when writing failed. FirmInfoException "設定ファイルを書き込めません。" on failure.
void WriteSettingsFile(FirmInfo& records, const std::wstring& path, bool merge);

// Reads the file back; FirmInfoException "一部のファイルの展開に失敗しました。" when it does not
// hold exactly `records`.
void VerifySettingsFile(const FirmInfo& records, const std::wstring& path);
