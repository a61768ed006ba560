#include "recording/VideoArchive.h"

#include <algorithm>
#include <chrono>
#include <cfloat>
#include <cstring>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/ChunkReader.h"
#include "recording/RecordingFiles.h"
#include "recording/SoundTrackWriter.h"
#include "toolkit/ImageDecoding.h"

using namespace archive;

namespace {

constexpr int64_t kWrapMargin = 3600000;      // one hour of ticks
constexpr int64_t kWrapAdd = 4294967295LL;    // what the recorder's counter adds on a wrap
constexpr int32_t kMaxReadBlockSize = 1 << 20;
constexpr int kSoundPieceBytes = 4096;
// Pumping every block would cost a system round trip per 8 KiB; every few
// milliseconds keeps the window just as responsive.
constexpr auto kPumpInterval = std::chrono::milliseconds(4);
constexpr uint32_t kBlocksPerClockCheck = 8;  // 64 KiB of archive, well below a millisecond

[[noreturn]] void ThrowUnreadable() { throw VideoArchiveException(LoadText(kTextDataUnreadable)); }

FormatVersion ProcessFormatVersion() {
  FormatVersion version;
  FormatVersion parsed;
  if (ParseFormatVersion(LoadText(kTextFormatVersion), parsed)) version = parsed;
  return version;
}

// The scan's view of the loading window: percentages in eighths of the file, at most one
// step a block, and the window's messages dispatched now and then.
class ScanProgress {
 public:
  ScanProgress(ILoadProgress* player, int64_t fileSize) : player_(player), eighth_(fileSize / 8) {}

