// The chunked reader: every byte read once going forward, exact views at the edges.
#include <gtest/gtest.h>

#include "recording/ChunkReader.h"

#include <utility>
#include <vector>

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

// Read ahead, the next chunk is read on another thread and the buffers change places:
// every kind of view a scan makes must still show the source's bytes, and a forward
// walk must still read each byte about once.
TEST(ChunkReader, ReadAheadShowsTheSourceForEveryWalk) {
  struct Walk {
    const char* what;
    std::vector<std::pair<int64_t, size_t>> views;  // position, size
  };
  const size_t kSize = 300000;
  const size_t kChunk = 8192;
  auto steps = [](int64_t from, int64_t step, size_t size, int count) {
    std::vector<std::pair<int64_t, size_t>> v;
    for (int i = 0; i < count; ++i) v.push_back({from + step * i, size});
    return v;
  };
  const Walk walks[] = {
      {"80-byte views every 1000 bytes", steps(0, 1000, 80, 300)},
      {"views that skip past a chunk's end", steps(0, 9000, 80, 33)},
      {"views that carry most of a chunk over", steps(100, 8000, 8000, 37)},
      {"views of a whole chunk", steps(5, 8192, 8192, 36)},
      {"a jump back and on again", {{50000, 80}, {1000, 80}, {1100, 4096}, {70000, 80}}},
      {"the end of the data", {{kSize - 100, 80}, {kSize - 30, 80}, {kSize - 1, 80}}},
  };
  const auto data = Counting(kSize);
  for (const Walk& walk : walks) {
    CountingSource source(data);
    {
      ChunkReader reader(source, kChunk, true);
      for (const auto& [at, size] : walk.views) {
        size_t got = 0;
        const uint8_t* p = reader.View(at, size, got);
        ASSERT_EQ(got, std::min<size_t>(size, kSize - static_cast<size_t>(at))) << walk.what << " at " << at;
        ASSERT_TRUE(std::equal(p, p + got, data.begin() + at)) << walk.what << " at " << at;
      }
      reader.StopReadAhead();
      // The source is the caller's again, and the reader goes on reading it itself.
      size_t got = 0;
      const uint8_t* p = reader.View(123, 80, got);
      ASSERT_EQ(got, 80u);
      EXPECT_TRUE(std::equal(p, p + got, data.begin() + 123)) << walk.what;
    }
    if (walk.views.size() > 30) {
      EXPECT_LE(source.bytes, data.size() + 4 * kChunk) << walk.what;
    }
  }
}
