#include "export/ClipExport.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "export/AviWriter.h"
#include "export/ClipFile.h"
#include "export/ClipOverlay.h"
#include "export/ClipTimes.h"
#include "export/ExportFiles.h"
#include "export/PatchRecorder.h"
#include "export/StreamHashSink.h"
#include "export/Sha256.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "foundation/Utf8.h"
#include "recording/RecordingFiles.h"
#include "recording/VideoArchive.h"
#include "toolkit/JpegDecoder.h"
#include "toolkit/JpegEncoder.h"

namespace {

constexpr int kOverlayQuality = 92;
constexpr size_t kHashPiece = size_t(4) << 20;
constexpr size_t kWaveHeaderSize = 44;

[[noreturn]] void Fail(unsigned text) { throw IOException(LoadText(text)); }

// The three files of an export under their temporary names. Whatever is not kept when
// the object goes (a failure, a stop) is removed.
class PendingFiles {
 public:
  explicit PendingFiles(std::vector<std::wstring> finals) : finals_(std::move(finals)) {}
  ~PendingFiles() {
    for (const std::wstring& path : finals_) exportfiles::Remove(PartialName(path));
    for (const std::wstring& path : renamed_) exportfiles::Remove(path);
  }
  PendingFiles(const PendingFiles&) = delete;
  PendingFiles& operator=(const PendingFiles&) = delete;

  std::wstring Partial(size_t i) const { return PartialName(finals_[i]); }

  // Renames every file to its own name, the first (the clip) last; a failure removes
  // those renamed already.
  void Keep() {
    for (size_t i = finals_.size(); i-- > 0;) {
      if (!exportfiles::Rename(PartialName(finals_[i]), finals_[i])) Fail(kTextExportRenameFailed);
      renamed_.push_back(finals_[i]);
    }
    renamed_.clear();
    finals_.clear();
  }

 private:
  std::vector<std::wstring> finals_;
  std::vector<std::wstring> renamed_;
};

// The recording's sound samples, read from its WAVE file by sample number.
class SoundSamples {
 public:
  explicit SoundSamples(const std::wstring& wavePath) {
    if (wavePath.empty()) return;
    source_ = recfiles::OpenForReading(wavePath);
    uint8_t header[kWaveHeaderSize];
    if (!source_ || source_->ReadAt(0, header, sizeof header) != sizeof header) Fail(kTextExportArchiveUnreadable);
    auto le32 = [&header](size_t at) {
      return uint32_t(header[at]) | uint32_t(header[at + 1]) << 8 | uint32_t(header[at + 2]) << 16 |
             uint32_t(header[at + 3]) << 24;
    };
    rate_ = le32(24);
    count_ = std::min<int64_t>(le32(40), source_->Size() - static_cast<int64_t>(kWaveHeaderSize));
    if (rate_ == 0) count_ = 0;
  }
  uint32_t Rate() const { return rate_; }
  int64_t Count() const { return count_; }
  // How many of the samples from..to - 1 the file holds.
  int64_t Span(int64_t from, int64_t to) const { return std::max<int64_t>(0, std::min(to, count_) - std::max<int64_t>(0, from)); }
  // The samples from..to - 1 that the file holds.
  void Read(int64_t from, int64_t to, std::vector<uint8_t>& out) const {
    from = std::max<int64_t>(0, from);
    to = std::min(to, count_);
    out.resize(to > from ? static_cast<size_t>(to - from) : 0);
    if (out.empty()) return;
    if (source_->ReadAt(static_cast<int64_t>(kWaveHeaderSize) + from, out.data(), out.size()) != out.size()) {
      Fail(kTextExportArchiveUnreadable);
    }
  }

 private:
  std::unique_ptr<IByteSource> source_;
  uint32_t rate_ = 0;
  int64_t count_ = 0;
};

// The archive file hashed on a thread of its own while the clip is written.
class ArchiveHash {
 public:
  explicit ArchiveHash(const std::wstring& path) : source_(recfiles::OpenForReading(path)) {
    if (!source_) Fail(kTextExportArchiveUnreadable);
    thread_ = std::thread([this] { Run(); });
  }
  ~ArchiveHash() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  ArchiveHash(const ArchiveHash&) = delete;
  ArchiveHash& operator=(const ArchiveHash&) = delete;

