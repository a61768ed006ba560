// pscope's recording commands: what a loaded archive holds (info, slots), its sound and
// pictures extracted byte for byte (sound, frame, export), a clip of a range (avi), and
// the folder order (scan).
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Command.h"
#include "export/ClipExport.h"
#include "foundation/LocalTime.h"
#include "foundation/Utf8.h"
#include "recording/ScanFolder.h"
#include "recording/VideoArchive.h"
#include "recording/VideoInfo07.h"
#include "toolkit/Image.h"

namespace pscope {
namespace {

namespace fs = std::filesystem;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

std::string Real(double v) { return Format("%.17g", v); }
std::string Int(int64_t v) { return Format("%" PRId64, v); }

std::string JsonString(const std::wstring& text) {
  std::string out = "\"";
  for (unsigned char c : ToUtf8(text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      out += Format("\\u%04x", c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

void WriteFile(const fs::path& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + ToUtf8(path.wstring()));
}

void CopySound(const VideoArchive& archive, const fs::path& to) {
  if (archive.SoundPath().empty()) throw std::runtime_error("the recording's sound could not be restored");
  std::ifstream in(fs::path(archive.SoundPath()), std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  if (!in.eof() && in.fail()) throw std::runtime_error("cannot read the restored sound");
  WriteFile(to, bytes.data(), bytes.size());
}

int ParseSlot(const std::wstring& text) {
  if (text.empty() || text.size() > 9) throw UsageError();
  int slot = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') throw UsageError();
    slot = slot * 10 + (c - L'0');
  }
  return slot;
}

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return s;
}

const char kSlotsHeader[] =
    "slot,copy,tick,time,gx,gy,gz,gtotal,speed,event,status,short_value,value1,value2,"
    "block_size,payload_size,fragment_count,fragment_pos";

std::string LocalText(int64_t time) {
  LocalDateTime t;
  if (time == 0 || !ToLocalDateTime(time, t)) return std::string();
  return Format("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// One row of the slots table; an empty slot has only its number.
std::string SlotRow(const VideoArchive& archive, int slot, bool withLocalTime) {
  const FrameEntry* e = archive.Entry(slot);
  std::string row = Int(slot);
  if (!e) return row + std::string(withLocalTime ? 18 : 17, ',') + "\n";
  row += "," + Int(e->copy ? 1 : 0) + "," + Int(e->tick) + "," + Int(e->time) + "," + Real(e->gX) + "," +
         Real(e->gY) + "," + Real(e->gZ) + "," + Real(e->gTotal) + "," + Int(e->speed) + "," + Int(e->event) +
         "," + Int(e->status) + "," + Int(e->shortValue) + "," + Int(e->value1) + "," + Int(e->value2) + "," +
         Int(e->blockSize) + "," + Int(e->payloadSize) + "," + Int(e->fragmentCount) + ",";
  for (int k = 0; k < e->fragmentCount && k < archive::kMaxFragments; ++k) {
    if (k > 0) row += ";";
    row += Int(e->fragmentPos[k]);
  }
  if (withLocalTime) row += "," + LocalText(e->time);
  return row + "\n";
}

std::string SlotsTable(const VideoArchive& archive, bool withLocalTime) {
  std::string text = std::string(kSlotsHeader) + (withLocalTime ? ",local_time\n" : "\n");
  for (int s = 0; s < archive.SlotCount(); ++s) text += SlotRow(archive, s, withLocalTime);
  return text;
}

int Info(const Args& args) {
  if (args.size() != 1) throw UsageError();
  VideoArchive archive;
  archive.Load(args[0], nullptr);
  VideoInfo07 info(archive);
  info.BuildEventList();
  std::vector<int32_t> events;
  info.CopyEventSlots(events);
  std::string list;
  for (size_t i = 0; i < events.size(); ++i) list += (i ? "," : "") + Int(events[i]);
  Out("{\"path\":" + JsonString(args[0]) + ",\"recording_start_time\":" + Int(archive.RecordingStartTime()) +
      ",\"start_tick\":" + Int(archive.StartTick()) + ",\"archive_id\":" + Int(archive.ArchiveId()) +
      ",\"slot_count\":" + Int(archive.SlotCount()) + ",\"index_count\":" + Int(archive.IndexCount()) +
      ",\"first_picture_time\":" + Int(archive.FirstPictureTime()) +
      ",\"last_picture_time\":" + Int(archive.LastPictureTime()) + ",\"events\":[" + list +
      "],\"sound_bytes\":" + Int(archive.SoundDataBytes()) + "}\n");
  return 0;
}

int Slots(const Args& args) {
  if (args.size() != 1) throw UsageError();
  VideoArchive archive;
  archive.Load(args[0], nullptr);
  Out(SlotsTable(archive, false));
  return 0;
}

int Sound(const Args& args) {
  if (args.size() != 2) throw UsageError();
  VideoArchive archive;
  archive.Load(args[0], nullptr);
  CopySound(archive, fs::path(args[1]));
  return 0;
}

int Frame(const Args& args) {
  if (args.size() != 3) throw UsageError();
  const int slot = ParseSlot(args[1]);
  const std::wstring out = args[2];
  const std::wstring ext = Lower(fs::path(out).extension().wstring());
  if (ext != L".jpg" && ext != L".bmp") throw UsageError();
  VideoArchive archive;
  archive.Load(args[0], nullptr);
  std::vector<uint8_t> jpeg;
  if (!archive.ReadFrameJpeg(slot, jpeg)) throw std::runtime_error(Format("slot %d holds no readable picture", slot));
  if (ext == L".jpg") {
    WriteFile(fs::path(out), jpeg.data(), jpeg.size());
    return 0;
  }
  const auto image = archive.ReadFrameImage(slot);
  if (!image) throw std::runtime_error(Format("the picture of slot %d cannot be decoded", slot));
  // A 32-bit bottom-up bitmap carries the Image's bytes unchanged.
  const uint32_t bytes = static_cast<uint32_t>(image->ByteSize());
  std::vector<uint8_t> bmp(54, 0);
  auto put32 = [&bmp](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, 54 + bytes);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(image->Width()));
  put32(22, static_cast<uint32_t>(image->Height()));
  bmp[26] = 1;   // planes
  bmp[28] = 32;  // bits a pixel
  put32(34, bytes);
  bmp.insert(bmp.end(), image->Pixels(), image->Pixels() + bytes);
  WriteFile(fs::path(out), bmp.data(), bmp.size());
  return 0;
}

int Scan(const Args& args) {
  if (args.size() != 1) throw UsageError();
  std::vector<RecordingEntry> list;
  const FolderScanResult r = ScanFolder(args[0], list);
  std::string text = Format("position %d count %d\n", r.position, r.count);
  for (size_t i = 0; i < list.size(); ++i)
    text += Int(static_cast<int64_t>(i)) + "\t" + Int(list[i].startTime) + "\t" + ToUtf8(list[i].path) + "\n";
  Out(text);
  return 0;
}

int Export(const Args& args) {
  if (args.size() != 2) throw UsageError();
  VideoArchive archive;
  archive.Load(args[0], nullptr);
  const fs::path dir(args[1]);
  std::error_code error;
  fs::create_directories(dir, error);
  if (!fs::is_directory(dir)) throw std::runtime_error("cannot create " + ToUtf8(dir.wstring()));
  int pictures = 0;
  std::vector<uint8_t> jpeg;
  for (int s = 0; s < archive.SlotCount(); ++s) {
    if (!archive.ReadFrameJpeg(s, jpeg)) continue;
    WriteFile(dir / Format("%05d.jpg", s), jpeg.data(), jpeg.size());
    ++pictures;
  }
  if (!archive.SoundPath().empty()) CopySound(archive, dir / "sound.wav");
  const std::string table = SlotsTable(archive, true);
  WriteFile(dir / "telemetry.csv", reinterpret_cast<const uint8_t*>(table.data()), table.size());
  Out(Format("pictures %d slots %d sound_bytes %u\n", pictures, archive.SlotCount(), archive.SoundDataBytes()));
  return 0;
}

int Avi(const Args& args) {
  if (args.size() < 2) throw UsageError();
  ClipRequest request;
  request.archivePath = args[0];
  request.clipPath = args[1];
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == L"--overlay") {
      request.overlay = true;
    } else if ((args[i] == L"--from" || args[i] == L"--to") && i + 1 < args.size()) {
      (args[i] == L"--from" ? request.first : request.last) = ParseSlot(args[i + 1]);
      ++i;
    } else {
      throw UsageError();
    }
  }
  VideoArchive archive;
  archive.Load(args[0], nullptr);
  if (ExportClip(archive, request, nullptr) != ClipOutcome::kWritten) return 1;
  const int last = request.last < 0 ? archive.SlotCount() - 1 : request.last;
  Out(Format("frames %d\n", last - request.first + 1));
  return 0;
}

}  // namespace

PSCOPE_COMMAND("avi", "avi ARCHIVE OUT.avi [--from SLOT] [--to SLOT] [--overlay]", Avi);
PSCOPE_COMMAND("info", "info ARCHIVE", Info);
PSCOPE_COMMAND("slots", "slots ARCHIVE", Slots);
PSCOPE_COMMAND("sound", "sound ARCHIVE OUT.wav", Sound);
PSCOPE_COMMAND("frame", "frame ARCHIVE SLOT OUT.jpg|OUT.bmp", Frame);
PSCOPE_COMMAND("scan", "scan ARCHIVE", Scan);
PSCOPE_COMMAND("export", "export ARCHIVE DIR", Export);

}  // namespace pscope
