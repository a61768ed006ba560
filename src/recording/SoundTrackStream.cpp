#include "recording/SoundTrackStream.h"

#include <algorithm>

namespace {

const std::vector<uint8_t> kNothingKept;

}  // namespace

SoundTrackStream::SoundTrackStream(IByteSink& sink, IByteSource& archive)
    : sink_(sink), archive_(archive), writer_(sink, kept_, &archive) {}

void SoundTrackStream::Begin() { writer_.WriteHeader(0); }

void SoundTrackStream::PictureFound(int64_t tick) {
  if (pictureFound_) return;
  pictureFound_ = true;
  firstFoundPictureTick_ = tick;
  if (mode_ == Mode::Waiting && !waiting_.empty()) Start();
}

void SoundTrackStream::BlockFound(const SoundBlock& block, const uint8_t* samples, size_t got) {
  ++found_;
  if (mode_ == Mode::Rewrite) return;
  if (block.tick < lastTick_) {
    GiveUp();  // out of tick order: the sorted track differs from the file's order
    return;
  }
  lastTick_ = block.tick;
  if (mode_ == Mode::Streaming) {
    // The block that waited now knows its gap; this one takes its place.
    const SoundBlock& before = waiting_.front();
    writer_.WriteBlock(before, kept_.data(), before.pooledSize, block.tick);
    waiting_.clear();
    kept_.clear();
    Keep(block, samples, got);
    return;
  }
  Keep(block, samples, got);
  if (pictureFound_) {
    Start();
  } else if (kept_.size() > kMaxWaitingBytes) {
    GiveUp();
  }
}

void SoundTrackStream::Keep(const SoundBlock& block, const uint8_t* samples, size_t got) {
  SoundBlock kept = block;
  kept.pooled = static_cast<int64_t>(kept_.size());
  kept.pooledSize = static_cast<uint32_t>(got);
  if (got > 0) kept_.insert(kept_.end(), samples, samples + got);
  waiting_.push_back(kept);
}

// The first picture and the first block are known: the silence goes out, and every kept
// block but the last.
void SoundTrackStream::Start() {
  firstSoundTick_ = waiting_.front().tick;
  leadWritten_ = SoundTrackWriter::LeadBytes(firstSoundTick_, true, static_cast<double>(firstFoundPictureTick_));
  writer_.WriteLead(firstSoundTick_, true, static_cast<double>(firstFoundPictureTick_));
  for (size_t i = 0; i + 1 < waiting_.size(); ++i) {
    const SoundBlock& block = waiting_[i];
    writer_.WriteBlock(block, kept_.data() + block.pooled, block.pooledSize, waiting_[i + 1].tick);
  }
  const SoundBlock last = waiting_.back();
  kept_.erase(kept_.begin(), kept_.begin() + last.pooled);
  waiting_.assign(1, last);
  waiting_.front().pooled = 0;
  mode_ = Mode::Streaming;
}

void SoundTrackStream::GiveUp() {
  mode_ = Mode::Rewrite;
  waiting_ = std::vector<SoundBlock>();
  kept_ = std::vector<uint8_t>();
}

uint32_t SoundTrackStream::Finish(std::vector<SoundBlock>& blocks, bool hasPictures, double firstPictureTick) {
  std::stable_sort(blocks.begin(), blocks.end(),
                   [](const SoundBlock& a, const SoundBlock& b) { return a.tick < b.tick; });
  const bool allFound = found_ == blocks.size();
  if (mode_ == Mode::Streaming && allFound &&
      SoundTrackWriter::LeadBytes(firstSoundTick_, hasPictures, firstPictureTick) == leadWritten_) {
    const SoundBlock& last = waiting_.front();
    writer_.WriteLastBlock(last, kept_.data(), last.pooledSize);
    streamed_ = true;
    return writer_.Finish();
  }
  if (mode_ == Mode::Waiting && allFound) {
    // Nothing written yet, and every block is at hand, in order.
    streamed_ = true;
    return writer_.WriteTrack(waiting_, hasPictures, firstPictureTick);
  }
  sink_.Rewind();
  SoundTrackWriter whole(sink_, kNothingKept, &archive_);
  whole.WriteHeader(0);
  for (SoundBlock& block : blocks) block.pooled = -1;
  return whole.WriteTrack(blocks, hasPictures, firstPictureTick);
}
