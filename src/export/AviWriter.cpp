#include "export/AviWriter.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

constexpr uint32_t kAvihSize = 56;
constexpr uint32_t kStrhSize = 56;
constexpr uint32_t kBitmapInfoSize = 40;
constexpr uint32_t kWaveFormatSize = 16;
constexpr uint32_t kSuperIndexSize = 24 + 16 * AviWriter::kMaxParts;
constexpr uint32_t kDmlhSize = 248;
constexpr uint32_t kStandardIndexHeader = 24;
constexpr uint32_t kKeyFrame = 0x10;
constexpr uint32_t kHasIndex = 0x10;
constexpr uint32_t kInterleaved = 0x100;
// Offsets inside the 56-byte headers of the fields the end fills in.
constexpr int64_t kAvihTotalFrames = 16;
constexpr int64_t kAvihMaxBytesPerSec = 4;
constexpr int64_t kAvihSuggestedBuffer = 28;
constexpr int64_t kStrhLength = 32;
constexpr int64_t kStrhSuggestedBuffer = 36;

const char* const kChunkIds[2] = {"00dc", "01wb"};
const char* const kIndexIds[2] = {"ix00", "ix01"};

// Little-endian fields appended to a buffer.
class Bytes {
 public:
  Bytes& Id(const char* fourcc) {
    data_.insert(data_.end(), fourcc, fourcc + 4);
    return *this;
  }
  Bytes& U16(uint32_t v) { return Put(v, 2); }
  Bytes& U32(uint32_t v) { return Put(v, 4); }
  Bytes& U64(uint64_t v) { return Put(v, 8); }
  Bytes& Zeros(size_t n) {
    data_.insert(data_.end(), n, uint8_t(0));
    return *this;
  }
  size_t Size() const { return data_.size(); }
  const uint8_t* Data() const { return data_.data(); }
  // Fills in a 32-bit field written earlier.
  void Set32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) data_[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  }

 private:
  Bytes& Put(uint64_t v, int n) {
    for (int i = 0; i < n; ++i) data_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  std::vector<uint8_t> data_;
};

uint32_t U32(int64_t v) { return static_cast<uint32_t>(v); }
int64_t Padded(size_t size) { return static_cast<int64_t>(size + (size & 1)); }

}  // namespace

AviWriter::AviWriter(IClipSink& sink, const AviFormat& format) : sink_(sink), format_(format) {
  if (format_.width <= 0 || format_.height <= 0 || format_.framesPerSecond == 0 ||
      (format_.sound && format_.sampleRate == 0)) {
    throw std::invalid_argument("AVI format without size or rate");
  }
  WriteHeaders();
  StartPart();
}

void AviWriter::WriteHeaders() {
  Bytes b;
  b.Id("RIFF").U32(0).Id("AVI ");
  const size_t hdrlSize = b.Size() + 4;
  b.Id("LIST").U32(0).Id("hdrl");
  avihPosition_ = static_cast<int64_t>(b.Size()) + 8;
  b.Id("avih").U32(kAvihSize);
  b.U32((1000000 + format_.framesPerSecond / 2) / format_.framesPerSecond).U32(0).U32(0);
  b.U32(kHasIndex | kInterleaved).U32(0).U32(0).U32(static_cast<uint32_t>(Streams())).U32(0);
  b.U32(static_cast<uint32_t>(format_.width)).U32(static_cast<uint32_t>(format_.height)).Zeros(16);
  for (int s = 0; s < Streams(); ++s) {
    const size_t listSize = b.Size() + 4;
    b.Id("LIST").U32(0).Id("strl");
    strhPosition_[s] = static_cast<int64_t>(b.Size()) + 8;
    b.Id("strh").U32(kStrhSize);
    if (s == 0) {
      b.Id("vids").Id("MJPG").U32(0).U32(0).U32(0).U32(1).U32(format_.framesPerSecond);
      b.U32(0).U32(0).U32(0).U32(0xFFFFFFFFu).U32(0);
      b.U16(0).U16(0).U16(static_cast<uint32_t>(format_.width)).U16(static_cast<uint32_t>(format_.height));
      b.Id("strf").U32(kBitmapInfoSize);
      b.U32(kBitmapInfoSize).U32(static_cast<uint32_t>(format_.width)).U32(static_cast<uint32_t>(format_.height));
      b.U16(1).U16(24).Id("MJPG");
      b.U32(static_cast<uint32_t>(int64_t(format_.width) * format_.height * 3)).Zeros(16);
    } else {
      b.Id("auds").U32(0).U32(0).U32(0).U32(0).U32(1).U32(format_.sampleRate);
      b.U32(0).U32(0).U32(0).U32(0xFFFFFFFFu).U32(1).Zeros(8);
      b.Id("strf").U32(kWaveFormatSize);
      b.U16(1).U16(1).U32(format_.sampleRate).U32(format_.sampleRate).U16(1).U16(8);
    }
    // Room for the OpenDML super index; a JUNK chunk unless the file needs it.
    superIndexPosition_[s] = static_cast<int64_t>(b.Size());
    b.Id("JUNK").U32(kSuperIndexSize).U16(4).U16(0).U32(0).Id(kChunkIds[s]).Zeros(kSuperIndexSize - 12);
    b.Set32(listSize, static_cast<uint32_t>(b.Size() - listSize - 4));
  }
  // Room for the OpenDML header with the total frame count.
  odmlPosition_ = static_cast<int64_t>(b.Size());
  b.Id("JUNK").U32(4 + 8 + kDmlhSize).Id("odml").Id("dmlh").U32(kDmlhSize).Zeros(kDmlhSize);
  b.Set32(hdrlSize, static_cast<uint32_t>(b.Size() - hdrlSize - 4));
  sink_.Write(b.Data(), b.Size());
}