  // The archive's digest once the thread has it, asking `progress` meanwhile (a card
  // reads slowly); false when stopped.
  bool Result(IClipProgress* progress, int frames, std::string& hex) {
    while (!done_) {
      if (progress && !progress->Continue(frames, frames)) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    thread_.join();
    if (failed_) Fail(kTextExportArchiveUnreadable);
    hex = hex_;
    return true;
  }

 private:
  void Run() {
    Hash();
    done_ = true;
  }

  void Hash() {
    try {
      Sha256 hash;
      std::vector<uint8_t> piece(kHashPiece);
      for (int64_t at = 0; at < source_->Size() && !stop_;) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(piece.size()), source_->Size() - at));
        const size_t got = source_->ReadAt(at, piece.data(), want);
        if (got != want) {
          failed_ = true;
          return;
        }
        hash.Update(piece.data(), got);
        at += static_cast<int64_t>(got);
      }
      hex_ = Sha256::Hex(hash.Finish());
    } catch (...) {
      failed_ = true;
    }
  }

  std::unique_ptr<IByteSource> source_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  bool failed_ = false;
  std::string hex_;
};

// The bytes of each slot's frame: the stored JPEG stream, or with the band burned in.
// A slot whose picture cannot be read shows the picture before it (as a copied slot
// would), the first readable one for those before it.
class FrameBytes {
 public:
  FrameBytes(VideoArchive& archive, const ClipRequest& request) : archive_(archive), overlay_(request.overlay) {
    for (int s = request.first; s <= request.last && stored_.empty(); ++s) {
      if (archive_.ReadFrameJpeg(s, stored_)) break;
      stored_.clear();
    }
    if (stored_.empty()) Fail(kTextExportNoPicture);
    const auto image = decoder_.Decode(stored_.data(), stored_.size(), ImageDecodingLimits());
    if (!image) Fail(kTextExportNoPicture);
    width_ = image->Width();
    height_ = image->Height();
    good_ = stored_;
  }
  int32_t Width() const { return width_; }
  // Size of the first readable picture's stream (what slots before it repeat).
  size_t FirstSize() const { return good_.size(); }
  int32_t Height() const { return height_; }

  const std::vector<uint8_t>& Of(int slot) {
    if (archive_.ReadFrameJpeg(slot, read_)) stored_.swap(read_);
    if (!overlay_) return stored_;
    auto image = decoder_.Decode(stored_.data(), stored_.size(), ImageDecodingLimits());
    if (image) {
      good_ = stored_;
    } else {
      image = decoder_.Decode(good_.data(), good_.size(), ImageDecodingLimits());
      if (!image) Fail(kTextExportNoPicture);
    }
    const FrameEntry* entry = archive_.Entry(slot);
    clipoverlay::Burn(*image, clipoverlay::BandText(entry ? *entry : FrameEntry(), slot,
                                                    cliptimes::FrameWithinSecond(archive_, slot)));
    encoder_.Encode(*image, kOverlayQuality, encoded_);
    return encoded_;
  }

 private:
  VideoArchive& archive_;
  bool overlay_;
  JpegDecoder decoder_;
  JpegEncoder encoder_;
  std::vector<uint8_t> stored_, read_, good_, encoded_;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

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
  if (!source) Fail(kTextExportWriteFailed);
  Sha256 hash;
  std::vector<uint8_t> piece(kHashPiece);
  for (int64_t at = 0; at < source->Size();) {
    if (progress && !progress->Continue(frames, frames)) return false;
    const size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(piece.size()), source->Size() - at));
    if (source->ReadAt(at, piece.data(), want) != want) Fail(kTextExportWriteFailed);
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
                                      const SoundSamples& sound, size_t firstSize) {
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
  FrameBytes frames(archive, r);
  const SoundSamples sound(archive.SoundPath());
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

}  // namespace

std::wstring BesideClip(const std::wstring& clipPath, const std::wstring& extension) {
  const size_t cut = clipPath.find_last_of(L"/\\");
  const size_t dot = clipPath.find_last_of(L'.');
  const bool hasExtension = dot != std::wstring::npos && (cut == std::wstring::npos || dot > cut + 1);
  return (hasExtension ? clipPath.substr(0, dot) : clipPath) + extension;
}

std::wstring PartialName(const std::wstring& path) { return path + L".partial"; }

ClipOutcome ExportClip(VideoArchive& archive, const ClipRequest& request, IClipProgress* progress) {
  ClipRequest r = request;
  if (r.last < 0) r.last = archive.SlotCount() - 1;
  if (r.first < 0 || r.first > r.last || r.last >= archive.SlotCount()) Fail(kTextExportRangeOutside);

  const std::wstring csvPath = BesideClip(r.clipPath, L".csv");
  const std::wstring hashPath = BesideClip(r.clipPath, L".sha256");
  PendingFiles files({r.clipPath, csvPath, hashPath});
  ArchiveHash archiveHash(r.archivePath);

  std::string clipHex;
  try {
    if (!WriteClip(archive, r, files.Partial(0), progress, clipHex)) return ClipOutcome::kCancelled;
  } catch (const std::length_error&) {
    Fail(kTextExportTooLarge);
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
