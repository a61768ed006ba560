#include "recording/ImageLoader_win.h"

#include <mmsystem.h>

#include <cwchar>

#include "foundation/Exception.h"
#include "foundation/LocalTime.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/VideoInfo07.h"

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

// A name unique to this loader: its address and the low 32 bits of the local time.
std::wstring ObjectName(const wchar_t* format, const void* self) {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  LocalDateTime local;
  local.year = now.wYear;
  local.month = now.wMonth;
  local.day = now.wDay;
  local.hour = now.wHour;
  local.minute = now.wMinute;
  local.second = now.wSecond;
  int64_t time = 0;
  ToCalendarTime(local, time);
  wchar_t name[33] = {};
  swprintf(name, 33, format, self, static_cast<long>(static_cast<int32_t>(time)));
  return name;
}

}  // namespace

ImageLoader::ImageLoader(HWND owner) : owner_(owner) {
  SECURITY_ATTRIBUTES security = {};
  security.nLength = sizeof(security);
  security.bInheritHandle = TRUE;
  eventName_ = ObjectName(L"event%08p%ld", this);
  mutexName_ = ObjectName(L"mutex%08p%ld", this);
  requestEvent_.reset(CreateEventW(&security, FALSE, FALSE, eventName_.c_str()));
  lock_.reset(CreateMutexW(&security, FALSE, mutexName_.c_str()));
  wake_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  thread_.reset(CreateThread(&security, 0, &ImageLoader::workerMain, this, CREATE_SUSPENDED,
                             &threadId_));
  if (thread_) {
    SetThreadPriority(thread_.get(), THREAD_PRIORITY_NORMAL);
    ResumeThread(thread_.get());
  }
}

ImageLoader::~ImageLoader() {
  if (thread_) {
    quit_ = true;
    SetEvent(wake_.get());
    // The worker notices the quit flag within a millisecond unless it is in the middle
    // of one picture. Reading one picture always ends, so after the usual grace period
    // keep waiting: a worker left running would read an archive that is about to be
    // freed, and killing it could leave the heap locked.
    if (WaitForSingleObject(thread_.get(), kLockWaitMs) == WAIT_TIMEOUT) {
      WaitForSingleObject(thread_.get(), INFINITE);
    }
    thread_.reset();
  }
  requestEvent_.reset();
  lock_.reset();
  wake_.reset();
  archive_.Close();
}

void ImageLoader::LoadArchive(const std::wstring& path, ILoadProgress* player) {
  if (!Acquired(WaitForSingleObject(lock_.get(), kLockWaitMs))) {
    throw ImageException(LoadText(kTextImageArchiveUnreadable));
  }
  MutexHold hold(lock_.get());
  archive_.Load(path, player);
}

void ImageLoader::OpenPlainFile(const std::wstring& path) {
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
  if (!Acquired(WaitForSingleObject(lock_.get(), kLockWaitMs))) return;
  MutexHold hold(lock_.get());
  archive_.Close();
}

std::unique_ptr<IVideoInfo> ImageLoader::MakeVideoInfo() const {
  return std::make_unique<VideoInfo07>(archive_);
}

bool ImageLoader::RequestImage(int32_t slot) {
  if (!Acquired(WaitForSingleObject(lock_.get(), 0))) return false;
  requestedSlot_ = slot;
  // Signalled after the release: a worker woken while the lock is still held here would
  // give up after its 1 ms wait and lose the request whenever this thread is preempted.
  ReleaseMutex(lock_.get());
  SetEvent(requestEvent_.get());
  return true;
}

void ImageLoader::ArmTimer(uint32_t intervalMs) {
  deadline_ = timeGetTime() + intervalMs;
  timerArmed_ = true;
  SetEvent(wake_.get());
}

void ImageLoader::Cancel() {
  timerArmed_ = false;
  if (Acquired(WaitForSingleObject(lock_.get(), 0))) {
    ReleaseMutex(lock_.get());
  } else {
    discard_ = true;
  }
}

int ImageLoader::DiscardPostedFrames(HWND owner) {
  int freed = 0;
  MSG msg;
  while (PeekMessageW(&msg, owner, WM_FRAME_READY, WM_FRAME_READY, PM_REMOVE)) {
    delete reinterpret_cast<Image*>(msg.lParam);
    ++freed;
  }
  return freed;
}

DWORD WINAPI ImageLoader::workerMain(LPVOID self) {
  static_cast<ImageLoader*>(self)->work();
  return 0;
}

void ImageLoader::work() {
  ScopedKernelHandle event(OpenEventW(EVENT_ALL_ACCESS, FALSE, eventName_.c_str()));
  ScopedKernelHandle mutex(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, mutexName_.c_str()));
  const HANDLE waitFor[2] = {event.get(), wake_.get()};
  while (!quit_) {
    // Sleep until a request, the armed deadline, or a change of the timer or the quit
    // flag. Requests are served at once and the tick comes within the clock's
    // millisecond, as with polling every millisecond, without waking a thousand times
    // a second for nothing.
    DWORD timeout = INFINITE;
    if (timerArmed_) {
      const int32_t remaining = static_cast<int32_t>(deadline_.load() - timeGetTime());
      timeout = remaining > 0 ? static_cast<DWORD>(remaining) : 0;
    }
    const DWORD woken = WaitForMultipleObjects(2, waitFor, FALSE, timeout);
    if (quit_) break;
    if (woken == WAIT_OBJECT_0 && owner_ != nullptr) serveRequest(mutex.get());
    if (timerArmed_ && static_cast<int32_t>(timeGetTime() - deadline_.load()) >= 0) {
      // Cleared only if still armed: a Cancel between the test and here wins.
      bool armed = true;
      if (timerArmed_.compare_exchange_strong(armed, false) && owner_ != nullptr) {
        PostMessageW(owner_, WM_PLAYER_TICK, 0, 0);
      }
    }
  }
}

void ImageLoader::serveRequest(HANDLE mutex) {
  if (!Acquired(WaitForSingleObject(mutex, 1))) return;  // the request is lost
  MutexHold hold(mutex);
  const int32_t slot = requestedSlot_;
  // A discard asked for after the previous picture had already been posted belongs to
  // no read; it must not throw away this one.
  discard_ = false;
  std::unique_ptr<Image> image;
  try {
    image = archive_.ReadFrameImage(slot);
  } catch (...) {
    // A picture that cannot be read is posted as null, like an empty slot; nothing may
    // leave the thread.
    image.reset();
  }
  if (discard_.exchange(false) || quit_) {
    if (image) ++discarded_;
    return;
  }
  Image* raw = image.release();
  if (!PostMessageW(owner_, WM_FRAME_READY, static_cast<WPARAM>(slot),
                    reinterpret_cast<LPARAM>(raw))) {
    // The owner is gone (or its queue is full): nobody else will free the picture.
    if (raw != nullptr) ++discarded_;
    delete raw;
  }
}
