#pragma once
// Builds sound files byte by byte for the tests: the accepted layout by default, and any
// one field or chunk changed on request.
#include <cstdint>
#include <optional>
#include <vector>

struct WaveBytes {
  uint16_t formatTag = 1;
  uint16_t channels = 1;
  uint32_t samplesPerSec = 13183;
  uint16_t blockAlign = 1;
  uint16_t bitsPerSample = 8;
  uint32_t fmtSizeField = 16;
  std::vector<uint8_t> fmtExtra;            // bytes appended to the format chunk
  std::vector<uint8_t> chunkBeforeData;     // a whole chunk between "fmt " and "data"
  std::optional<uint32_t> dataSizeField;    // instead of the true sample count
  std::vector<uint8_t> samples;

  std::vector<uint8_t> build() const {
    std::vector<uint8_t> out;
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    auto u16 = [&](uint32_t v) {
      out.push_back(static_cast<uint8_t>(v));
      out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
      u16(v & 0xFFFF);
      u16(v >> 16);
    };
    tag("RIFF");
    u32(0);  // patched below
    tag("WAVE");
    tag("fmt ");
    u32(fmtSizeField);
    u16(formatTag);
    u16(channels);
    u32(samplesPerSec);
    u32(samplesPerSec * blockAlign);
    u16(blockAlign);
    u16(bitsPerSample);
    out.insert(out.end(), fmtExtra.begin(), fmtExtra.end());
    out.insert(out.end(), chunkBeforeData.begin(), chunkBeforeData.end());
    tag("data");
    u32(dataSizeField ? *dataSizeField : static_cast<uint32_t>(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    const uint32_t riff = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    return out;
  }
};

// n samples of a sawtooth that never sits at the silent level for long, so scaled and
// unscaled copies are told apart.
inline std::vector<uint8_t> Sawtooth(std::size_t n) {
  std::vector<uint8_t> s(n);
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<uint8_t>((i * 7) & 0xFF);
  return s;
}
