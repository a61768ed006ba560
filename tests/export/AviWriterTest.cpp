// The structure an AVI reader relies on: chunk sizes and padding, the headers' counts,
// idx1 and the OpenDML indexes pointing at the chunks that hold the bytes written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <numeric>
#include <vector>

#include "AviWalk.h"
#include "export/AviWriter.h"

namespace {

using aviwalk::Chunk;
using aviwalk::Id;
using aviwalk::Le32;
using aviwalk::Le64;

class MemoryClipSink : public IClipSink {
 public:
  void Write(const void* data, size_t size) override {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
  }
  void WriteAt(int64_t position, const void* data, size_t size) override {
    ASSERT_LE(position + static_cast<int64_t>(size), Size());
    std::memcpy(bytes.data() + position, data, size);
  }
  int64_t Size() const override { return static_cast<int64_t>(bytes.size()); }
  std::vector<uint8_t> bytes;
};

// One chunk as the test wrote it: stream 0 pictures, 1 sound.
struct Written {
  int stream;
  std::vector<uint8_t> data;
};

std::vector<uint8_t> Pattern(size_t size, int seed) {
  std::vector<uint8_t> data(size);
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(seed * 31 + static_cast<int>(i));
  return data;
}

// Writes `count` pictures of odd and even sizes, a sound chunk before every `soundEvery`.
std::vector<Written> WriteClip(AviWriter& avi, int count, int soundEvery) {
  std::vector<Written> written;
  for (int i = 0; i < count; ++i) {
    if (soundEvery > 0 && i % soundEvery == 0) {
      written.push_back({1, Pattern(static_cast<size_t>(333 + i), i + 100)});
      avi.WriteSound(written.back().data.data(), written.back().data.size());
    }
    written.push_back({0, Pattern(static_cast<size_t>(100 + 7 * i), i)});
    avi.WriteFrame(written.back().data.data(), written.back().data.size());
  }
  avi.Finish();
  return written;
}

const char* const kIds[2] = {"00dc", "01wb"};

// The data of the chunk whose header is at `header`, checked against its index entry.
std::vector<uint8_t> ChunkAt(const std::vector<uint8_t>& b, int64_t header, int stream, uint32_t size) {
  EXPECT_EQ(Id(b, header), kIds[stream]) << "at " << header;
  EXPECT_EQ(Le32(b, header + 4), size) << "at " << header;
  return std::vector<uint8_t>(b.begin() + header + 8, b.begin() + header + 8 + size);
}

TEST(AviWriter, APlainFileHasItsChunksPaddedCountedAndIndexedByIdx1) {
  MemoryClipSink sink;
  AviFormat format;
  format.width = 64;
  format.height = 48;
  format.sound = true;
  format.sampleRate = 13183;
  AviWriter avi(sink, format);
  const std::vector<Written> written = WriteClip(avi, 30, 28);
  const std::vector<uint8_t>& b = sink.bytes;
  EXPECT_EQ(avi.Parts(), 1);

  const auto top = aviwalk::Parse(b);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0].form, "AVI ");
  EXPECT_EQ(top[0].size, b.size() - 8);
  const Chunk* hdrl = top[0].Child("hdrl");
  const Chunk* movi = top[0].Child("movi");
  const Chunk* idx1 = top[0].Child("idx1");
  ASSERT_TRUE(hdrl && movi && idx1);
  const Chunk* avih = hdrl->Child("avih");
  ASSERT_TRUE(avih);
  EXPECT_EQ(Le32(b, avih->DataOffset()), 35714u);      // microseconds a frame at 28
  EXPECT_EQ(Le32(b, avih->DataOffset() + 16), 30u);    // frames
  EXPECT_EQ(Le32(b, avih->DataOffset() + 24), 2u);     // streams
  EXPECT_EQ(Le32(b, avih->DataOffset() + 32), 64u);
  EXPECT_EQ(Le32(b, avih->DataOffset() + 36), 48u);
  const auto strls = hdrl->Children("LIST");
  ASSERT_EQ(strls.size(), 2u);
  const uint32_t lengths[2] = {30, 333 + 361};
  for (int s = 0; s < 2; ++s) {
    const Chunk* strh = strls[static_cast<size_t>(s)]->Child("strh");
    ASSERT_TRUE(strh);
    EXPECT_EQ(Id(b, strh->DataOffset()), s == 0 ? "vids" : "auds");
    EXPECT_EQ(Le32(b, strh->DataOffset() + 24), s == 0 ? 28u : 13183u);  // rate (scale 1)
    EXPECT_EQ(Le32(b, strh->DataOffset() + 32), lengths[s]);
    // The super index's room stays a JUNK chunk in a plain file.
    EXPECT_TRUE(strls[static_cast<size_t>(s)]->Child("JUNK"));
    EXPECT_FALSE(strls[static_cast<size_t>(s)]->Child("indx"));
  }
  EXPECT_EQ(Id(b, strls[0]->Child("strf")->DataOffset() + 16), "MJPG");
  EXPECT_FALSE(hdrl->Child("odml"));

  // movi holds the chunks in the order written, odd ones padded to even (the walk
  // checks every size and pad).
  ASSERT_EQ(movi->children.size(), written.size());
  for (size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(movi->children[i].id, kIds[written[i].stream]);
    EXPECT_EQ(movi->children[i].size, written[i].data.size());
  }
  // idx1: one entry a chunk, offsets from the "movi" word, every one a key frame.
  ASSERT_EQ(idx1->size, 16 * written.size());
  for (size_t i = 0; i < written.size(); ++i) {
    const int64_t e = idx1->DataOffset() + 16 * static_cast<int64_t>(i);
    EXPECT_EQ(Id(b, e), kIds[written[i].stream]);
    EXPECT_EQ(Le32(b, e + 4), 0x10u);
    EXPECT_EQ(ChunkAt(b, movi->DataOffset() + Le32(b, e + 8), written[i].stream, Le32(b, e + 12)), written[i].data)
        << "entry " << i;
  }
}

