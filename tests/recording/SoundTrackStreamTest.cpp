// The track written during the scan is, byte for byte, the track written at the end
// from the sorted blocks, whatever order and timing the file's blocks come in.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "recording/ByteStream.h"
#include "recording/SoundTrackStream.h"
#include "recording/SoundTrackWriter.h"

namespace {

// What the scan meets, in file order: a picture or a sound block (of `payload` bytes of
// `value`, of which `stored` are in the file).
struct Event {
  bool picture;
  int64_t tick;
  int32_t payload = 0;
  uint8_t value = 0;
  int stored = 4096;
};

Event Picture(int64_t tick) { return {true, tick}; }
Event Sound(int64_t tick, uint8_t value, int32_t payload = 4096, int stored = 4096) {
  return {false, tick, payload, value, stored};
}

struct Case {
  const char* what;
  std::vector<Event> events;
  bool streams;              // written during the scan
  double firstPicture = -1;  // the load's first picture tick if not the smallest one met
  size_t cutTail = 0;        // bytes the file lacks at its end
};

// Every 8192 bytes one sound block's content.
struct Archive {
  std::vector<uint8_t> file;
  std::vector<SoundBlock> blocks;
  std::vector<int64_t> pictures;
};

Archive Build(const Case& c) {
  Archive a;
  for (const Event& e : c.events) {
    if (e.picture) {
      a.pictures.push_back(e.tick);
      continue;
    }
    SoundBlock b;
    b.tick = e.tick;
    b.payloadSize = e.payload;
    b.position = static_cast<int64_t>(a.file.size());
    a.file.resize(a.file.size() + static_cast<size_t>(e.stored), e.value);
    a.file.resize(a.file.size() + 8192 - static_cast<size_t>(e.stored), 0);
    a.blocks.push_back(b);
  }
  a.file.resize(a.file.size() - std::min(c.cutTail, a.file.size()));
  return a;
}

std::vector<Event> Recorder(int seconds, int64_t pictureStart, int64_t soundStart) {
  std::vector<Event> events;
  for (int i = 0; i < seconds * 28; ++i) {
    events.push_back(Picture(pictureStart + i * 1000 / 28));
    if (i % 9 == 0) events.push_back(Sound(soundStart + i / 9 * 310, uint8_t(i / 9 + 1)));
  }
  return events;
}

std::vector<Event> Concat(std::vector<Event> a, const std::vector<Event>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<Case> Cases() {
  std::vector<Event> soundFirst;
  for (int i = 0; i < 300; ++i) soundFirst.push_back(Sound(i * 310, uint8_t(i)));  // 1.2 MB before a picture
  return {
      {"a recorder's order", Recorder(3, 1000, 1038), true},
      {"sound starting after the pictures (lead)", Recorder(3, 1000, 1200), true},
      {"sound before the first picture", Concat({Sound(0, 1), Sound(310, 2)}, Recorder(2, 500, 620)), true},
      {"no pictures", {Sound(0, 1), Sound(310, 2), Sound(620, 3)}, true},
      {"no sound", {Picture(0), Picture(36)}, true},
      {"nothing", {}, true},
      {"close and equal ticks", {Picture(0), Sound(38, 1), Sound(38, 2), Sound(39, 3), Sound(400, 4)}, true},
      {"short and empty payloads", {Picture(0), Sound(38, 1, 100), Sound(400, 2, 0), Sound(700, 3, -5), Sound(900, 4)}, true},
      {"a damaged tick far ahead", {Picture(0), Sound(38, 1), Sound(0xFFFFFFFFLL * 2, 2)}, true},
      {"file ending inside the last block", Recorder(1, 0, 38), true, -1, 8192 - 1000},
      {"blocks out of tick order", {Picture(0), Sound(100, 1), Sound(900, 2), Sound(500, 3), Sound(1300, 4)}, false},
      {"a later picture is the earliest", Concat(Recorder(1, 1000, 1038), {Picture(10)}), false},
      {"the first picture met is dropped later", Recorder(2, 0, 1500), false, 1000},
      {"much sound before any picture", Concat(soundFirst, {Picture(0)}), false},
  };
}

// The load's first picture tick: the smallest one met, unless the case says otherwise.
double FirstPicture(const Archive& a, const Case& c) {
  if (c.firstPicture >= 0) return c.firstPicture;
  if (a.pictures.empty()) return 0.0;
  return static_cast<double>(*std::min_element(a.pictures.begin(), a.pictures.end()));
}

std::vector<uint8_t> Expected(const Archive& a, const Case& c) {
  MemorySource source(a.file.data(), a.file.size());
  MemorySink sink;
  const std::vector<uint8_t> none;
  SoundTrackWriter writer(sink, none, &source);
  writer.WriteHeader(0);
  std::vector<SoundBlock> blocks = a.blocks;
  writer.WriteTrack(blocks, !a.pictures.empty(), FirstPicture(a, c));
  return sink.Bytes();
}

}  // namespace

TEST(SoundTrackStream, WritesTheSameBytesAsTheWholeTrack) {
  for (const Case& c : Cases()) {
    const Archive a = Build(c);
    MemorySource source(a.file.data(), a.file.size());
    MemorySink sink;
    SoundTrackStream stream(sink, source);
    stream.Begin();
    size_t next = 0;
    for (const Event& e : c.events) {
      if (e.picture) {
        stream.PictureFound(e.tick);
        continue;
      }
      const SoundBlock& b = a.blocks[next++];
      const int64_t left = static_cast<int64_t>(a.file.size()) - b.position;
      const size_t got = std::min<size_t>(SoundTrackWriter::UsedBytes(b), static_cast<size_t>(std::max<int64_t>(left, 0)));
      stream.BlockFound(b, a.file.data() + b.position, got);
    }
    std::vector<SoundBlock> blocks = a.blocks;
    const uint32_t bytes = stream.Finish(blocks, !a.pictures.empty(), FirstPicture(a, c));
    const std::vector<uint8_t> expected = Expected(a, c);
    EXPECT_EQ(sink.Bytes().size(), expected.size()) << c.what;
    EXPECT_TRUE(sink.Bytes() == expected) << c.what;
    EXPECT_EQ(44u + bytes, expected.size()) << c.what;
    EXPECT_EQ(stream.Streamed(), c.streams) << c.what;
    EXPECT_TRUE(std::is_sorted(blocks.begin(), blocks.end(),
                               [](const SoundBlock& x, const SoundBlock& y) { return x.tick < y.tick; }))
        << c.what;
  }
}
