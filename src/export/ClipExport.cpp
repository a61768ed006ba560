#include "export/ClipExport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "export/AviWriter.h"
#include "export/BackgroundHash.h"
#include "export/ClipFile.h"
#include "export/ClipFrames.h"
#include "export/ClipSound.h"
#include "export/ClipTimes.h"
#include "export/ExportFailure.h"
#include "export/PatchRecorder.h"
#include "export/PendingFiles.h"
#include "export/Sha256.h"
#include "export/StreamHashSink.h"
#include "foundation/TextIds.h"
#include "foundation/Utf8.h"
#include "recording/RecordingFiles.h"
#include "recording/VideoArchive.h"

namespace {

constexpr size_t kHashPiece = size_t(4) << 20;

std::string Real(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

std::string TelemetryRow(const VideoArchive& archive, int slot) {
  const FrameEntry* e = archive.Entry(slot);
  if (!e) return std::to_string(slot) + ",,,,,,,,\n";
  return std::to_string(slot) + "," + cliptimes::LocalText(e->time) + "," + (e->copy ? "1" : "0") + "," +
         Real(e->gX) + "," + Real(e->gY) + "," + Real(e->gZ) + "," + Real(e->gTotal) + "," +
         std::to_string(e->speed) + "," + (e->event == 0x20 ? "1" : "0") + "\n";
}

void WriteWhole(const std::wstring& path, const std::string& text) {
  ClipFile file(path);
  file.Write(text.data(), text.size());
  file.Close();
}

// The clip read back and hashed; false when stopped.
bool HashFile(const std::wstring& path, IClipProgress* progress, int frames, std::string& hex) {
  const auto source = recfiles::OpenForReading(path);
  if (!source) ThrowExportFailure(kTextExportWriteFailed);
  Sha256 hash;
  std::vector<uint8_t> piece(kHashPiece);
  for (int64_t at = 0; at < source->Size();) {
    if (progress && !progress->Continue(frames, frames)) return false;
    const size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(piece.size()), source->Size() - at));
    if (source->ReadAt(at, piece.data(), want) != want) ThrowExportFailure(kTextExportWriteFailed);
    hash.Update(piece.data(), want);
    at += static_cast<int64_t>(want);
  }
  hex = Sha256::Hex(hash.Finish());
  return true;
}

std::string FileName(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"/\\");
  return ToUtf8(cut == std::wstring::npos ? path : path.substr(cut + 1));
}

// The order of a clip's chunks: each second's sound (sound(from, to) with sample
// numbers) ahead of its pictures (frame(slot)); false when frame says stop.
template <typename Sound, typename Frame>
bool LayOut(const ClipRequest& r, int64_t rate, bool withSound, Sound sound, Frame frame) {
  for (int slot = r.first; slot <= r.last; ++slot) {
    if (withSound && (slot - r.first) % cliptimes::kSlotsPerSecond == 0) {
      const int end = std::min(slot + cliptimes::kSlotsPerSecond, r.last + 1);
      sound(cliptimes::FirstSampleOf(slot, rate), cliptimes::FirstSampleOf(end, rate));
    }
    if (!frame(slot)) return false;
  }
  return true;
}

// What the clip's writer will fill in at the end, from a run over the sizes the clip's
// stored pictures have. Pictures burned in again have sizes known only when encoded.
std::vector<ClipPatch> PredictPatches(const VideoArchive& archive, const ClipRequest& r, const AviFormat& format,
                                      const ClipSound& sound, size_t firstSize) {
  if (r.overlay) return {};
  PatchRecorder recorder;
  AviWriter avi(recorder, format);
  size_t size = firstSize;
  LayOut(
      r, format.sampleRate, format.sound,
      [&](int64_t from, int64_t to) { avi.WriteSound(nullptr, static_cast<size_t>(sound.Span(from, to))); },
      [&](int slot) {
        const FrameEntry* e = archive.Entry(slot);
        if (e && e->payloadSize > 0) size = static_cast<size_t>(e->payloadSize);
        avi.WriteFrame(nullptr, size);
        return true;
      });
  avi.Finish();
  return recorder.Patches();
}

