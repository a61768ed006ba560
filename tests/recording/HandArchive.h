#pragma once
// Byte-exact archives for the scan's edge cases that the simulator deliberately cannot
// write (damaged length fields, exact ticks). Realistic archives come from the simulator.
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "recording/ArchiveFormat.h"

class HandArchive {
 public:
  explicit HandArchive(uint32_t startTick = 100000, uint32_t id = 0x0A0B0C0D) : id_(id) {
    bytes_.assign(archive::kHeaderAreaSize, 0);
    const uint8_t when[6] = {0x09, 0x06, 0x14, 0x09, 0x30, 0x00};  // 2009-06-14 09:30:00
    std::memcpy(&bytes_[2], when, 6);
    PutU32(&bytes_[16], startTick);
    PutU32(&bytes_[28], id);
  }

  struct Block {
    int32_t blockSize = 8192;
    uint32_t tick = 0;
    int32_t payload = 0;
    uint8_t type = archive::kPictureBlock;
    uint8_t fragment = 1;
    uint32_t id = 0;  // 0: the archive's id
    uint8_t event = 0;
    uint8_t second = 0;  // BCD second of the picture's time (09:30:ss)
    bool tag = true;     // picture tag at the content start
    archive::FormatVersion version;
  };

  // Appends one block of `physical` bytes (header included) and returns its offset.
  // The content after the tag is `fill`, with FF D9 at content byte `endAt - 2` if given.
  size_t Add(const Block& b, size_t physical = 8192, uint8_t fill = 0x11, int endAt = -1) {
    const size_t at = bytes_.size();
    bytes_.resize(at + physical, fill);
    uint8_t* h = &bytes_[at];
    std::memset(h, 0, std::min<size_t>(physical, 64));
    PutU32(h, static_cast<uint32_t>(b.blockSize));
    PutU32(h + 4, b.tick);
    PutU32(h + 8, static_cast<uint32_t>(b.payload));
    h[12] = b.type;
    h[13] = b.fragment;
    PutU32(h + 28, b.id ? b.id : id_);
    h[32] = b.event;
    const uint8_t when[6] = {0x09, 0x06, 0x14, 0x09, 0x30, b.second};
    std::memcpy(h + 34, when, 6);
    if (b.tag && physical >= 80) {
      h[64] = b.version.high;
      h[65] = b.version.low;
      std::memcpy(h + 66, archive::kSignaturePattern, archive::kSignaturePatternSize);
    }
    if (endAt >= 2 && static_cast<size_t>(64 + endAt) <= physical) {
      h[64 + endAt - 2] = 0xFF;
      h[64 + endAt - 1] = 0xD9;
    }
    return at;
  }

  // A one-block picture of `payload` bytes ending in the end-of-image marker.
  size_t Picture(uint32_t tick, int32_t payload = 2000, uint8_t event = 0) {
    Block b;
    b.tick = tick;
    b.payload = payload;
    b.event = event;
    return Add(b, 8192, 0x11, payload);
  }

  size_t Sound(uint32_t tick, int32_t payload = 4096, uint8_t fill = 0x90) {
    Block b;
    b.tick = tick;
    b.payload = payload;
    b.type = archive::kSoundBlock;
    b.tag = false;
    return Add(b, 8192, fill);
  }

  void Garbage(size_t size, uint8_t value = 0x5A) { bytes_.insert(bytes_.end(), size, value); }

  std::vector<uint8_t>& Bytes() { return bytes_; }

  static void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
  }

 private:
  uint32_t id_;
  std::vector<uint8_t> bytes_;
};
