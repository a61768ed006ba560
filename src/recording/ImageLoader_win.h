#pragma once
// Reads and decodes a recording's pictures on a worker thread, so that decoding never
// stalls the window, and serves as the owner's one-shot tick through the same message
// queue as the pictures.
//
// The worker sleeps until a request or the armed deadline: it takes the newest requested
// slot (a request replaces any not yet taken), reads it under the loader's lock and posts
// the picture to the owner; it also posts WM_PLAYER_TICK once the armed deadline has
// passed. Loads, opens and closes of the archive run on the owner's thread under the
// same lock.
//
// A load dispatches the owner's messages while it runs, and their handlers may call the
// loader again on the same thread (the lock does not keep them out: its owner may take it
// again). While a load runs, a nested LoadArchive or OpenPlainFile throws ImageException
// (5511) and changes nothing, RequestImage refuses, and CloseArchive is carried out when
// the load returns, so that the archive is closed then. The loader must not be destroyed
// from inside its own load: an owner that may be destroyed meanwhile defers that until
// the load has returned.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "recording/ILoadProgress.h"
#include "recording/VideoArchive.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/WindowMessages_win.h"

class IVideoInfo;

class ImageLoader {
 public:
  static constexpr DWORD kLockWaitMs = 3000;
  // The longest a tick armed right after the previous one was posted, with no request
  // following, can come late.
  static constexpr DWORD kRearmGraceMs = 100;

  // `owner` receives the posted messages; null makes the worker serve nothing. Throws
  // WindowException (with the system's text) when the worker or the objects it waits on
  // cannot be made.
  explicit ImageLoader(HWND owner);
  // Ends the worker before anything it uses goes away, then closes the archive.
  virtual ~ImageLoader();
  ImageLoader(const ImageLoader&) = delete;
  ImageLoader& operator=(const ImageLoader&) = delete;

  // Loads an archive under the lock. Throws ImageException (5511) when the lock is not
  // had within 3000 ms or a load is already running; a VideoArchiveException of the load
  // goes on to the caller.
  void LoadArchive(const std::wstring& path, ILoadProgress* player);
  // Opens a plain picture file as a one-slot recording, under the lock. Lock timeout or
  // a running load: ImageException (5511); a failure of the open goes on as an Exception.
  void OpenPlainFile(const std::wstring& path);
  // Closes the archive (deleting its temporary sound file) once the lock is had within
  // 3000 ms; otherwise the archive stays open. During a load: when the load returns.
  void CloseArchive();
  // Makes the file the entry of `slot` came from the archive's source, under the lock, so
  // that the worker reads that file next. Lock timeout or a running load: ImageException
  // (5511); a slot without an entry, or a file that cannot be opened: the archive's
  // VideoArchiveException (5510), the archive then having no source.
  void OpenEntrySource(int32_t slot);
  // The stored JPEG stream of `slot` (the bytes its picture is decoded from), read under
  // the lock, so that the worker's reads and this one take turns on the archive's source.
  // False when the slot has no readable picture. Lock timeout or a running load:
  // ImageException (5511).
  bool ReadStoredJpeg(int32_t slot, std::vector<uint8_t>& jpeg);
  // The entries of the archive (its slots). The tables change only on the owner's thread
  // (loads, opens and closes run there), so reading them there needs no lock.
  int32_t EntryCount() const { return archive_.SlotCount(); }
  // The name, without its folder, of the file the entry of `slot` came from; empty when
  // there is no such entry or it names no file.
  std::wstring EntryFileName(int32_t slot) const;
  // A new metadata view over the archive; the caller owns it.
  std::unique_ptr<IVideoInfo> MakeVideoInfo() const;

  // Asks for `slot`; false (and nothing queued) when the lock is held by a read or a load.
  bool RequestImage(int32_t slot);
  // The same for a picture due at `showAt` (timeGetTime's milliseconds): once decoded,
  // it is held until then and posted on time, unless a newer request, a cancel or the
  // end of the loader comes first. It is the one picture waiting; none are queued.
  bool RequestImage(int32_t slot, uint32_t showAt);
  // One WM_PLAYER_TICK once `intervalMs` from now has passed.
  void ArmTimer(uint32_t intervalMs);
  // Disarms the tick and throws away every picture asked for before this call: the one
  // being read (whose decoding is cut short) and a request not yet taken.
  void Cancel();

  const VideoArchive& archive() const { return archive_; }
  bool loading() const { return loading_; }
  bool timerArmed() const { return timerArmed_.load(); }
  // The worker thread and the lock (tests hold them to meet the worker in a known state).
  HANDLE workerThread() const { return thread_.get(); }
  HANDLE lock() const { return lock_.get(); }
  // Reads whose result the worker threw away instead of posting it (cancelled, the
  // loader ending, or the owner gone).
  uint32_t discardedCount() const { return discarded_.load(); }

  // Frees the pictures of WM_FRAME_READY messages still waiting in `owner`'s queue and
  // returns their number. An owner calls it while its window is being destroyed, after
  // its loader's worker has ended (or after Cancel), because the system drops a dead
  // window's messages together with the pictures they carry.
  static int DiscardPostedFrames(HWND owner);

 private:
  bool placeRequest(int32_t slot, uint32_t showAt, bool hold);
  static DWORD WINAPI workerMain(LPVOID self);
  void work();
  void serveRequest();
  // Sleeps until `showAt`, serving the tick meanwhile; returns early for a newer
  // request (left signalled for the worker), a cancel or the quit.
  void holdUntil(uint32_t showAt, uint32_t generation);
  void postTickIfDue();
  void deliver(int32_t slot, uint32_t generation, std::unique_ptr<Image> image);
  void refuseDuringLoad() const;
  void endLoad();
  void payOwedWake();

  VideoArchive archive_;
  HWND owner_;
  DWORD threadId_ = 0;
  ScopedKernelHandle requestEvent_;
  ScopedKernelHandle lock_;
  // Wakes the worker when the timer is armed or it is to quit.
  ScopedKernelHandle wake_;
  ScopedKernelHandle thread_;
  int32_t requestedSlot_ = 0;            // written only while the lock is held
  uint32_t requestedGeneration_ = 0;     // likewise: the generation the request belongs to
  bool requestedHold_ = false;           // likewise: the picture is held until requestedShowAt_
  uint32_t requestedShowAt_ = 0;
  // Raised by every Cancel. A read whose request belongs to an older generation is
  // thrown away; the check and the post happen under postLock_, so that once Cancel
  // has returned no picture asked for before it can still be posted.
  std::atomic<uint32_t> generation_{0};
  std::mutex postLock_;
  std::atomic<bool> quit_{false};
  std::atomic<bool> timerArmed_{false};
  std::atomic<uint32_t> deadline_{0};
  std::atomic<uint32_t> discarded_{0};
  // Set by the worker from the tick it posts until it next wakes: the owner answers a
  // tick by arming the next one and asking for a picture at once, and that request's
  // signal wakes the worker, which then sees the new deadline. So ArmTimer does not wake
  // it meanwhile (a wake-up, a wait and a signal each tick, every one a call into the
  // system); it leaves the wake owed to the next request, whose refusal pays it, and the
  // worker looks again after kRearmGraceMs in any case.
  std::atomic<bool> rearmExpected_{false};
  std::atomic<bool> wakeOwed_{false};
  // Owner's thread only: a load is running, and a close asked for meanwhile.
  bool loading_ = false;
  bool closeDeferred_ = false;
};
