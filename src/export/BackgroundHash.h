#pragma once
// A file's SHA-256 taken on a thread of its own (the source archive while its clip is
// written: the second core reads it while the first writes).
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "export/IClipProgress.h"
#include "recording/ByteStream.h"

class BackgroundHash {
 public:
  // Starts at once; throws IOException (`failureText`) when the file cannot be opened.
  BackgroundHash(const std::wstring& path, unsigned failureText);
  ~BackgroundHash();
  BackgroundHash(const BackgroundHash&) = delete;
  BackgroundHash& operator=(const BackgroundHash&) = delete;

  // The digest once the thread has it, asking `progress` meanwhile (a card reads
  // slowly); false when stopped. Throws IOException when the file could not be read.
  bool Result(IClipProgress* progress, int frames, std::string& hex);

 private:
  void Run();
  void Hash();

  std::unique_ptr<IByteSource> source_;
  unsigned failureText_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  bool failed_ = false;
  std::string hex_;
};
