#include "recording/ImageLoader_win.h"

#include <mmsystem.h>

#include <algorithm>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/VideoInfo07.h"
#include "toolkit/ImageDecoding.h"

namespace {

// Holds a mutex already acquired and releases it on every way out.
class MutexHold {
 public:
  explicit MutexHold(HANDLE mutex) : mutex_(mutex) {}
  ~MutexHold() { ReleaseMutex(mutex_); }
  MutexHold(const MutexHold&) = delete;
  MutexHold& operator=(const MutexHold&) = delete;

 private:
  HANDLE mutex_;
};

bool Acquired(DWORD waitResult) {
  // An abandoned mutex is owned by the caller all the same.
  return waitResult == WAIT_OBJECT_0 || waitResult == WAIT_ABANDONED;
}

// A handle just made, or the system's reason why it could not be.
HANDLE Made(HANDLE handle) {
  if (handle == nullptr) throw WindowException(static_cast<uint32_t>(GetLastError()));
  return handle;
}

}  // namespace

// The objects are the loader's own and nameless: nothing outside the process can reach
// them or be confused with them, and the worker uses the loader's handles directly.
ImageLoader::ImageLoader(HWND owner)
    : owner_(owner),
      requestEvent_(Made(CreateEventW(nullptr, FALSE, FALSE, nullptr))),
      lock_(Made(CreateMutexW(nullptr, FALSE, nullptr))),
      wake_(Made(CreateEventW(nullptr, FALSE, FALSE, nullptr))) {
  thread_.reset(Made(CreateThread(nullptr, 0, &ImageLoader::workerMain, this, CREATE_SUSPENDED,
                                  &threadId_)));
  SetThreadPriority(thread_.get(), THREAD_PRIORITY_NORMAL);
  ResumeThread(thread_.get());
}

