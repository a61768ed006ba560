#include "recording/VideoArchive.h"

#include <algorithm>
#include <cfloat>
#include <cstring>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/ArchiveScanner.h"
#include "recording/ChunkReader.h"
#include "recording/RecordingFiles.h"
#include "recording/SoundTrackWriter.h"
#include "toolkit/ImageDecoding.h"

using namespace archive;

namespace {

constexpr int64_t kWrapMargin = 3600000;      // one hour of ticks
constexpr int64_t kWrapAdd = 4294967295LL;    // what the recorder's counter adds on a wrap

[[noreturn]] void ThrowUnreadable() { throw VideoArchiveException(LoadText(kTextDataUnreadable)); }

}  // namespace

VideoArchive::VideoArchive()
    : index_(kMaxSlots), slots_(kMaxSlots), version_(ProcessFormatVersion()) {}

VideoArchive::~VideoArchive() { Close(); }

int64_t VideoArchive::WidenTick(uint32_t tick, uint32_t startTick) {
  if (startTick > kWrapMargin && tick < startTick - kWrapMargin) return tick + kWrapAdd;
  return tick;
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
  soundPath_.clear();
  std::unique_ptr<IByteSink> sound;
  if (recfiles::CreateTempFile(soundPath_)) sound = recfiles::OpenForWriting(soundPath_);
  // Without it the recording still plays, silently.
  if (!sound && player) player->soundLost();
  IByteSink* sink = sound.get();
  LoadOrClose(std::move(source), player, sink, std::move(sound));
}

void VideoArchive::Load(std::unique_ptr<IByteSource> source, ILoadProgress* player, IByteSink* sound) {
  Close();
  soundPath_.clear();
  LoadOrClose(std::move(source), player, sound, nullptr);
}

void VideoArchive::LoadOrClose(std::unique_ptr<IByteSource> source, ILoadProgress* player,
                               IByteSink* sound, std::unique_ptr<IByteSink> ownedSound) {
  try {
    LoadBody(std::move(source), player, sound);
  } catch (...) {
    // Whatever stopped the load, nothing of it may stay behind: no half-built tables,
    // no open file, no orphaned temporary WAVE file. The sound file is closed first,
    // since Windows deletes no file that is still open.
    ownedSound.reset();
    Close();
    throw;
  }
}

void VideoArchive::LoadBody(std::unique_ptr<IByteSource> source, ILoadProgress* player,
                            IByteSink* sound) {
  source_ = std::move(source);
  soundBytes_ = 0;
  const int64_t fileSize = source_->Size();
  // A chunk never larger than the file: small files (and fuzz inputs) stay cheap, and
  // the resynchronisation window still reaches the end of the file.
  ChunkReader reader(*source_, static_cast<size_t>(std::clamp<int64_t>(
                                   fileSize, 4096, static_cast<int64_t>(ChunkReader::kDefaultChunk))));
  uint8_t header[kArchiveHeaderSize];
  if (reader.Read(0, header, sizeof header) < sizeof header) ThrowUnreadable();
  const ArchiveHeader archiveHeader = DecodeArchiveHeader(header);
  recordingStartTime_ = archiveHeader.startTime;
  startTick_ = archiveHeader.startTick;
  archiveId_ = archiveHeader.archiveId;

  std::vector<uint8_t> pool;
  if (sound) {
    // Sound takes about a seventieth of a recording: one reservation instead of a
    // chain of growing copies.
    pool.reserve(static_cast<size_t>(std::min<int64_t>(fileSize / 32, ArchiveScanner::kSoundPoolLimit)));
    SoundTrackWriter(*sound, pool, nullptr).WriteHeader(0);
  }
  ArchiveScanner scanner(reader, archiveHeader, version_, sound ? &pool : nullptr);
  scanner.Run(player);
  if (player) player->showProgress(90);

  std::vector<std::unique_ptr<FrameEntry>>& pictures = scanner.Pictures();
  std::vector<SoundBlock>& sounds = scanner.Sounds();
  double firstTick = DBL_MAX;
  for (const auto& p : pictures) firstTick = std::min(firstTick, static_cast<double>(p->tick));
  if (sound) {
    soundBytes_ = SoundTrackWriter(*sound, pool, source_.get()).WriteTrack(sounds, !pictures.empty(), firstTick);
  }
  pool = std::vector<uint8_t>();
  if (pictures.empty() && sounds.empty()) ThrowUnreadable();

  double offset = 0;
  if (!sounds.empty()) {
    const double s0 = static_cast<double>(sounds.front().tick);  // sorted by the writer
    offset = std::max(0.0, firstTick - (s0 + SoundTrackWriter::kLeadMs));
  }
  PlaceOnTimeline(pictures, firstTick, offset);
  FillGaps();
  BuildTimeIndex();
  SummariseTimes();
  if (player) player->showProgress(100);
}

