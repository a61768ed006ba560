#pragma once
// Passes a clip's bytes on to its file and hashes them as they go, with the fields that
// the writer will fill in at the end already in place as a dry run predicted them. The
// hash is the file's when the writer then fills in exactly those fields with exactly
// those bytes (Matches); otherwise the file must be read back to be hashed. This saves
// reading a clip of a gigabyte a second time.
#include <string>
#include <vector>

#include "export/IClipSink.h"
#include "export/PatchRecorder.h"
#include "export/Sha256.h"

class StreamHashSink : public IClipSink {
 public:
  StreamHashSink(IClipSink& file, std::vector<ClipPatch> predicted);

  void Write(const void* data, size_t size) override;
  void WriteAt(int64_t position, const void* data, size_t size) override;
  int64_t Size() const override { return file_.Size(); }

  // Whether the fields filled in were the predicted ones, so that Hex is the file's.
  bool Matches() const { return actual_ == original_; }
  std::string Hex() { return Sha256::Hex(hash_.Finish()); }

 private:
  IClipSink& file_;
  std::vector<ClipPatch> original_;  // in the writer's order, for the comparison
  std::vector<ClipPatch> sorted_;    // by position, for laying them over the stream
  size_t next_ = 0;                  // first of sorted_ that ends after the hashed bytes
  std::vector<ClipPatch> actual_;
  std::vector<uint8_t> scratch_;
  Sha256 hash_;
};
