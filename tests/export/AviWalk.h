#pragma once
// A small RIFF reader for the tests: the chunk tree of an AVI file as a reader walks it,
// every size checked against what contains it.
#include <cstdint>
#include <string>
#include <vector>

namespace aviwalk {

struct Chunk {
  std::string id;        // "RIFF", "LIST", "00dc", ...
  std::string form;      // the list's or RIFF's type ("AVI ", "movi"), else empty
  int64_t offset = 0;    // of the chunk's header in the file
  uint32_t size = 0;     // the size field
  std::vector<Chunk> children;

  int64_t DataOffset() const { return offset + 8; }
  // The first child with this id (or, for lists, this form); null if none.
  const Chunk* Child(const std::string& idOrForm) const;
  std::vector<const Chunk*> Children(const std::string& id) const;
};

// The top-level chunks of `bytes`. Fails the current test (and stops early) where a
// size runs past its container or the file.
std::vector<Chunk> Parse(const std::vector<uint8_t>& bytes);

uint32_t Le32(const std::vector<uint8_t>& bytes, int64_t at);
uint64_t Le64(const std::vector<uint8_t>& bytes, int64_t at);
std::string Id(const std::vector<uint8_t>& bytes, int64_t at);

}  // namespace aviwalk
