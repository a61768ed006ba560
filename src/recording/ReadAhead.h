#pragma once
// One read at a time on a thread of its own: the caller starts it, works meanwhile and
// takes the bytes later, so that copying a file's next chunk and scanning the current
// one go on side by side.
//
// A chunk is handed over every few dozen microseconds while a large file loads, so the
// two sides pass it with an atomic flag and wait by yielding the processor, not with the
// system's wait objects (on some systems each wait and each signal is a call into the
// system that costs as much as copying a good part of a chunk). A side that waits longer
// than a moment sleeps in steps of a millisecond, so a load held up elsewhere (its window
// busy with a message) does not keep a processor spinning.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "recording/ByteStream.h"

class ReadAhead {
 public:
  // Starts the thread. The source must outlive the object, and nobody else may read it
  // while a read started here has not been taken.
  explicit ReadAhead(IByteSource& source);
  // Waits for a read under way, then ends the thread.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Reads up to `size` bytes from `position` into `into`, which stays the thread's until
  // Take. Only when no read is pending.
  void Start(int64_t position, uint8_t* into, size_t size);
  // Waits for the read started last and returns the count read (fewer than asked at
  // the end of the data). Only when a read is pending.
  size_t Take();
  bool Pending() const { return pending_; }
  int64_t Position() const { return position_; }
  uint8_t* Buffer() const { return into_; }

 private:
  enum State : int { kIdle, kRequested, kDone, kQuit };
  void Run();
  // Waits while the state is `from`; returns the state it became.
  int WaitWhile(int from) const;

  IByteSource& source_;
  std::atomic<int> state_{kIdle};
  // Written by the caller before the state becomes kRequested, read by the thread after.
  int64_t position_ = 0;
  uint8_t* into_ = nullptr;
  size_t size_ = 0;
  // Written by the thread before the state becomes kDone.
  size_t got_ = 0;
  bool pending_ = false;  // the caller's side only
  std::thread thread_;
};