TEST(AviWriter, AFileBeyondItsPartLimitContinuesInAvixPartsWithOpenDmlIndexes) {
  MemoryClipSink sink;
  AviFormat format;
  format.width = 32;
  format.height = 16;
  format.sound = true;
  format.sampleRate = 8000;
  format.partLimit = 8192;
  AviWriter avi(sink, format);
  const std::vector<Written> written = WriteClip(avi, 60, 10);
  const std::vector<uint8_t>& b = sink.bytes;
  ASSERT_GT(avi.Parts(), 3);

  const auto top = aviwalk::Parse(b);
  ASSERT_EQ(top.size(), static_cast<size_t>(avi.Parts()));
  EXPECT_EQ(top[0].form, "AVI ");
  for (size_t p = 1; p < top.size(); ++p) EXPECT_EQ(top[p].form, "AVIX");
  for (const Chunk& part : top) EXPECT_LE(part.size + 8, 8192u);
  const Chunk* hdrl = top[0].Child("hdrl");
  ASSERT_TRUE(hdrl);
  const Chunk* odml = hdrl->Child("odml");
  ASSERT_TRUE(odml);
  EXPECT_EQ(Le32(b, odml->Child("dmlh")->DataOffset()), 60u);
  // The first part's own frame count in avih; idx1 indexes the first part only.
  const Chunk* firstMovi = top[0].Child("movi");
  const uint32_t firstFrames = static_cast<uint32_t>(std::count_if(
      firstMovi->children.begin(), firstMovi->children.end(), [](const Chunk& c) { return c.id == "00dc"; }));
  EXPECT_EQ(Le32(b, hdrl->Child("avih")->DataOffset() + 16), firstFrames);
  const uint32_t firstChunks = static_cast<uint32_t>(std::count_if(
      firstMovi->children.begin(), firstMovi->children.end(), [](const Chunk& c) { return c.id[0] == '0'; }));
  EXPECT_EQ(top[0].Child("idx1")->size, 16 * firstChunks);

  // Each stream's super index names one standard index a part; following them gives
  // back every chunk of the stream in order.
  const auto strls = hdrl->Children("LIST");
  for (int s = 0; s < 2; ++s) {
    const Chunk* indx = strls[static_cast<size_t>(s)]->Child("indx");
    ASSERT_TRUE(indx) << s;
    const int64_t at = indx->DataOffset();
    EXPECT_EQ(Le32(b, at) & 0xFFFF, 4u);                   // longs an entry
    EXPECT_EQ(Le32(b, at + 4), static_cast<uint32_t>(avi.Parts()));
    EXPECT_EQ(Id(b, at + 8), kIds[s]);
    std::vector<std::vector<uint8_t>> found;
    uint64_t duration = 0;
    for (int p = 0; p < avi.Parts(); ++p) {
      const int64_t e = at + 24 + 16 * p;
      const int64_t ix = static_cast<int64_t>(Le64(b, e));
      EXPECT_EQ(Id(b, ix), s == 0 ? "ix00" : "ix01");
      EXPECT_EQ(Le32(b, e + 8), Le32(b, ix + 4) + 8);      // the index chunk's whole size
      duration += Le32(b, e + 12);
      EXPECT_EQ(Le32(b, ix + 8), 0x01000002u);              // 2 longs, index of chunks
      const uint32_t entries = Le32(b, ix + 12);
      EXPECT_EQ(Id(b, ix + 16), kIds[s]);
      const int64_t base = static_cast<int64_t>(Le64(b, ix + 20));
      EXPECT_EQ(Id(b, base), "movi");
      for (uint32_t k = 0; k < entries; ++k) {
        const int64_t entry = ix + 32 + 8 * k;
        const uint32_t size = Le32(b, entry + 4);
        EXPECT_EQ(size & 0x80000000u, 0u);                  // a key frame
        found.push_back(ChunkAt(b, base + Le32(b, entry) - 8, s, size));
      }
    }
    std::vector<std::vector<uint8_t>> expected;
    uint64_t expectedDuration = 0;
    for (const Written& w : written) {
      if (w.stream != s) continue;
      expected.push_back(w.data);
      expectedDuration += s == 0 ? 1 : w.data.size();
    }
    EXPECT_EQ(found, expected) << "stream " << s;
    EXPECT_EQ(duration, expectedDuration) << "stream " << s;
    EXPECT_EQ(Le32(b, strls[static_cast<size_t>(s)]->Child("strh")->DataOffset() + 32), expectedDuration);
  }
}

TEST(AviWriter, AClipWithoutSoundHasOneStream) {
  MemoryClipSink sink;
  AviFormat format;
  format.width = 8;
  format.height = 8;
  AviWriter avi(sink, format);
  WriteClip(avi, 3, 0);
  const auto top = aviwalk::Parse(sink.bytes);
  ASSERT_EQ(top.size(), 1u);
  const Chunk* hdrl = top[0].Child("hdrl");
  EXPECT_EQ(Le32(sink.bytes, hdrl->Child("avih")->DataOffset() + 24), 1u);
  EXPECT_EQ(hdrl->Children("LIST").size(), 1u);
  EXPECT_THROW(avi.WriteFrame(nullptr, 0), std::logic_error);
  EXPECT_THROW(AviWriter(sink, AviFormat()), std::invalid_argument);
}

}  // namespace