  void Block(int64_t position) {
    if (!player_) return;
    if (eighth_ > 0 && position / eighth_ != step_) {
      ++step_;
      player_->showProgress(static_cast<int>(10 * step_ + 10));
    }
    // The clock itself is not free on every system: look at it every few blocks.
    if (blocks_++ % kBlocksPerClockCheck != 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (!pumped_ || now - lastPump_ >= kPumpInterval) {
      player_->pumpMessages();
      lastPump_ = now;
      pumped_ = true;
    }
  }

 private:
  ILoadProgress* player_;
  int64_t eighth_;
  int64_t step_ = 0;
  uint32_t blocks_ = 0;
  bool pumped_ = false;
  std::chrono::steady_clock::time_point lastPump_;
};

}  // namespace

VideoArchive::VideoArchive()
    : index_(kMaxSlots), slots_(kMaxSlots), version_(ProcessFormatVersion()) {}

VideoArchive::~VideoArchive() { Close(); }

int64_t VideoArchive::WidenTick(uint32_t tick, uint32_t startTick) {
  if (startTick > kWrapMargin && tick < startTick - kWrapMargin) return tick + kWrapAdd;
  return tick;
}

int64_t VideoArchive::FindResyncPoint(int64_t position, const uint8_t* window, size_t size) {
  if (size < kSignaturePatternSize) return -1;
  const uint8_t* end = window + size;
  const uint8_t* found = std::search(window, end, kSignaturePattern,
                                     kSignaturePattern + kSignaturePatternSize);
  if (found == end) return -1;
  const int64_t target = position + (found - window) -
                         static_cast<int64_t>(kBlockHeaderSize + kSignatureOffset);
  // A signature too close to the file's start cannot belong to a block.
  return target < 0 ? -1 : target;
}

const FrameEntry* VideoArchive::Entry(int slot) const {
  if (slot < 0 || slot >= slotCount_) return nullptr;
  return slots_[static_cast<size_t>(slot)].get();
}

void VideoArchive::Close() {
  source_.reset();
  // Entries and index lie below their counts; nothing above them is ever set.
  for (int s = 0; s < slotCount_; ++s) slots_[static_cast<size_t>(s)].reset();
  std::fill(index_.begin(), index_.begin() + indexCount_, TimeIndexEntry{});
  slotCount_ = 0;
  indexCount_ = 0;
  currentSlot_ = -1;
  recfiles::DeleteQuietly(soundPath_);
}

void VideoArchive::Load(const std::wstring& path, ILoadProgress* player) {
  Close();
  std::unique_ptr<IByteSource> source = recfiles::OpenForReading(path);
  if (!source) ThrowUnreadable();
  Load(std::move(source), player);
}

void VideoArchive::Load(std::unique_ptr<IByteSource> source, ILoadProgress* player) {
  Close();
  try {
    LoadBody(std::move(source), player);
  } catch (...) {
    // Whatever stopped the load, nothing of it may stay behind: no half-built tables,
    // no open file, no orphaned temporary WAVE file.
    Close();
    throw;
  }
}

void VideoArchive::LoadBody(std::unique_ptr<IByteSource> source, ILoadProgress* player) {
  source_ = std::move(source);
  IByteSource& file = *source_;
  const int64_t fileSize = file.Size();
  soundBytes_ = 0;

  // The temporary sound file; without it the recording still plays, silently.
  std::unique_ptr<IByteSink> sink;
  soundPath_.clear();
  if (recfiles::CreateTempFile(soundPath_)) sink = recfiles::OpenForWriting(soundPath_);
  std::vector<uint8_t> pool;
  if (sink) {
    // Sound takes about a seventieth of a recording: one reservation instead of a
    // chain of growing copies.
    pool.reserve(static_cast<size_t>(std::min<int64_t>(fileSize / 32, kSoundPoolLimit)));
    SoundTrackWriter(*sink, pool, nullptr).WriteHeader(0);
  } else {
    if (player) player->soundLost();
  }

  // A chunk never larger than the file: small files (and fuzz inputs) stay cheap, and
  // the resynchronisation window still reaches the end of the file.
  ChunkReader reader(file, static_cast<size_t>(std::clamp<int64_t>(fileSize, 4096, static_cast<int64_t>(ChunkReader::kDefaultChunk))));
  uint8_t header[kArchiveHeaderSize];
  if (reader.Read(0, header, sizeof header) < sizeof header) ThrowUnreadable();
  const ArchiveHeader archiveHeader = DecodeArchiveHeader(header);
  recordingStartTime_ = archiveHeader.startTime;
  startTick_ = archiveHeader.startTick;
  archiveId_ = archiveHeader.archiveId;

  // The scan.
  std::vector<std::unique_ptr<FrameEntry>> pictures;
  std::vector<SoundBlock> sounds;
  pictures.reserve(1024);
  int expected = 1;
  bool versionTested = false;
  int64_t lastValidTime = recordingStartTime_;
  ScanProgress progress(player, fileSize);
  int64_t position = static_cast<int64_t>(kHeaderAreaSize);

  auto dropIncompletePicture = [&pictures] {
    if (!pictures.empty() && !pictures.back()->complete) pictures.pop_back();
  };

  while (sounds.size() < static_cast<size_t>(kMaxSlots)) {
    progress.Block(position);

    size_t available = 0;
    const uint8_t* bytes = reader.View(position, kBlockHeaderSize + kTagSize, available);
    if (available < kBlockHeaderSize + kTagSize) break;
    const BlockHeader block = DecodeBlockHeader(bytes);
    uint8_t tag[kTagSize];
    std::memcpy(tag, bytes + kBlockHeaderSize, kTagSize);
    const int64_t contentStart = position + static_cast<int64_t>(kBlockHeaderSize);
    // Where the block ends; a size that does not reach past the header moves nowhere.
    const int64_t blockEnd =
        block.blockSize > static_cast<int32_t>(kBlockHeaderSize) ? position + block.blockSize : contentStart;

    const BlockKind kind = ClassifyBlock(block, tag, archiveId_);
    if (kind == BlockKind::Lost) {
      const uint8_t* window = reader.View(contentStart, kResyncWindow, available);
      const int64_t target = FindResyncPoint(contentStart, window, available);
      if (target < 0) break;
      position = target;
      continue;
    }
    if (kind == BlockKind::OtherArchive) {
      dropIncompletePicture();
      break;
    }
    if (block.fragment != expected) {
      expected = 1;
      dropIncompletePicture();
      position = blockEnd;
      continue;
    }

    if (block.fragment == 1 || block.type != kPictureBlock) {
      auto entry = std::make_unique<FrameEntry>();
      entry->fragmentPos[0] = contentStart;
      entry->fragmentCount = 1;
      entry->blockSize = block.blockSize;
      entry->payloadSize = block.payloadSize;
      entry->type = block.type;
      entry->firstFragment = block.fragment;
      entry->archiveId = block.archiveId;
      entry->tick = WidenTick(block.tick, archiveHeader.startTick);
      entry->complete = static_cast<int64_t>(block.blockSize) - static_cast<int64_t>(kBlockHeaderSize) >=
                        block.payloadSize;
      if (!entry->complete) ++expected;

      if (block.type == kPictureBlock) {
        if (!versionTested) {
          if (!HasVersion(tag, version_)) ThrowUnreadable();
          versionTested = true;
        }
        const PictureValues values = DecodePictureValues(bytes);
        entry->status = values.status;
        entry->shortValue = static_cast<int32_t>(values.shortValue);
        if (values.time != 0) lastValidTime = values.time;
        entry->time = lastValidTime;
        entry->gX = values.gx;
        entry->gY = values.gy;
        entry->gZ = values.gz;
        entry->gTotal = values.gTotal;
        entry->speed = values.speed;
        entry->value1 = static_cast<int32_t>(values.value1);
        entry->value2 = static_cast<int32_t>(values.value2);
        entry->event = values.event;
        // A payload that is negative or larger than the fragment table can describe
        // cannot be read back: such a picture is dropped here, not trusted later.
        const bool usable = block.payloadSize >= static_cast<int32_t>(kTagSize) &&
                            block.payloadSize <= kMaxPicturePayload;
        if (block.blockSize <= 0 || !usable) {
          expected = 1;
          if (block.blockSize > 0) position = position + block.blockSize;
          else position = contentStart;
          continue;
        }
        position = position + block.blockSize;
        pictures.push_back(std::move(entry));
      } else if (block.type == kSoundBlock) {
        if (!sink) {
          position = blockEnd;
        } else if (block.blockSize <= 0) {
          position = contentStart;
        } else {
          position = position + block.blockSize;
          SoundBlock sound;
          sound.tick = entry->tick;
          sound.payloadSize = block.payloadSize;
          sound.position = contentStart;
          const size_t used = static_cast<size_t>(std::clamp(block.payloadSize, 0, kSoundPieceBytes));
          if (used > 0 && pool.size() + used <= kSoundPoolLimit) {
            size_t got = 0;
            const uint8_t* samples = reader.View(contentStart, used, got);
            sound.pooled = static_cast<int64_t>(pool.size());
            sound.pooledSize = static_cast<uint32_t>(got);
            pool.insert(pool.end(), samples, samples + got);
          }
          sounds.push_back(sound);
        }
      } else {
        position = contentStart;  // the next header read fails the test and resynchronises
      }
    } else {
      // A picture's continuing fragment.
      if (pictures.empty() || pictures.back()->complete) {
        position = blockEnd;
        continue;
      }
      FrameEntry& entry = *pictures.back();
      const int n = entry.fragmentCount + 1;
      if (expected > kMaxFragments || n > kMaxFragments) {
        // More fragments than a picture can have: the counts are damaged.
        pictures.pop_back();
        expected = 1;
        position = blockEnd;
        continue;
      }
      entry.fragmentPos[expected - 1] = contentStart;
      entry.fragmentCount = n;
      if (entry.payloadSize > n * kNextFragmentContent + 16) {
        ++expected;
        position = blockEnd;
        continue;
      }
      const int64_t used = entry.payloadSize - static_cast<int64_t>(n - 1) * kNextFragmentContent;
      uint8_t tail[5];
      if (reader.Read(contentStart + used - 5, tail, sizeof tail) < sizeof tail) break;
      bool endMarker = false;
      for (int i = 0; i < 4; ++i) endMarker = endMarker || (tail[i] == 0xFF && tail[i + 1] == 0xD9);
      if (endMarker) {
        entry.complete = true;
        expected = 1;
      } else {
        pictures.pop_back();
      }
      position = blockEnd;
    }
    if (pictures.size() >= static_cast<size_t>(kMaxSlots)) break;
  }
  if (player) player->showProgress(90);

  double firstTick = DBL_MAX;
  for (const auto& p : pictures) firstTick = std::min(firstTick, static_cast<double>(p->tick));

  if (sink) {
    SoundTrackWriter writer(*sink, pool, &file);
    soundBytes_ = writer.WriteTrack(sounds, !pictures.empty(), firstTick);
    sink.reset();
  }
  pool = std::vector<uint8_t>();

  if (pictures.empty() && sounds.empty()) ThrowUnreadable();

  double offset = 0;
  if (!sounds.empty()) {
    const double s0 = static_cast<double>(sounds.front().tick);  // sorted by the writer
    offset = std::max(0.0, firstTick - (s0 + SoundTrackWriter::kLeadMs));
  }

  // The timeline: each picture in its slot, or the next one when that is taken.
  for (auto& picture : pictures) {
    const double at = (static_cast<double>(picture->tick) - firstTick + offset) / kSlotMs;
    if (!(at > -1.0 && at < kLastPlacedSlot + 1)) continue;
    const int slot = static_cast<int>(at);
    if (slot < 0 || slot > kLastPlacedSlot) continue;
    int used = -1;
    if (!slots_[slot]) used = slot;
    else if (!slots_[slot + 1]) used = slot + 1;
    if (used < 0) {
      // The picture is lost, but an event it marked survives.
      if (picture->event == kEventFlag) slots_[slot]->event = kEventFlag;
      continue;
    }
    slots_[used] = std::move(picture);
    slotCount_ = std::max(slotCount_, used + 1);
  }
  pictures.clear();

  // Gaps take a copy of the picture before them, leading gaps of the one after.
  const FrameEntry* recent = nullptr;
  for (int s = 0; s < slotCount_; ++s) {
    if (slots_[s]) {
      if (!slots_[s]->copy) recent = slots_[s].get();
    } else if (recent) {
      slots_[s] = std::make_unique<FrameEntry>(recent->GapCopy());
    }
  }
  const FrameEntry* following = nullptr;
  for (int s = slotCount_ - 1; s >= 0; --s) {
    if (slots_[s]) following = slots_[s].get();
    else if (following) slots_[s] = std::make_unique<FrameEntry>(following->GapCopy());
  }

  indexCount_ = 0;
  for (int s = 0; s < slotCount_; ++s) {
    if (slots_[s]) index_[indexCount_++] = TimeIndexEntry{slots_[s]->tick, s, 0};
  }
  std::stable_sort(index_.begin(), index_.begin() + indexCount_,
                   [](const TimeIndexEntry& a, const TimeIndexEntry& b) { return a.tick < b.tick; });

  firstPictureTime_ = 0;
  lastPictureTime_ = 0;
  for (int s = 0; s < slotCount_; ++s) {
    if (slots_[s] && slots_[s]->time != 0) {
      firstPictureTime_ = slots_[s]->time;
      break;
    }
  }
  for (int s = slotCount_ - 1; s >= 0; --s) {
    if (slots_[s] && slots_[s]->time != 0) {
      lastPictureTime_ = slots_[s]->time;
      break;
    }
  }
  summaryStartTime_ = recordingStartTime_;
  if (player) player->showProgress(100);
}

bool VideoArchive::ReadFrameJpeg(int slot, std::vector<uint8_t>& jpeg) {
  const FrameEntry* entry = Entry(slot);
  if (!source_ || !entry) return false;
  if (entry->blockSize <= 16 || entry->blockSize > kMaxReadBlockSize) return false;
  const int32_t payload = entry->payloadSize;
  if (payload < static_cast<int32_t>(kTagSize) || payload > kMaxPicturePayload) return false;
  if (entry->fragmentCount < 1 || entry->fragmentCount > kMaxFragments) return false;
  jpeg.assign(static_cast<size_t>(payload), 0);
  for (int b = 0; b < entry->fragmentCount; ++b) {
    const int64_t at = entry->fragmentPos[b] + (b == 0 ? 0 : static_cast<int64_t>(kTagSize));
    const int32_t offset = b == 0 ? 0 : kFirstFragmentContent + (b - 1) * kNextFragmentContent;
    int32_t count;
    if (b == 0) count = std::min(payload, kFirstFragmentContent);
    else if (payload >= b * kNextFragmentContent + kFirstFragmentContent) count = kNextFragmentContent;
    else count = payload - b * kNextFragmentContent - 16;
    if (count <= 0 || offset + count > payload) break;
    if (source_->ReadAt(at, jpeg.data() + offset, static_cast<size_t>(count)) != static_cast<size_t>(count))
      return false;
  }
  return RebuildJpegStream(jpeg, version_);
}

std::unique_ptr<Image> VideoArchive::ReadFrameImage(int slot) { return ReadFrameImage(slot, limits_); }

std::unique_ptr<Image> VideoArchive::ReadFrameImage(int slot, const ImageDecodingLimits& limits) {
  std::vector<uint8_t> jpeg;
  if (!ReadFrameJpeg(slot, jpeg)) return nullptr;
  try {
    return DecodeJpegImage(jpeg.data(), jpeg.size(), limits);
  } catch (...) {
    // The loader thread must never die of a picture: out of memory is no picture.
    return nullptr;
  }
}

void VideoArchive::OpenPlain(const std::wstring& path) {
  Close();
  source_ = recfiles::OpenForReading(path);
  if (!source_) throw VideoArchiveException(LoadText(kTextPictureMoved));
  slotCount_ = 1;
}

void VideoArchive::OpenEntrySource(int slot) {
  source_.reset();
  const FrameEntry* entry = slot < slotCount_ ? Entry(slot) : nullptr;
  if (!entry) ThrowUnreadable();
  source_ = recfiles::OpenForReading(entry->sourcePath);
  if (!source_) ThrowUnreadable();
}