void VideoArchive::PlaceOnTimeline(std::vector<std::unique_ptr<FrameEntry>>& pictures,
                                   double firstTick, double offset) {
  // Each picture in its slot, or the next one when that is taken.
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
}

void VideoArchive::FillGaps() {
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
}

void VideoArchive::BuildTimeIndex() {
  indexCount_ = 0;
  for (int s = 0; s < slotCount_; ++s) {
    if (slots_[s]) index_[indexCount_++] = TimeIndexEntry{slots_[s]->tick, s, 0};
  }
  const auto byTick = [](const TimeIndexEntry& a, const TimeIndexEntry& b) { return a.tick < b.tick; };
  // Slots follow the ticks, so the index is nearly always in order already.
  const auto end = index_.begin() + indexCount_;
  if (!std::is_sorted(index_.begin(), end, byTick)) std::stable_sort(index_.begin(), end, byTick);
}

void VideoArchive::SummariseTimes() {
  firstPictureTime_ = 0;
  lastPictureTime_ = 0;
  for (int s = 0; s < slotCount_ && firstPictureTime_ == 0; ++s) {
    if (slots_[s]) firstPictureTime_ = slots_[s]->time;
  }
  for (int s = slotCount_ - 1; s >= 0 && lastPictureTime_ == 0; --s) {
    if (slots_[s]) lastPictureTime_ = slots_[s]->time;
  }
  summaryStartTime_ = recordingStartTime_;
}

bool VideoArchive::ReadFrameJpeg(int slot, std::vector<uint8_t>& jpeg) {
  const FrameEntry* entry = Entry(slot);
  if (!source_ || !entry) return false;
  if (entry->blockSize <= 16 || entry->blockSize > kMaxBlockSize) return false;
  const int32_t payload = entry->payloadSize;
  if (payload < static_cast<int32_t>(kTagSize) || payload > kMaxPicturePayload) return false;
  if (entry->fragmentCount < 1 || entry->fragmentCount > kMaxFragments) return false;
  jpeg.assign(static_cast<size_t>(payload), 0);
  for (int k = 1; k <= entry->fragmentCount; ++k) {
    // The same spans the scan followed; fragments beyond what the payload needs carry
    // nothing of it.
    const FragmentSpan span = FragmentContent(payload, k);
    if (span.length <= 0) break;
    const int64_t at = entry->fragmentPos[k - 1] + static_cast<int64_t>(span.blockOffset - kBlockHeaderSize);
    const size_t count = static_cast<size_t>(span.length);
    if (source_->ReadAt(at, jpeg.data() + span.contentOffset, count) != count) return false;
  }
  return RebuildJpegStream(jpeg, version_);
}

std::unique_ptr<Image> VideoArchive::ReadFrameImage(int slot) { return ReadFrameImage(slot, limits_); }

std::unique_ptr<Image> VideoArchive::ReadFrameImage(int slot, const ImageDecodingLimits& limits) {
  try {
    std::vector<uint8_t> jpeg;
    if (!ReadFrameJpeg(slot, jpeg)) return nullptr;
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