void AviWriter::StartPart() {
  if (static_cast<int>(parts_.size()) >= kMaxParts) throw std::length_error("AVI file beyond its index room");
  Part part;
  Bytes b;
  if (parts_.empty()) {
    part.riffPosition = 0;
  } else {
    part.riffPosition = sink_.Size();
    b.Id("RIFF").U32(0).Id("AVIX");
  }
  part.moviPosition = sink_.Size() + static_cast<int64_t>(b.Size()) + 8;
  b.Id("LIST").U32(0).Id("movi");
  sink_.Write(b.Data(), b.Size());
  parts_.push_back(part);
}

int64_t AviWriter::PartIndexBytes(const Part& part, size_t extraEntries) const {
  int64_t bytes = 0;
  size_t entries = extraEntries;
  for (int s = 0; s < Streams(); ++s) {
    entries += part.streams[s].entries.size();
    bytes += 8 + kStandardIndexHeader;
  }
  bytes += 8 * static_cast<int64_t>(entries);
  if (&part == &parts_.front()) bytes += 8 + 16 * static_cast<int64_t>(entries);
  return bytes;
}

void AviWriter::WriteFrame(const uint8_t* data, size_t size) { WriteChunk(0, data, size); }

void AviWriter::WriteSound(const uint8_t* data, size_t size) {
  if (!format_.sound) throw std::logic_error("sound written to an AVI without a sound stream");
  if (size > 0) WriteChunk(1, data, size);
}

void AviWriter::WriteChunk(int stream, const uint8_t* data, size_t size) {
  if (finished_) throw std::logic_error("AVI written after Finish");
  if (size > 0x7FFFFFFFu) throw std::length_error("AVI chunk too large");
  Part* part = &parts_.back();
  const bool hasChunks = !part->streams[0].entries.empty() || !part->streams[1].entries.empty();
  const int64_t after = sink_.Size() + 8 + Padded(size) - part->riffPosition + PartIndexBytes(*part, 1);
  if (hasChunks && after > format_.partLimit) {
    EndPart(false);
    StartPart();
    part = &parts_.back();
  }
  StreamPart& sp = part->streams[stream];
  sp.entries.push_back(Entry{sink_.Size(), static_cast<uint32_t>(size)});
  sp.duration += stream == 0 ? 1 : size;
  totals_[stream] += stream == 0 ? 1 : size;
  largestChunk_[stream] = std::max(largestChunk_[stream], static_cast<uint32_t>(size));
  Bytes header;
  header.Id(kChunkIds[stream]).U32(static_cast<uint32_t>(size));
  sink_.Write(header.Data(), header.Size());
  sink_.Write(data, size);
  if (size & 1) {
    const uint8_t pad = 0;
    sink_.Write(&pad, 1);
  }
}

