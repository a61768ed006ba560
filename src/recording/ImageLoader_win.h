#pragma once
// Reads and decodes a recording's pictures on a worker thread, so that decoding never
// stalls the window, and serves as the owner's one-shot tick through the same message
// queue as the pictures.
//
// The worker sleeps until a request or the armed deadline: it takes the newest requested slot (a request
// replaces any not yet taken), reads it under the loader's lock and posts the picture
// to the owner; it also posts WM_PLAYER_TICK once the armed deadline has passed. Loads,
// opens and closes of the archive run on the owner's thread under the same lock.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "recording/ILoadProgress.h"
#include "recording/VideoArchive.h"
#include "toolkit/ScopedWin_win.h"

class IVideoInfo;

// wParam: the slot read; lParam: the decoded Image* or null. The receiver owns it.
constexpr UINT WM_FRAME_READY = WM_USER + 100;
// The owner's one-shot tick (wParam and lParam 0).
constexpr UINT WM_PLAYER_TICK = WM_USER + 1;

class ImageLoader {
 public:
  static constexpr DWORD kLockWaitMs = 3000;

  // `owner` receives the posted messages; null makes the worker serve nothing.
  explicit ImageLoader(HWND owner);
  // Ends the worker before anything it uses goes away, then closes the archive.
  virtual ~ImageLoader();
  ImageLoader(const ImageLoader&) = delete;
  ImageLoader& operator=(const ImageLoader&) = delete;

  // Loads an archive under the lock. Throws ImageException (5511) when the lock is not
  // had within 3000 ms; a VideoArchiveException of the load goes on to the caller.
  void LoadArchive(const std::wstring& path, ILoadProgress* player);
  // Opens a plain picture file as a one-slot recording, under the lock. Lock timeout:
  // ImageException (5511); a failure of the open goes on as an Exception.
  void OpenPlainFile(const std::wstring& path);
  // Closes the archive (deleting its temporary sound file) once the lock is had within
  // 3000 ms; otherwise the archive stays open.
  void CloseArchive();
  // A new metadata view over the archive; the caller owns it.
  std::unique_ptr<IVideoInfo> MakeVideoInfo() const;

  // Asks for `slot`; false (and nothing queued) when the lock is held by a read or load.
  bool RequestImage(int32_t slot);
  // One WM_PLAYER_TICK once `intervalMs` from now has passed.
  void ArmTimer(uint32_t intervalMs);
  // Disarms the tick and throws away the picture being read, if any.
  void Cancel();

  const VideoArchive& archive() const { return archive_; }
  const std::wstring& eventName() const { return eventName_; }
  const std::wstring& mutexName() const { return mutexName_; }
  bool discardPending() const { return discard_.load(); }
  bool timerArmed() const { return timerArmed_.load(); }
  // The worker thread (tests hold it still to make requests meet it in a known state).
  HANDLE workerThread() const { return thread_.get(); }
  // Pictures the worker freed instead of delivering (cancelled, or the owner gone).
  uint32_t discardedCount() const { return discarded_.load(); }

  // Frees the pictures of WM_FRAME_READY messages still waiting in `owner`'s queue and
  // returns their number. An owner calls it while its window is being destroyed, after
  // its loader's worker has ended, because the system drops a dead window's messages
  // together with the pictures they carry.
  static int DiscardPostedFrames(HWND owner);

 private:
  static DWORD WINAPI workerMain(LPVOID self);
  void work();
  void serveRequest(HANDLE mutex);

  VideoArchive archive_;
  HWND owner_;
  DWORD threadId_ = 0;
  ScopedKernelHandle thread_;
  ScopedKernelHandle requestEvent_;
  ScopedKernelHandle lock_;
  // Wakes the worker when the timer is armed or it is to quit.
  ScopedKernelHandle wake_;
  std::wstring eventName_;
  std::wstring mutexName_;
  int32_t requestedSlot_ = 0;  // written only while the lock is held
  std::atomic<bool> discard_{false};
  std::atomic<bool> quit_{false};
  std::atomic<bool> timerArmed_{false};
  std::atomic<uint32_t> deadline_{0};
  std::atomic<uint32_t> discarded_{0};
};
