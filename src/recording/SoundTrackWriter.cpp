#include "recording/SoundTrackWriter.h"

#include <algorithm>
#include <cstring>

#include "recording/ArchiveFormat.h"

namespace {

void PutU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// Sound bytes worth `ms` milliseconds: the product in 64-bit integers, the division in
// doubles, truncated.
int64_t BytesForMs(int64_t ms) {
  return static_cast<int64_t>(static_cast<double>(ms * archive::kSoundSampleRate) / 1000.0);
}

// Bytes between two ticks, as the track counts them: a damaged tick may make any value.
int32_t GapBytes(int64_t fromTick, int64_t toTick) {
  return static_cast<int32_t>(static_cast<uint32_t>(BytesForMs(toTick - fromTick)));
}

}  // namespace

SoundTrackWriter::SoundTrackWriter(IByteSink& sink, const std::vector<uint8_t>& pool,
                                   IByteSource* archive)
    : sink_(sink), pool_(pool), archive_(archive) {}

bool SoundTrackWriter::WriteHeader(uint32_t dataBytes) {
  uint8_t h[kHeaderSize];
  std::memcpy(h, "RIFF", 4);
  PutU32(h + 4, dataBytes + 36);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutU32(h + 16, 16);
  PutU16(h + 20, 1);  // PCM
  PutU16(h + 22, 1);  // mono
  PutU32(h + 24, archive::kSoundSampleRate);
  PutU32(h + 28, archive::kSoundSampleRate);  // one byte a sample
  PutU16(h + 32, 1);
  PutU16(h + 34, 8);
  std::memcpy(h + 36, "data", 4);
  PutU32(h + 40, dataBytes);
  return sink_.Write(h, sizeof h);
}

void SoundTrackWriter::Put(const uint8_t* data, size_t size) {
  // A full disk loses sound, not the recording: write errors are not fatal here.
  sink_.Write(data, size);
  written_ += size;
}

void SoundTrackWriter::Fill(uint8_t value, uint64_t count) {
  uint8_t piece[kPieceBytes];
  std::memset(piece, value, sizeof piece);
  while (count > 0) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, kPieceBytes));
    Put(piece, n);
    count -= n;
  }
}

size_t SoundTrackWriter::Fetch(const SoundBlock& block, uint8_t* buffer, size_t size) {
  if (block.pooled >= 0) {
    const size_t n = std::min<size_t>(size, block.pooledSize);
    if (n > 0) std::memcpy(buffer, pool_.data() + block.pooled, n);
    return n;
  }
  return archive_ ? archive_->ReadAt(block.position, buffer, size) : 0;
}

size_t SoundTrackWriter::UsedBytes(const SoundBlock& block) {
  return static_cast<size_t>(std::clamp(block.payloadSize, 0, kPieceBytes));
}

uint64_t SoundTrackWriter::LeadBytes(int64_t firstSoundTick, bool hasPictures, double firstPictureTick) {
  if (!hasPictures) return 0;
  const double leadMs = static_cast<double>(firstSoundTick) - firstPictureTick - kLeadMs;
  // Compared in doubles first: a damaged tick must not overflow the conversion.
  if (!(leadMs >= 1.0)) return 0;
  const int64_t lead = static_cast<int64_t>(std::min(leadMs, 1e12));
  return std::min<uint64_t>(static_cast<uint64_t>(BytesForMs(lead)), kMaxFillTotal);
}

void SoundTrackWriter::WriteLead(int64_t firstSoundTick, bool hasPictures, double firstPictureTick) {
  Fill(0x80, LeadBytes(firstSoundTick, hasPictures, firstPictureTick));
}

void SoundTrackWriter::WriteBlock(const SoundBlock& block, const uint8_t* samples, size_t got,
                                  int64_t nextTick) {
  const int32_t gap = GapBytes(block.tick, nextTick);
  if (gap <= kMinGapBytes) return;
  const size_t u = UsedBytes(block);
  if (u > 0 && got >= u) {
    // Every byte was read: written as it is, without a copy.
    Put(samples, u);
    last_ = samples[u - 1];
  } else {
    uint8_t buffer[kPieceBytes];
    std::memset(buffer, last_, u);
    if (got > 0) std::memcpy(buffer, samples, got);
    if (u > 0) last_ = buffer[u - 1];
    Put(buffer, u);
  }
  int64_t done = static_cast<int64_t>(u);
  while (gap - done > kMaxGapRest && written_ < kMaxFillTotal) {
    const int64_t n = std::min<int64_t>(gap - done, kPieceBytes);
    Fill(last_, static_cast<uint64_t>(n));
    done += n;
  }
}

void SoundTrackWriter::WriteLastBlock(const SoundBlock& block, const uint8_t* samples, size_t got) {
  const size_t u = UsedBytes(block);
  uint8_t buffer[kPieceBytes];
  std::memset(buffer, 0x80, u);
  if (got > 0) std::memcpy(buffer, samples, std::min(got, u));
  Put(buffer, u);
}

uint32_t SoundTrackWriter::Finish() {
  const uint32_t dataBytes = static_cast<uint32_t>(written_);
  // A track written again over a longer one must not keep the old one's tail.
  sink_.EndHere();
  if (sink_.Rewind()) WriteHeader(dataBytes);
  return dataBytes;
}

uint32_t SoundTrackWriter::WriteTrack(std::vector<SoundBlock>& blocks, bool hasPictures,
                                      double firstPictureTick) {
  std::stable_sort(blocks.begin(), blocks.end(),
                   [](const SoundBlock& a, const SoundBlock& b) { return a.tick < b.tick; });
  WriteLead(blocks.empty() ? 0 : blocks.front().tick, hasPictures, firstPictureTick);
  uint8_t samples[kPieceBytes];
  for (size_t i = 0; i + 1 < blocks.size(); ++i) {
    const SoundBlock& block = blocks[i];
    // A block its successor follows too closely is dropped unread.
    if (GapBytes(block.tick, blocks[i + 1].tick) <= kMinGapBytes) continue;
    const size_t got = Fetch(block, samples, UsedBytes(block));
    WriteBlock(block, samples, got, blocks[i + 1].tick);
  }
  if (!blocks.empty()) {
    const size_t got = Fetch(blocks.back(), samples, UsedBytes(blocks.back()));
    WriteLastBlock(blocks.back(), samples, got);
  }
  return Finish();
}
