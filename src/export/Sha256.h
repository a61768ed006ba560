#pragma once
// SHA-256 (FIPS 180-4) of a byte stream, fed in pieces. Uses the processor's SHA
// instructions where it has them (several times faster on a clip of a gigabyte), the
// plain rounds elsewhere; both give the same digest.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class Sha256 {
 public:
  using Digest = std::array<uint8_t, 32>;

  Sha256();
  void Update(const void* data, size_t size);
  // The digest of everything fed so far; the object is spent afterwards.
  Digest Finish();

  // The digest as 64 lowercase hexadecimal digits.
  static std::string Hex(const Digest& digest);

  // Whether the processor's SHA instructions are used (the benchmark reports it).
  static bool UsesShaInstructions();
  // For the tests: the plain rounds even where the instructions exist.
  static void ForcePlainRounds(bool plain);

 private:
  void Blocks(const uint8_t* data, size_t count);

  uint32_t state_[8];
  uint8_t pending_[64];
  size_t pendingSize_ = 0;
  uint64_t totalBytes_ = 0;
};
