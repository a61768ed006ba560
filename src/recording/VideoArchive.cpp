#include "recording/VideoArchive.h"

#include <algorithm>
#include <cfloat>
#include <cstddef>
#include <cstring>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/ArchiveScanner.h"
#include "recording/ChunkReader.h"
#include "recording/RecordingFiles.h"
#include "recording/SoundTrackStream.h"
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
  soundStreamed_ = false;
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

  std::unique_ptr<SoundTrackStream> track;
  if (sound) {
    track = std::make_unique<SoundTrackStream>(*sound, *source_);
    track->Begin();
  }
  ArchiveScanner scanner(reader, archiveHeader, version_, track.get());
  scanner.Run(player);
  if (player) player->showProgress(90);

  std::vector<std::unique_ptr<FrameEntry>>& pictures = scanner.Pictures();
  std::vector<SoundBlock>& sounds = scanner.Sounds();
  double firstTick = DBL_MAX;
  for (const auto& p : pictures) firstTick = std::min(firstTick, static_cast<double>(p->tick));
  if (track) {
    soundBytes_ = track->Finish(sounds, !pictures.empty(), firstTick);
    soundStreamed_ = track->Streamed();
  }
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
  jpeg.resize(static_cast<size_t>(payload));
  if (!ReadFragments(*entry, jpeg)) return false;
  return RebuildJpegStream(jpeg, version_);
}

bool VideoArchive::ReadFragments(const FrameEntry& entry, std::vector<uint8_t>& content) {
  // The same spans the scan followed; fragments beyond what the payload needs carry
  // nothing of it. The spans follow each other in the payload from its start.
  struct Piece {
    int64_t at;
    size_t offset;
    size_t length;
  };
  Piece pieces[kMaxFragments];
  int count = 0;
  size_t covered = 0;
  bool ascending = true;
  for (int k = 1; k <= entry.fragmentCount; ++k) {
    const FragmentSpan span = FragmentContent(entry.payloadSize, k);
    if (span.length <= 0) break;
    const int64_t at = entry.fragmentPos[k - 1] + static_cast<int64_t>(span.blockOffset - kBlockHeaderSize);
    if (count > 0 && at < pieces[count - 1].at + static_cast<int64_t>(pieces[count - 1].length)) ascending = false;
    pieces[count++] = {at, static_cast<size_t>(span.contentOffset), static_cast<size_t>(span.length)};
    covered = static_cast<size_t>(span.contentOffset + span.length);
  }
  // A picture cut short by the end of the recording keeps zeros where it ends.
  std::fill(content.begin() + static_cast<std::ptrdiff_t>(covered), content.end(), uint8_t(0));
  if (count == 0) return true;

  // The fragments lie close together, between sound blocks: one read of the stretch
  // they span costs less than a read each.
  const int64_t first = pieces[0].at;
  const int64_t end = pieces[count - 1].at + static_cast<int64_t>(pieces[count - 1].length);
  if (ascending && end - first <= static_cast<int64_t>(kOneReadLimit)) {
    const size_t stretch = static_cast<size_t>(end - first);
    stretch_.resize(stretch);
    if (source_->ReadAt(first, stretch_.data(), stretch) == stretch) {
      for (int i = 0; i < count; ++i) {
        std::memcpy(content.data() + pieces[i].offset, stretch_.data() + (pieces[i].at - first), pieces[i].length);
      }
      return true;
    }
  }
  for (int i = 0; i < count; ++i) {
    if (source_->ReadAt(pieces[i].at, content.data() + pieces[i].offset, pieces[i].length) != pieces[i].length) {
      return false;
    }
  }
  return true;
}

std::unique_ptr<Image> VideoArchive::ReadFrameImage(int slot) { return ReadFrameImage(slot, limits_); }

std::unique_ptr<Image> VideoArchive::ReadFrameImage(int slot, const ImageDecodingLimits& limits) {
  try {
    if (!ReadFrameJpeg(slot, jpeg_)) return nullptr;
    return decoder_.Decode(jpeg_.data(), jpeg_.size(), limits);
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