ImageLoader::~ImageLoader() {
  quit_ = true;
  SetEvent(wake_.get());
  // The worker notices the quit flag at once unless it is in the middle of one picture,
  // whose decoding the flag also cuts short. Reading one picture always ends, so after
  // the usual grace period keep waiting: a worker left running would read an archive
  // that is about to be freed, and killing it could leave the heap locked.
  if (WaitForSingleObject(thread_.get(), kLockWaitMs) == WAIT_TIMEOUT) {
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  thread_.reset();
  archive_.Close();
}

void ImageLoader::refuseDuringLoad() const {
  if (loading_) throw ImageException(LoadText(kTextImageArchiveUnreadable));
}

void ImageLoader::LoadArchive(const std::wstring& path, ILoadProgress* player) {
  refuseDuringLoad();
  if (!Acquired(WaitForSingleObject(lock_.get(), kLockWaitMs))) {
    throw ImageException(LoadText(kTextImageArchiveUnreadable));
  }
  MutexHold hold(lock_.get());
  loading_ = true;
  try {
    archive_.Load(path, player);
  } catch (...) {
    endLoad();
    throw;
  }
  endLoad();
}

// Still under the lock: a close asked for while the load ran happens now.
void ImageLoader::endLoad() {
  loading_ = false;
  if (!closeDeferred_) return;
  closeDeferred_ = false;
  archive_.Close();
}

void ImageLoader::OpenPlainFile(const std::wstring& path) {
  refuseDuringLoad();
  if (!Acquired(WaitForSingleObject(lock_.get(), kLockWaitMs))) {
    throw ImageException(LoadText(kTextImageArchiveUnreadable));
  }
  MutexHold hold(lock_.get());
  try {
    archive_.OpenPlain(path);
  } catch (const Exception& e) {
    throw Exception(e.message);
  }
}

void ImageLoader::CloseArchive() {
  if (loading_) {
    closeDeferred_ = true;
    return;
  }
  if (!Acquired(WaitForSingleObject(lock_.get(), kLockWaitMs))) return;
  MutexHold hold(lock_.get());
  archive_.Close();
}

void ImageLoader::OpenEntrySource(int32_t slot) {
  refuseDuringLoad();
  if (!Acquired(WaitForSingleObject(lock_.get(), kLockWaitMs))) {
    throw ImageException(LoadText(kTextImageArchiveUnreadable));
  }
  MutexHold hold(lock_.get());
  archive_.OpenEntrySource(slot);
}

bool ImageLoader::ReadStoredJpeg(int32_t slot, std::vector<uint8_t>& jpeg) {
  refuseDuringLoad();
  if (!Acquired(WaitForSingleObject(lock_.get(), kLockWaitMs))) {
    throw ImageException(LoadText(kTextImageArchiveUnreadable));
  }
  MutexHold hold(lock_.get());
  return archive_.ReadFrameJpeg(slot, jpeg);
}

std::wstring ImageLoader::EntryFileName(int32_t slot) const {
  const FrameEntry* entry = archive_.Entry(slot);
  if (entry == nullptr) return std::wstring();
  const std::wstring& path = entry->sourcePath;
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::unique_ptr<IVideoInfo> ImageLoader::MakeVideoInfo() const {
  return std::make_unique<VideoInfo07>(archive_);
}

bool ImageLoader::RequestImage(int32_t slot) { return placeRequest(slot, 0, false); }

bool ImageLoader::RequestImage(int32_t slot, uint32_t showAt) { return placeRequest(slot, showAt, true); }

bool ImageLoader::placeRequest(int32_t slot, uint32_t showAt, bool hold) {
  // The load's own thread would get the lock again: the worker could not.
  if (loading_ || !Acquired(WaitForSingleObject(lock_.get(), 0))) {
    payOwedWake();
    return false;
  }
  requestedSlot_ = slot;
  requestedGeneration_ = generation_.load();
  requestedHold_ = hold;
  requestedShowAt_ = showAt;
  // Signalled after the release: a worker woken while the lock is still held here would
  // give up after its 1 ms wait and lose the request whenever this thread is preempted.
  ReleaseMutex(lock_.get());
  wakeOwed_ = false;  // the worker wakes for the request and sees the deadline then
  SetEvent(requestEvent_.get());
  return true;
}

void ImageLoader::ArmTimer(uint32_t intervalMs) {
  deadline_ = timeGetTime() + intervalMs;
  timerArmed_ = true;
  if (rearmExpected_.load()) {
    wakeOwed_ = true;
    return;
  }
  SetEvent(wake_.get());
}

void ImageLoader::payOwedWake() {
  if (wakeOwed_.exchange(false)) SetEvent(wake_.get());
}

void ImageLoader::Cancel() {
  timerArmed_ = false;
  {
    std::lock_guard<std::mutex> guard(postLock_);
    ++generation_;
  }
  SetEvent(wake_.get());  // a picture held for its time is let go at once
}

int ImageLoader::DiscardPostedFrames(HWND owner) {
  int freed = 0;
  MSG msg;
  // Wine hands out a pending quit whatever the filter asks for; it belongs to the
  // message loop and is posted again.
  bool quit = false;
  WPARAM quitCode = 0;
  while (PeekMessageW(&msg, owner, WM_FRAME_READY, WM_FRAME_READY, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      quitCode = msg.wParam;
      continue;
    }
    delete reinterpret_cast<Image*>(msg.lParam);
    ++freed;
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return freed;
}

DWORD WINAPI ImageLoader::workerMain(LPVOID self) {
  // Nothing may leave the thread: an exception here would end the process.
  try {
    static_cast<ImageLoader*>(self)->work();
  } catch (...) {
  }
  return 0;
}

void ImageLoader::work() {
  const HANDLE waitFor[2] = {requestEvent_.get(), wake_.get()};
  while (!quit_) {
    // Sleep until a request, the armed deadline, or a change of the timer or the quit
    // flag. Requests are served at once and the tick comes within the clock's
    // millisecond, as with polling every millisecond, without waking a thousand times
    // a second for nothing.
    DWORD timeout = rearmExpected_ ? kRearmGraceMs : INFINITE;
    if (timerArmed_) {
      const int32_t remaining = static_cast<int32_t>(deadline_.load() - timeGetTime());
      timeout = remaining > 0 ? std::min(timeout, static_cast<DWORD>(remaining)) : 0;
    }
    const DWORD woken = WaitForMultipleObjects(2, waitFor, FALSE, timeout);
    if (woken == WAIT_FAILED) return;  // the handles are the loader's own: never expected
    // Cleared before the timer is next looked at: an ArmTimer that saw it still set has
    // stored its deadline already.
    rearmExpected_ = false;
    if (quit_) break;
    if (woken == WAIT_OBJECT_0 && owner_ != nullptr) serveRequest();
    postTickIfDue();
  }
}

void ImageLoader::postTickIfDue() {
  if (timerArmed_ && static_cast<int32_t>(timeGetTime() - deadline_.load()) >= 0) {
    // Cleared only if still armed: a Cancel between the test and here wins.
    bool armed = true;
    if (timerArmed_.compare_exchange_strong(armed, false) && owner_ != nullptr) {
      rearmExpected_ = true;
      PostMessageW(owner_, WM_PLAYER_TICK, 0, 0);
    }
  }
}

void ImageLoader::holdUntil(uint32_t showAt, uint32_t generation) {
  const HANDLE waitFor[2] = {requestEvent_.get(), wake_.get()};
  for (;;) {
    const int32_t remaining = static_cast<int32_t>(showAt - timeGetTime());
    if (remaining <= 0 || quit_ || generation_.load() != generation) return;
    DWORD timeout = static_cast<DWORD>(remaining);
    if (timerArmed_) {
      const int32_t toTick = static_cast<int32_t>(deadline_.load() - timeGetTime());
      timeout = std::min<DWORD>(timeout, toTick > 0 ? static_cast<DWORD>(toTick) : 0);
    }
    const DWORD woken = WaitForMultipleObjects(2, waitFor, FALSE, timeout);
    if (woken == WAIT_FAILED) return;
    rearmExpected_ = false;
    if (woken == WAIT_OBJECT_0) {
      // A newer request: this picture goes now, and the worker serves that one next.
      SetEvent(requestEvent_.get());
      return;
    }
    // The wake event (a timer armed, a cancel, the quit) or a timeout: look again.
    postTickIfDue();
  }
}

void ImageLoader::serveRequest() {
  if (!Acquired(WaitForSingleObject(lock_.get(), 1))) return;  // the request is lost
  int32_t slot = 0;
  uint32_t generation = 0;
  bool held = false;
  uint32_t showAt = 0;
  std::unique_ptr<Image> image;
  {
    MutexHold hold(lock_.get());
    slot = requestedSlot_;
    generation = requestedGeneration_;
    held = requestedHold_;
    showAt = requestedShowAt_;
    ImageDecodingLimits limits;
    limits.stop = [this, generation] { return quit_.load() || generation_.load() != generation; };
    try {
      image = archive_.ReadFrameImage(slot, limits);
    } catch (...) {
      // A picture that cannot be read is posted as null, like an empty slot.
      image.reset();
    }
  }
  // Outside the lock: a request made while the picture waits is taken, not refused.
  if (held) holdUntil(showAt, generation);
  deliver(slot, generation, std::move(image));
}

void ImageLoader::deliver(int32_t slot, uint32_t generation, std::unique_ptr<Image> image) {
  std::lock_guard<std::mutex> guard(postLock_);
  if (quit_ || generation_.load() != generation) {
    ++discarded_;  // the picture goes with `image`
    return;
  }
  Image* raw = image.release();
  if (!PostMessageW(owner_, WM_FRAME_READY, static_cast<WPARAM>(slot),
                    reinterpret_cast<LPARAM>(raw))) {
    // The owner is gone (or its queue is full): nobody else will free the picture.
    ++discarded_;
    delete raw;
  }
}
