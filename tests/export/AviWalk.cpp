#include "AviWalk.h"

#include <gtest/gtest.h>

namespace aviwalk {
namespace {

void ParseRange(const std::vector<uint8_t>& b, int64_t from, int64_t to, std::vector<Chunk>& out) {
  int64_t at = from;
  while (at + 8 <= to) {
    Chunk c;
    c.offset = at;
    c.id = Id(b, at);
    c.size = Le32(b, at + 4);
    const int64_t end = at + 8 + c.size;
    if (end > to) {
      ADD_FAILURE() << c.id << " at " << at << " runs past its container (" << end << " > " << to << ")";
      return;
    }
    if (c.id == "RIFF" || c.id == "LIST") {
      c.form = Id(b, at + 8);
      ParseRange(b, at + 12, end, c.children);
    }
    out.push_back(c);
    at = end + (c.size & 1);
  }
  EXPECT_EQ(at, to) << "bytes left over at " << at;
}

}  // namespace

const Chunk* Chunk::Child(const std::string& idOrForm) const {
  for (const Chunk& c : children) {
    if (c.id == idOrForm || (!c.form.empty() && c.form == idOrForm)) return &c;
  }
  return nullptr;
}

std::vector<const Chunk*> Chunk::Children(const std::string& id) const {
  std::vector<const Chunk*> found;
  for (const Chunk& c : children) {
    if (c.id == id) found.push_back(&c);
  }
  return found;
}

std::vector<Chunk> Parse(const std::vector<uint8_t>& bytes) {
  std::vector<Chunk> top;
  ParseRange(bytes, 0, static_cast<int64_t>(bytes.size()), top);
  return top;
}

uint32_t Le32(const std::vector<uint8_t>& b, int64_t at) {
  if (at < 0 || at + 4 > static_cast<int64_t>(b.size())) return 0;
  const size_t i = static_cast<size_t>(at);
  return uint32_t(b[i]) | uint32_t(b[i + 1]) << 8 | uint32_t(b[i + 2]) << 16 | uint32_t(b[i + 3]) << 24;
}

uint64_t Le64(const std::vector<uint8_t>& b, int64_t at) { return Le32(b, at) | uint64_t(Le32(b, at + 4)) << 32; }

std::string Id(const std::vector<uint8_t>& b, int64_t at) {
  if (at < 0 || at + 4 > static_cast<int64_t>(b.size())) return std::string();
  return std::string(b.begin() + at, b.begin() + at + 4);
}

}  // namespace aviwalk
