#include "recording/ArchiveScanner.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/VideoArchive.h"

using namespace archive;

namespace {

constexpr size_t kPeekSize = kBlockHeaderSize + kTagSize;
// Pumping every block would cost a system round trip per 8 KiB; every few
// milliseconds keeps the window just as responsive.
constexpr auto kPumpInterval = std::chrono::milliseconds(4);
constexpr uint32_t kBlocksPerClockCheck = 8;  // 64 KiB of archive, well below a millisecond
constexpr size_t kEndMarkerWindow = 5;
constexpr int64_t kResyncPiece = 64 * 1024;       // the end-of-image marker lies in the last 5 bytes

// The scan's view of the loading window: percentages in eighths of the file, at most one
// step a block, and the window's messages handled now and then.
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

bool HasImageEnd(const uint8_t (&tail)[kEndMarkerWindow]) {
  for (size_t i = 0; i + 1 < kEndMarkerWindow; ++i) {
    if (tail[i] == 0xFF && tail[i + 1] == 0xD9) return true;
  }
  return false;
}

}  // namespace

ArchiveScanner::ArchiveScanner(ChunkReader& reader, const ArchiveHeader& header,
                               FormatVersion version, SoundTrackStream* sound)
    : reader_(reader),
      header_(header),
      version_(version),
      sound_(sound),
      lastValidTime_(header.startTime) {
  pictures_.reserve(1024);
}

int64_t ArchiveScanner::FindResyncPoint(int64_t position, const uint8_t* window, size_t size) {
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

void ArchiveScanner::Run(ILoadProgress* progress) {
  ScanProgress report(progress, reader_.SourceSize());
  int64_t position = static_cast<int64_t>(kHeaderAreaSize);
  while (sounds_.size() < kMaxEntries && pictures_.size() < kMaxEntries) {
    report.Block(position);
    const int64_t next = Step(position);
    if (next == kEnd) break;
    position = next;
  }
}

// Why the scan ends on any input: `floor_` is the start of the last block the scan
// accepted, and it only ever grows. A block is accepted only above the floor; whatever
// the scan meets that is not a block (foreign bytes, a position past a wrong length,
// the end of the file) sends it to ResyncAfterFloor, whose target lies above the floor
// and holds a signature, so it is accepted next. Every accepted block raises the floor,
// and a handler's skip lands past the block's header.
int64_t ArchiveScanner::Step(int64_t position) {
  Block block;
  size_t available = 0;
  block.bytes = reader_.View(position, kPeekSize, available);
  if (available < kPeekSize) return ResyncAfterFloor(position);
  block.start = position;
  block.contentStart = position + static_cast<int64_t>(kBlockHeaderSize);
  block.header = DecodeBlockHeader(block.bytes);
  std::memcpy(block.tag, block.bytes + kBlockHeaderSize, kTagSize);

  const BlockKind kind = ClassifyBlock(block.header, block.tag, header_.archiveId);
  if (kind == BlockKind::Lost) return ResyncAfterFloor(position);
  if (block.start <= floor_) return kEnd;  // cannot happen; the guard keeps the proof local
  floor_ = block.start;
  if (kind == BlockKind::OtherArchive) {
    DropIncompletePicture();
    return kEnd;
  }
  return Handle(block);
}

int64_t ArchiveScanner::Handle(const Block& block) {
  if (block.header.fragment != expected_) {
    // The picture being assembled lost a fragment. A block that starts something new is
    // still read: one broken picture must not cost the good one behind it.
    expected_ = 1;
    DropIncompletePicture();
    return block.header.fragment == 1 ? OnStart(block) : SkipPast(block);
  }
  if (block.header.fragment == 1 || block.header.type != kPictureBlock) return OnStart(block);
  return OnContinuation(block);
}

int64_t ArchiveScanner::SkipPast(const Block& block) {
  const int32_t size = block.header.blockSize;
  if (!PlausibleBlockSize(size)) return ResyncAfterFloor(block.start);
  return block.start + size;  // past the header: a plausible size is larger than it
}

int64_t ArchiveScanner::ResyncAfterFloor(int64_t failed) {
  // The search starts where a signature would put its block above the floor: the last
  // accepted block (whose own tag holds the signature) is never found again, and the
  // blocks that a wrong length jumped over are found. It ends no earlier than the window
  // a lost scan is owed, 1 MiB from the content start of the block that failed, however
  // far above the floor that block lies.
  const int64_t from = floor_ + 1 + static_cast<int64_t>(kBlockHeaderSize + kSignatureOffset);
  const int64_t failedContent = failed + static_cast<int64_t>(kBlockHeaderSize);
  const int64_t limit = std::max(from, failedContent) + static_cast<int64_t>(kResyncWindow);
  // Searched in pieces, each overlapping the one before by a pattern's length less one
  // byte: asking the reader for small views keeps its buffer moving forward instead of
  // shifting a whole window on every resynchronisation.
  int64_t at = from;
  while (limit - at >= static_cast<int64_t>(kSignaturePatternSize)) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(kResyncPiece, limit - at));
    size_t available = 0;
    const uint8_t* piece = reader_.View(at, want, available);
    const int64_t target = FindResyncPoint(at, piece, available);
    if (target >= 0) return target;
    if (available < want) return kEnd;  // the end of the file
    at += static_cast<int64_t>(want - (kSignaturePatternSize - 1));
  }
  return kEnd;
}

