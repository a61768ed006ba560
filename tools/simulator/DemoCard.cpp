#include "DemoCard.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "DeviceFileWriter.h"
#include "foundation/Utf8.h"

namespace recsim {
namespace {

// Pictures of about two blocks each keep the card small while still showing
// multi-fragment pictures throughout.
constexpr int kCardJpegBytes = 14500;

DemoCard::Recording Drive(const wchar_t* name, LocalDateTime start, int seconds, uint32_t id, uint32_t seed,
                          double cruise) {
  DemoCard::Recording r;
  r.name = name;
  RecordingDescription& d = r.description;
  d.start = start;
  d.durationMs = seconds * 1000;
  d.archiveId = id;
  d.seed = seed;
  d.startTick = 3600000u * (start.hour + 1) + 60000u * start.minute + 1000u * start.second;
  d.cruiseSpeedKmh = cruise;
  d.targetJpegBytes = kCardJpegBytes;
  d.detail = 0;
  return r;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
#ifdef _WIN32
  FILE* f = _wfopen(path.wstring().c_str(), L"wb");
#else
  FILE* f = std::fopen(path.string().c_str(), "wb");
#endif
  if (!f) throw std::runtime_error("cannot create " + ToUtf8(path.wstring()));
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + ToUtf8(path.wstring()));
}

}  // namespace

std::vector<DemoCard::Recording> DemoCard::Plan() {
  std::vector<Recording> plan;
  plan.push_back(Drive(L"0001_001.DAT", {2009, 6, 12, 8, 12, 5}, 18, 0x00120001, 11, 38));
  plan.push_back(Drive(L"0001_002.DAT", {2009, 6, 12, 8, 41, 40}, 14, 0x00120002, 12, 55));
  plan.push_back(Drive(L"0002_001.DAT", {2009, 6, 13, 17, 45, 10}, 24, 0x00130001, 21, 46));
  plan.push_back(Drive(L"0002_002.DAT", {2009, 6, 13, 18, 2, 33}, 12, 0x00130002, 22, 30));
  plan.push_back(Drive(L"0003_001.DAT", {2009, 6, 14, 7, 58, 0}, 16, 0x00140001, 31, 62));
  plan.push_back(Drive(L"0003_002.DAT", {2009, 6, 14, 12, 5, 50}, 20, 0x00140002, 32, 42));
  plan.push_back(Drive(L"0003_003.DAT", {2009, 6, 14, 23, 59, 52}, 15, 0x00140003, 33, 35));
  // The drive where the switch was pressed twice: beeps in the sound, event pictures,
  // and a hard braking between the presses.
  RecordingDescription& events = plan[2].description;
  events.switchPressesMs = {6000, 15500};
  events.defaultManoeuvres = false;
  events.manoeuvres = {{Manoeuvre::Kind::Braking, 5200, 1600, 0.75},
                       {Manoeuvre::Kind::Cornering, 11000, 2500, -0.45},
                       {Manoeuvre::Kind::Bump, 15000, 500, 0.5}};
  return plan;
}

std::vector<uint8_t> DemoCard::SettingsFile() {
  // What the viewer will merge with: buzzer on, standard mode, a clock setting.
  return DeviceFileWriter::SettingsFile({DeviceFileWriter::DateTime({2009, 6, 14, 7, 30, 0}),
                                         DeviceFileWriter::Buzzer(1), DeviceFileWriter::RecordMode(1)});
}

std::vector<uint8_t> DemoCard::FirmInfoFile() {
  // The device's own report of its state, behind 16 bytes of firmware identification.
  const std::array<uint8_t, 16> lead = {{'F', 'W', '0', '4', '0', '1', '-', '2', '0', '0', '9', '0', '6', '0', '1', 0}};
  return DeviceFileWriter::FirmInfoFile(lead, {DeviceFileWriter::DateTime({2009, 6, 14, 23, 59, 0}),
                                               DeviceFileWriter::Buzzer(0), DeviceFileWriter::RecordMode(0)});
}

std::vector<CardFile> DemoCard::Write(const std::wstring& folder) { return Write(folder, Plan()); }

std::vector<CardFile> DemoCard::Write(const std::wstring& folder, const std::vector<Recording>& plan) {
  const std::filesystem::path dir(folder);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (!std::filesystem::is_directory(dir)) throw std::runtime_error("cannot create " + ToUtf8(folder));

  std::vector<CardFile> files;
  for (const Recording& r : plan) {
    const RecordingManifest m = WriteRecording(r.description, (dir / r.name).wstring());
    CardFile f;
    f.name = r.name;
    f.size = m.fileSize;
    f.pictures = static_cast<int>(m.pictures.size());
    f.soundBlocks = static_cast<int>(m.sounds.size());
    f.start = m.start;
    files.push_back(f);
  }

  const std::vector<uint8_t> ini = SettingsFile();
  WriteBytes(dir / L"KORA.INI", ini);
  files.push_back({L"KORA.INI", ini.size(), 0, 0, {}});
  const std::vector<uint8_t> info = FirmInfoFile();
  WriteBytes(dir / L"FIRMINFO.DAT", info);
  files.push_back({L"FIRMINFO.DAT", info.size(), 0, 0, {}});
  return files;
}

}  // namespace recsim
