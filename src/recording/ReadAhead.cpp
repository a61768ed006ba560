#include "recording/ReadAhead.h"

#include <chrono>

namespace {

// About a chunk's copying time in yields; then sleeps.
constexpr int kYieldsBeforeSleeping = 2000;

}  // namespace

ReadAhead::ReadAhead(IByteSource& source) : source_(source), thread_([this] { Run(); }) {}

ReadAhead::~ReadAhead() {
  if (pending_) Take();
  state_.store(kQuit, std::memory_order_release);
  thread_.join();
}

void ReadAhead::Start(int64_t position, uint8_t* into, size_t size) {
  position_ = position;
  into_ = into;
  size_ = size;
  got_ = 0;
  pending_ = true;
  state_.store(kRequested, std::memory_order_release);
}

size_t ReadAhead::Take() {
  WaitWhile(kRequested);
  pending_ = false;
  state_.store(kIdle, std::memory_order_release);
  return got_;
}

int ReadAhead::WaitWhile(int from) const {
  int yields = 0;
  for (;;) {
    const int now = state_.load(std::memory_order_acquire);
    if (now != from) return now;
    if (++yields < kYieldsBeforeSleeping) {
      std::this_thread::yield();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

void ReadAhead::Run() {
  for (;;) {
    // Idle until the caller starts a read or ends the thread; a finished read waits for
    // its take, which makes the state idle again.
    int state = state_.load(std::memory_order_acquire);
    while (state == kIdle || state == kDone) state = WaitWhile(state);
    if (state == kQuit) return;
    size_t got = 0;
    while (got < size_) {
      const size_t n = source_.ReadAt(position_ + static_cast<int64_t>(got), into_ + got, size_ - got);
      if (n == 0) break;
      got += n;
    }
    got_ = got;
    state_.store(kDone, std::memory_order_release);
  }
}