std::unique_ptr<FrameEntry> ArchiveScanner::StartEntry(const Block& block) const {
  const BlockHeader& h = block.header;
  auto entry = std::make_unique<FrameEntry>();
  entry->fragmentPos[0] = block.contentStart;
  entry->fragmentCount = 1;
  entry->blockSize = h.blockSize;
  entry->payloadSize = h.payloadSize;
  entry->type = h.type;
  entry->firstFragment = h.fragment;
  entry->archiveId = h.archiveId;
  entry->tick = VideoArchive::WidenTick(h.tick, header_.startTick);
  entry->complete = static_cast<int64_t>(h.blockSize) - static_cast<int64_t>(kBlockHeaderSize) >=
                    h.payloadSize;
  return entry;
}

int64_t ArchiveScanner::OnStart(const Block& block) {
  std::unique_ptr<FrameEntry> entry = StartEntry(block);
  if (!entry->complete) ++expected_;
  if (block.header.type == kPictureBlock) return OnPictureStart(block, std::move(entry));
  if (block.header.type == kSoundBlock) return OnSound(block, *entry);
  // A signed block of no known type: what follows its header is not a block, and the
  // search is owed the window of the block that would have started there.
  return ResyncAfterFloor(block.contentStart);
}

int64_t ArchiveScanner::OnPictureStart(const Block& block, std::unique_ptr<FrameEntry> entry) {
  if (!versionTested_) {
    if (!HasVersion(block.tag, version_)) {
      throw VideoArchiveException(LoadText(kTextDataUnreadable));
    }
    versionTested_ = true;
  }
  FillPictureValues(block, *entry);
  const int32_t payload = block.header.payloadSize;
  // A payload that is negative or larger than the fragment table can describe cannot be
  // read back, and a block size that cannot be right says nothing about where the
  // picture's other fragments are: such a picture is dropped here, not trusted later.
  const bool usable = payload >= static_cast<int32_t>(kTagSize) && payload <= kMaxPicturePayload;
  if (!usable || !PlausibleBlockSize(block.header.blockSize)) {
    expected_ = 1;
    return SkipPast(block);
  }
  if (sound_) sound_->PictureFound(entry->tick);
  pictures_.push_back(std::move(entry));
  return SkipPast(block);
}

void ArchiveScanner::FillPictureValues(const Block& block, FrameEntry& entry) {
  const PictureValues values = DecodePictureValues(block.bytes);
  entry.status = values.status;
  entry.shortValue = static_cast<int32_t>(values.shortValue);
  if (values.time != 0) lastValidTime_ = values.time;
  entry.time = lastValidTime_;
  entry.gX = values.gx;
  entry.gY = values.gy;
  entry.gZ = values.gz;
  entry.gTotal = values.gTotal;
  entry.speed = values.speed;
  entry.value1 = static_cast<int32_t>(values.value1);
  entry.value2 = static_cast<int32_t>(values.value2);
  entry.event = values.event;
}

int64_t ArchiveScanner::OnSound(const Block& block, const FrameEntry& entry) {
  if (sound_ && PlausibleBlockSize(block.header.blockSize)) {
    SoundBlock sound;
    sound.tick = entry.tick;
    sound.payloadSize = block.header.payloadSize;
    sound.position = block.contentStart;
    // The bytes are at hand in the reader's chunk: they go to the track now.
    const size_t used = SoundTrackWriter::UsedBytes(sound);
    size_t got = 0;
    const uint8_t* samples = used > 0 ? reader_.View(block.contentStart, used, got) : nullptr;
    sound_->BlockFound(sound, samples, got);
    sounds_.push_back(sound);
  }
  return SkipPast(block);
}

int64_t ArchiveScanner::OnContinuation(const Block& block) {
  if (pictures_.empty() || pictures_.back()->complete) return SkipPast(block);
  FrameEntry& entry = *pictures_.back();
  const int n = entry.fragmentCount + 1;
  const int needed = FragmentCount(entry.payloadSize);
  if (n != expected_ || n > needed) {
    // More fragments than the picture's size calls for: its counts are damaged.
    pictures_.pop_back();
    expected_ = 1;
    return SkipPast(block);
  }
  entry.fragmentPos[n - 1] = block.contentStart;
  entry.fragmentCount = n;
  if (n < needed) {
    ++expected_;
    return SkipPast(block);
  }
  const FragmentSpan span = FragmentContent(entry.payloadSize, n);
  const int64_t contentEnd = block.start + static_cast<int64_t>(span.blockOffset) + span.length;
  uint8_t tail[kEndMarkerWindow];
  const int64_t tailStart = contentEnd - static_cast<int64_t>(kEndMarkerWindow);
  if (reader_.Read(tailStart, tail, sizeof tail) < sizeof tail) return kEnd;  // the file ends inside it
  if (HasImageEnd(tail) || (span.length == 1 && tail[4] == 0xD9 && PreviousFragmentEndsWithFF(entry, n))) {
    entry.complete = true;
    expected_ = 1;
  } else {
    pictures_.pop_back();
  }
  return SkipPast(block);
}

// A last fragment of a single byte holds only the D9 of the end marker; its FF ends the
// fragment before. Looking inside the last fragment alone would drop such a picture.
bool ArchiveScanner::PreviousFragmentEndsWithFF(const FrameEntry& entry, int n) {
  const FragmentSpan before = FragmentContent(entry.payloadSize, n - 1);
  const int64_t at = entry.fragmentPos[n - 2] +
                     static_cast<int64_t>(before.blockOffset - kBlockHeaderSize) + before.length - 1;
  uint8_t byte = 0;
  return reader_.Read(at, &byte, 1) == 1 && byte == 0xFF;
}

void ArchiveScanner::DropIncompletePicture() {
  if (!pictures_.empty() && !pictures_.back()->complete) pictures_.pop_back();
}
