// The chunked reader: every byte read once going forward, exact views at the edges.
#include <gtest/gtest.h>

#include "recording/ChunkReader.h"

namespace {

class CountingSource : public MemorySource {
 public:
  using MemorySource::MemorySource;
  size_t ReadAt(int64_t position, void* buffer, size_t size) override {
    ++calls;
    bytes += size;
    return MemorySource::ReadAt(position, buffer, size);
  }
  int calls = 0;
  size_t bytes = 0;
};

std::vector<uint8_t> Counting(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return v;
}

}  // namespace

TEST(ChunkReader, ForwardViewsReadEveryByteOnce) {
  const auto data = Counting(100000);
  CountingSource source(data);
  ChunkReader reader(source, 8192);
  // 80-byte views every 1000 bytes, some straddling chunk ends, as a scan makes them.
  for (int64_t at = 0; at < 100000; at += 1000) {
    size_t got = 0;
    const uint8_t* p = reader.View(at, 80, got);
    ASSERT_EQ(got, std::min<size_t>(80, 100000 - static_cast<size_t>(at)));
    EXPECT_TRUE(std::equal(p, p + got, data.begin() + at)) << at;
  }
  EXPECT_LE(source.bytes, data.size() + 8192);
  EXPECT_LE(source.calls, 14);
}

TEST(ChunkReader, EdgesOfTheSource) {
  const auto data = Counting(5000);
  CountingSource source(data);
  ChunkReader reader(source, 4096);
  size_t got = 99;
  reader.View(-1, 10, got);
  EXPECT_EQ(got, 0u);
  reader.View(5000, 10, got);
  EXPECT_EQ(got, 0u);
  const uint8_t* p = reader.View(4990, 80, got);
  EXPECT_EQ(got, 10u);
  EXPECT_EQ(p[9], data[4999]);
  // Backward jumps and reads larger than a chunk.
  std::vector<uint8_t> copy(5000);
  EXPECT_EQ(reader.Read(0, copy.data(), copy.size()), 5000u);
  EXPECT_EQ(copy, data);
  EXPECT_EQ(reader.Read(4000, copy.data(), 2000), 1000u);
  // Views never exceed the chunk.
  reader.View(0, 1 << 20, got);
  EXPECT_EQ(got, 4096u);
}
