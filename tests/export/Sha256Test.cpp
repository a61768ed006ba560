// SHA-256 against the standard's test vectors, fed whole and in pieces, with the
// processor's instructions and with the plain rounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/Sha256.h"

namespace {

struct Vector {
  std::string message;
  size_t repeat;
  const char* digest;
};

const Vector kVectors[] = {
    {"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1,
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
     1, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
    {"a", 1000000, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    // 55, 56 and 64 bytes: where the length field just fits, just does not, and a block.
    {"a", 55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
    {"a", 56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
    {"a", 64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
};

std::string Repeated(const Vector& v) {
  std::string text;
  for (size_t i = 0; i < v.repeat; ++i) text += v.message;
  return text;
}

class Sha256Rounds : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { Sha256::ForcePlainRounds(GetParam()); }
  void TearDown() override { Sha256::ForcePlainRounds(false); }
};

TEST_P(Sha256Rounds, GivesTheStandardsDigestsWholeAndInPieces) {
  for (const Vector& v : kVectors) {
    const std::string text = Repeated(v);
    Sha256 whole;
    whole.Update(text.data(), text.size());
    EXPECT_EQ(Sha256::Hex(whole.Finish()), v.digest) << v.message.substr(0, 8) << " x" << v.repeat;
    // Pieces of every size from 1 to 130 bytes in turn cross each block boundary.
    Sha256 pieces;
    size_t at = 0;
    for (size_t piece = 1; at < text.size(); piece = piece % 130 + 1) {
      const size_t n = std::min(piece, text.size() - at);
      pieces.Update(text.data() + at, n);
      at += n;
    }
    EXPECT_EQ(Sha256::Hex(pieces.Finish()), v.digest) << v.message.substr(0, 8) << " x" << v.repeat;
  }
}

INSTANTIATE_TEST_SUITE_P(PlainAndInstructions, Sha256Rounds, ::testing::Values(false, true));

}  // namespace
