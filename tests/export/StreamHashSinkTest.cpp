// The clip's hash taken as it is written: right when the fields filled in at the end are
// the predicted ones, and told apart when they are not.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "export/PatchRecorder.h"
#include "export/StreamHashSink.h"

namespace {

class Bytes : public IClipSink {
 public:
  void Write(const void* data, size_t size) override {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
  }
  void WriteAt(int64_t position, const void* data, size_t size) override {
    std::memcpy(bytes.data() + position, data, size);
  }
  int64_t Size() const override { return static_cast<int64_t>(bytes.size()); }
  std::vector<uint8_t> bytes;
};

// Writes 3 pieces of 10 bytes, then fills in 4 bytes at `first` and 2 at `second`.
template <typename Sink>
void WriteWithFields(Sink& sink, int64_t first, int64_t second, uint8_t value) {
  for (uint8_t piece = 0; piece < 3; ++piece) {
    std::vector<uint8_t> data(10, piece);
    sink.Write(data.data(), data.size());
  }
  const uint8_t field[4] = {value, 2, 3, 4};
  sink.WriteAt(first, field, 4);
  sink.WriteAt(second, field, 2);
}

std::string HashOf(const std::vector<uint8_t>& bytes) {
  Sha256 hash;
  hash.Update(bytes.data(), bytes.size());
  return Sha256::Hex(hash.Finish());
}

TEST(StreamHashSink, HashesTheFinalFileWhenTheFieldsAreThePredictedOnes) {
  struct Case {
    const char* what;
    int64_t first, second;  // as written
    uint8_t value;
    bool matches;
  };
  // Predicted: 4 bytes at 8 (across the first two pieces) and 2 at 25.
  const Case cases[] = {
      {"as predicted", 8, 25, 9, true},
      {"another value", 8, 25, 7, false},
      {"another place", 9, 25, 9, false},
  };
  PatchRecorder recorder;
  WriteWithFields(recorder, 8, 25, 9);
  EXPECT_EQ(recorder.Size(), 30);
  for (const Case& c : cases) {
    Bytes file;
    StreamHashSink sink(file, recorder.Patches());
    WriteWithFields(sink, c.first, c.second, c.value);
    EXPECT_EQ(sink.Matches(), c.matches) << c.what;
    if (c.matches) {
      EXPECT_EQ(sink.Hex(), HashOf(file.bytes)) << c.what;
    }
  }
}

}  // namespace
