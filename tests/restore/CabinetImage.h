#pragma once
// Cabinet images written byte by byte (stored, uncompressed), for the cases a cabinet
// tool will not make: hostile member names, odd dates, announced sizes that lie.
#include <cstdint>
#include <string>
#include <vector>

struct CabinetMember {
  std::string name;  // stored as given
  std::vector<uint8_t> data;
  uint16_t date = 0x3821;  // 2008-01-01
  uint16_t time = 0x6000;  // 12:00
  uint16_t attribs = 0x20;
  int64_t announcedSize = -1;  // the size the directory claims; -1: the real one
};

inline uint16_t DosDate(int year, int month, int day) {
  return static_cast<uint16_t>((year - 1980) << 9 | month << 5 | day);
}
inline uint16_t DosTime(int hour, int minute, int second) {
  return static_cast<uint16_t>(hour << 11 | minute << 5 | second / 2);
}

// One folder, no compression, data blocks of up to 32 KiB without checksums.
inline std::vector<uint8_t> StoredCabinet(const std::vector<CabinetMember>& members) {
  std::vector<uint8_t> out;
  auto u8 = [&](unsigned v) { out.push_back(static_cast<uint8_t>(v)); };
  auto u16 = [&](unsigned v) { u8(v & 0xFF); u8(v >> 8 & 0xFF); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };

  std::vector<uint8_t> data;
  for (const auto& m : members) data.insert(data.end(), m.data.begin(), m.data.end());
  const size_t blockSize = 32768;
  const size_t blocks = data.empty() ? 0 : (data.size() + blockSize - 1) / blockSize;

  out.insert(out.end(), {'M', 'S', 'C', 'F'});
  u32(0);
  u32(0);  // total size, patched below
  u32(0);
  u32(36 + 8);  // first file entry after the header and one folder
  u32(0);
  u8(3);
  u8(1);
  u16(1);
  u16(static_cast<unsigned>(members.size()));
  u16(0);
  u16(0x1234);
  u16(0);
  const size_t folderAt = out.size();
  u32(0);  // first data block, patched below
  u16(static_cast<unsigned>(blocks));
  u16(0);  // stored
  uint32_t offset = 0;
  for (const auto& m : members) {
    u32(static_cast<uint32_t>(m.announcedSize >= 0 ? m.announcedSize : static_cast<int64_t>(m.data.size())));
    u32(offset);
    u16(0);
    u16(m.date);
    u16(m.time);
    u16(m.attribs);
    out.insert(out.end(), m.name.begin(), m.name.end());
    u8(0);
    offset += static_cast<uint32_t>(m.data.size());
  }
  put32(folderAt, static_cast<uint32_t>(out.size()));
  for (size_t b = 0; b < blocks; ++b) {
    const size_t at = b * blockSize;
    const size_t n = std::min(blockSize, data.size() - at);
    u32(0);
    u16(static_cast<unsigned>(n));
    u16(static_cast<unsigned>(n));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  put32(8, static_cast<uint32_t>(out.size()));
  return out;
}

// The first cabinet of a set: its one folder continues in the cabinet `next`, so the
// data of `members` (which must be more than one byte) is only half here.
inline std::vector<uint8_t> FirstOfSpanningSet(const std::vector<CabinetMember>& members, const std::string& next) {
  std::vector<uint8_t> out;
  auto u8 = [&](unsigned v) { out.push_back(static_cast<uint8_t>(v)); };
  auto u16 = [&](unsigned v) { u8(v & 0xFF); u8(v >> 8 & 0xFF); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  auto str = [&](const std::string& s) { out.insert(out.end(), s.begin(), s.end()); u8(0); };
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  std::vector<uint8_t> data;
  for (const auto& m : members) data.insert(data.end(), m.data.begin(), m.data.end());
  data.resize(data.size() / 2);

  out.insert(out.end(), {'M', 'S', 'C', 'F'});
  u32(0);
  u32(0);
  u32(0);
  u32(0);  // first file entry, patched below
  u32(0);
  u8(3);
  u8(1);
  u16(1);
  u16(static_cast<unsigned>(members.size()));
  u16(0x0002);  // another cabinet follows
  u16(0x1234);
  u16(0);
  str(next);
  str("disk 2");
  const size_t folderAt = out.size();
  u32(0);
  u16(1);
  u16(0);
  put32(16, static_cast<uint32_t>(out.size()));
  uint32_t offset = 0;
  for (const auto& m : members) {
    u32(static_cast<uint32_t>(m.data.size()));
    u32(offset);
    u16(0xFFFE);  // continued into the next cabinet
    u16(m.date);
    u16(m.time);
    u16(m.attribs);
    str(m.name);
    offset += static_cast<uint32_t>(m.data.size());
  }
  put32(folderAt, static_cast<uint32_t>(out.size()));
  u32(0);
  u16(static_cast<unsigned>(data.size()));
  u16(0);  // the block goes on in the next cabinet
  out.insert(out.end(), data.begin(), data.end());
  put32(8, static_cast<uint32_t>(out.size()));
  return out;
}