void AviWriter::WriteStandardIndex(int stream, Part& part) {
  StreamPart& sp = part.streams[stream];
  Bytes b;
  b.Id(kIndexIds[stream]).U32(U32(kStandardIndexHeader + 8 * sp.entries.size()));
  b.U16(2).U16(0x0100).U32(U32(static_cast<int64_t>(sp.entries.size()))).Id(kChunkIds[stream]);
  b.U64(static_cast<uint64_t>(part.moviPosition)).U32(0);
  for (const Entry& e : sp.entries) b.U32(U32(e.position + 8 - part.moviPosition)).U32(e.size);
  sp.indexPosition = sink_.Size();
  sp.indexSize = static_cast<uint32_t>(b.Size());
  sink_.Write(b.Data(), b.Size());
}

void AviWriter::WriteIdx1(const Part& part) {
  // Chunks in file order: the two streams' entries merged by position.
  std::vector<std::pair<Entry, int>> all;
  for (int s = 0; s < Streams(); ++s) {
    for (const Entry& e : part.streams[s].entries) all.emplace_back(e, s);
  }
  std::sort(all.begin(), all.end(),
            [](const std::pair<Entry, int>& a, const std::pair<Entry, int>& b) { return a.first.position < b.first.position; });
  Bytes b;
  b.Id("idx1").U32(U32(16 * static_cast<int64_t>(all.size())));
  for (const auto& e : all) b.Id(kChunkIds[e.second]).U32(kKeyFrame).U32(U32(e.first.position - part.moviPosition)).U32(e.first.size);
  sink_.Write(b.Data(), b.Size());
}

void AviWriter::EndPart(bool last) {
  Part& part = parts_.back();
  const bool openDml = !last || parts_.size() > 1;
  if (openDml) {
    for (int s = 0; s < Streams(); ++s) WriteStandardIndex(s, part);
  }
  Bytes size;
  size.U32(U32(sink_.Size() - part.moviPosition));
  sink_.WriteAt(part.moviPosition - 4, size.Data(), 4);
  if (parts_.size() == 1) WriteIdx1(part);
  Bytes riff;
  riff.U32(U32(sink_.Size() - part.riffPosition - 8));
  sink_.WriteAt(part.riffPosition + 4, riff.Data(), 4);
}

void AviWriter::Finish() {
  if (finished_) return;
  EndPart(true);
  finished_ = true;
  CompleteHeaders();
}

void AviWriter::CompleteHeaders() {
  const uint64_t frames = totals_[0];
  const uint64_t firstPartFrames = parts_.front().streams[0].entries.size();
  const uint32_t largest = std::max(largestChunk_[0], largestChunk_[1]) + 8;
  const double seconds = frames > 0 ? double(frames) / format_.framesPerSecond : 1.0;
  Bytes v;
  v.U32(static_cast<uint32_t>(std::min(double(UINT32_MAX), double(sink_.Size()) / seconds)));
  sink_.WriteAt(avihPosition_ + kAvihMaxBytesPerSec, v.Data(), 4);
  Bytes total;
  total.U32(static_cast<uint32_t>(firstPartFrames));
  sink_.WriteAt(avihPosition_ + kAvihTotalFrames, total.Data(), 4);
  Bytes buffer;
  buffer.U32(largest);
  sink_.WriteAt(avihPosition_ + kAvihSuggestedBuffer, buffer.Data(), 4);
  for (int s = 0; s < Streams(); ++s) {
    Bytes length;
    length.U32(static_cast<uint32_t>(totals_[s]));
    sink_.WriteAt(strhPosition_[s] + kStrhLength, length.Data(), 4);
    Bytes suggested;
    suggested.U32(largestChunk_[s] + 8);
    sink_.WriteAt(strhPosition_[s] + kStrhSuggestedBuffer, suggested.Data(), 4);
  }
  if (parts_.size() == 1) return;
  // OpenDML: the super indexes and the header with the total become real chunks.
  for (int s = 0; s < Streams(); ++s) {
    Bytes b;
    b.Id("indx").U32(kSuperIndexSize).U16(4).U16(0).U32(static_cast<uint32_t>(parts_.size())).Id(kChunkIds[s]);
    b.Zeros(12);
    for (const Part& part : parts_) {
      const StreamPart& sp = part.streams[s];
      b.U64(static_cast<uint64_t>(sp.indexPosition)).U32(sp.indexSize).U32(static_cast<uint32_t>(sp.duration));
    }
    sink_.WriteAt(superIndexPosition_[s], b.Data(), b.Size());
  }
  Bytes odml;
  odml.Id("LIST").U32(4 + 8 + kDmlhSize).Id("odml").Id("dmlh").U32(kDmlhSize).U32(static_cast<uint32_t>(frames));
  sink_.WriteAt(odmlPosition_, odml.Data(), odml.Size());
}