// Writes the clip's AVI to `path` and hashes it; false when stopped.
bool WriteClip(VideoArchive& archive, const ClipRequest& r, const std::wstring& path, IClipProgress* progress,
               std::string& hex) {
  ClipFrames frames(archive, r.first, r.last, r.overlay);
  const ClipSound sound(archive.SoundPath());
  const int64_t rate = sound.Rate();
  AviFormat format;
  format.width = frames.Width();
  format.height = frames.Height();
  format.framesPerSecond = cliptimes::kSlotsPerSecond;
  format.sound = rate > 0 && cliptimes::FirstSampleOf(r.first, rate) < sound.Count();
  format.sampleRate = static_cast<uint32_t>(rate);
  format.partLimit = r.partLimit;

  ClipFile file(path);
  StreamHashSink sink(file, PredictPatches(archive, r, format, sound, frames.FirstSize()));
  AviWriter avi(sink, format);
  const int total = r.last - r.first + 1;
  std::vector<uint8_t> samples;
  const bool written = LayOut(
      r, rate, format.sound,
      [&](int64_t from, int64_t to) {
        sound.Read(from, to, samples);
        avi.WriteSound(samples.data(), samples.size());
      },
      [&](int slot) {
        const std::vector<uint8_t>& bytes = frames.Of(slot);
        avi.WriteFrame(bytes.data(), bytes.size());
        return !progress || progress->Continue(slot - r.first + 1, total);
      });
  if (!written) return false;
  avi.Finish();
  file.Close();
  if (sink.Matches()) {
    hex = sink.Hex();
    return true;
  }
  return HashFile(path, progress, total, hex);
}

// A clip named like its table or list, or any of them naming the archive itself, would
// be renamed over the other at the end (the recording lost).
void RefuseClashes(const std::wstring& archivePath, const std::vector<std::wstring>& targets) {
  for (size_t i = 0; i < targets.size(); ++i) {
    std::error_code error;
    if (recfiles::SamePath(targets[i], archivePath) || std::filesystem::equivalent(targets[i], archivePath, error)) {
      ThrowExportFailure(kTextExportNameClash);
    }
    for (size_t k = i + 1; k < targets.size(); ++k) {
      if (recfiles::SamePath(targets[i], targets[k])) ThrowExportFailure(kTextExportNameClash);
    }
  }
}

}  // namespace

std::wstring BesideClip(const std::wstring& clipPath, const std::wstring& extension) {
  const size_t cut = clipPath.find_last_of(L"/\\");
  const size_t dot = clipPath.find_last_of(L'.');
  const bool hasExtension = dot != std::wstring::npos && (cut == std::wstring::npos || dot > cut + 1);
  return (hasExtension ? clipPath.substr(0, dot) : clipPath) + extension;
}

std::wstring PartialName(const std::wstring& path) { return PendingFiles::PartialName(path); }

ClipOutcome ExportClip(VideoArchive& archive, const ClipRequest& request, IClipProgress* progress) {
  ClipRequest r = request;
  if (r.last < 0) r.last = archive.SlotCount() - 1;
  if (r.first < 0 || r.first > r.last || r.last >= archive.SlotCount()) ThrowExportFailure(kTextExportRangeOutside);

  const std::wstring csvPath = BesideClip(r.clipPath, L".csv");
  const std::wstring hashPath = BesideClip(r.clipPath, L".sha256");
  RefuseClashes(r.archivePath, {r.clipPath, csvPath, hashPath});
  PendingFiles files({r.clipPath, csvPath, hashPath});
  BackgroundHash archiveHash(r.archivePath, kTextExportArchiveUnreadable);

  std::string clipHex;
  try {
    if (!WriteClip(archive, r, files.Partial(0), progress, clipHex)) return ClipOutcome::kCancelled;
  } catch (const std::length_error&) {
    ThrowExportFailure(kTextExportTooLarge);
  }
  std::string csv = "slot,local_time,copy,gx,gy,gz,gtotal,speed,switch\n";
  for (int slot = r.first; slot <= r.last; ++slot) csv += TelemetryRow(archive, slot);
  WriteWhole(files.Partial(1), csv);

  const int total = r.last - r.first + 1;
  Sha256 csvHash;
  csvHash.Update(csv.data(), csv.size());
  std::string archiveHex;
  if (!archiveHash.Result(progress, total, archiveHex)) return ClipOutcome::kCancelled;
  WriteWhole(files.Partial(2), clipHex + "  " + FileName(r.clipPath) + "\n" + Sha256::Hex(csvHash.Finish()) + "  " +
                                   FileName(csvPath) + "\n" + archiveHex + "  " + ToUtf8(r.archivePath) + "\n");
  if (progress && !progress->Continue(total, total)) return ClipOutcome::kCancelled;
  files.Keep();
  return ClipOutcome::kWritten;
}
