// The background loader with its real worker thread, on a simulator recording.
#include "recording/ImageLoader_win.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "PlaybackTestSupport.h"
#include "RecorderSimulator.h"
#include "TempDir.h"
#include "foundation/Exception.h"
#include "foundation/LocalTime.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "Wait_win.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/Window_win.h"

namespace {

// Receives the loader's messages and keeps what arrived.
class Receiver : public Window {
 public:
  Receiver() {
    WindowCreateParams p;
    p.className = MAKEINTATOM(defaultClass());
    p.parent = HWND_MESSAGE;
    p.instance = classInstance();
    create(p);
  }
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_FRAME_READY) {
      std::unique_ptr<Image> image(reinterpret_cast<Image*>(lParam));
      frames.push_back({static_cast<int>(wParam), image != nullptr});
      frameTimes.push_back(timeGetTime());
      return 0;
    }
    if (message == WM_PLAYER_TICK) {
      tickTimes.push_back(timeGetTime());
      return 0;
    }
    if (message == kRunHook) {
      if (hook) hook();
      return 0;
    }
    return defaultHandling(message, wParam, lParam);
  }
  // Runs `hook` when dispatched (above the program's own message numbers).
  static constexpr UINT kRunHook = WM_APP + 0x100;
  std::function<void()> hook;
  struct Frame {
    int slot;
    bool picture;
  };
  std::vector<Frame> frames;
  std::vector<DWORD> frameTimes;
  std::vector<DWORD> tickTimes;
};

// Holds the loader's lock from another thread for a while, as a long read would.
class LockHolder {
 public:
  LockHolder(HANDLE mutex, DWORD holdMs) {
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([=] {
      WaitForSingleObject(mutex, INFINITE);
      SetEvent(taken);
      Sleep(holdMs);
      ReleaseMutex(mutex);
    });
    WaitForSingleObject(taken, INFINITE);
    CloseHandle(taken);
  }
  ~LockHolder() { thread_.join(); }

 private:
  std::thread thread_;
};

// Dispatches the thread's messages whenever the scan offers to, as the player does.
class PumpingProgress : public ILoadProgress {
 public:
  void showProgress(int) override {}
  void pumpMessages() override {
    ++pumps;
    PumpPending();
  }
  int pumps = 0;
};

// Owns mutexes under the given names from a thread of its own until it goes.
class NameSquatter {
 public:
  explicit NameSquatter(std::vector<std::wstring> names) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([=] {
      std::vector<HANDLE> held;
      for (const std::wstring& name : names) held.push_back(CreateMutexW(nullptr, TRUE, name.c_str()));
      SetEvent(ready);
      WaitForSingleObject(done_, INFINITE);
      for (HANDLE h : held) {
        ReleaseMutex(h);
        CloseHandle(h);
      }
    });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
  }
  ~NameSquatter() {
    SetEvent(done_);
    thread_.join();
    CloseHandle(done_);
  }

 private:
  HANDLE done_ = nullptr;
  std::thread thread_;
};

// The low 32 bits of the local time as a calendar time, as an object name would carry it.
long LocalSecondsNow() {
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
  return static_cast<long>(static_cast<int32_t>(time));
}

class ImageLoaderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir();
    recsim::RecordingDescription d;
    d.durationMs = 2000;
    d.sound = false;
    // Large, detailed pictures, so that a read lasts long enough to be caught.
    d.width = 1280;
    d.height = 960;
    d.detail = 1.0;
    path_ = (*dir_ / "0001_001.DAT").wstring();
    recsim::WriteRecording(d, path_);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    receiver_ = new Receiver();
    loader_ = std::make_unique<ImageLoader>(receiver_->handle());
    loader_->LoadArchive(path_, nullptr);
    ASSERT_GT(loader_->archive().SlotCount(), 40);
  }
  void TearDown() override {
    loader_.reset();
    if (IsWindow(receiver_->handle())) {
      ImageLoader::DiscardPostedFrames(receiver_->handle());
      DestroyWindow(receiver_->handle());
    }
  }
  // A slot that holds a picture, at or after `from`.
  int pictureSlot(int from) const {
    for (int s = from; s < loader_->archive().SlotCount(); ++s) {
      if (loader_->archive().Entry(s) != nullptr) return s;
    }
    return -1;
  }
  // True while the worker holds the lock (this thread cannot take it).
  bool workerReading() const {
    const DWORD r = WaitForSingleObject(loader_->lock(), 0);
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) ReleaseMutex(loader_->lock());
    return r == WAIT_TIMEOUT;
  }
  bool frameArrives() {
    return WaitFor([&] { return !receiver_->frames.empty(); }, kPatienceMs);
  }
  // A picture is posted to the owner; it stays in the queue.
  bool frameArrivesUndispatched() {
    MSG msg;
    const DWORD start = GetTickCount();
    while (!PeekMessageW(&msg, receiver_->handle(), WM_FRAME_READY, WM_FRAME_READY, PM_NOREMOVE)) {
      if (GetTickCount() - start >= kPatienceMs) return false;
      Sleep(1);
    }
    return true;
  }
  // A picture asked for now arrives: the loader serves requests.
  void expectServed(int from) {
    receiver_->frames.clear();
    const int slot = pictureSlot(from);
    ASSERT_TRUE(loader_->RequestImage(slot));
    ASSERT_TRUE(frameArrives());
    EXPECT_EQ(receiver_->frames[0].slot, slot);
    EXPECT_TRUE(receiver_->frames[0].picture);
  }

  // Far above anything expected: waiting only fails when a thing never happens.

  static TempDir* dir_;
  static std::wstring path_;
  Receiver* receiver_ = nullptr;
  std::unique_ptr<ImageLoader> loader_;
};

TempDir* ImageLoaderTest::dir_ = nullptr;
std::wstring ImageLoaderTest::path_;

}  // namespace

TEST_F(ImageLoaderTest, ServesARequestedSlotWithItsPicture) { expectServed(10); }

TEST_F(ImageLoaderTest, OnlyTheLastOfTwoQuickRequestsIsServed) {
  // The worker wakes at once on a request, so two requests meet it unserved only when
  // it is held still in between (it is idle in its wait, holding nothing).
  for (int round = 0; round < 3; ++round) {
    receiver_->frames.clear();
    const int first = pictureSlot(2 * round + 1);
    const int second = pictureSlot(first + 20);
    // The worker lets go of the lock just after posting the previous round's picture.
    ASSERT_TRUE(WaitFor([&] { return !workerReading(); }, kPatienceMs));
    ASSERT_NE(SuspendThread(loader_->workerThread()), DWORD(-1));
    const bool a = loader_->RequestImage(first);
    const bool b = loader_->RequestImage(second);
    ResumeThread(loader_->workerThread());
    EXPECT_TRUE(a);
    EXPECT_TRUE(b);
    ASSERT_TRUE(frameArrives());
    PumpFor(40);
    ASSERT_EQ(receiver_->frames.size(), 1u) << "round " << round;
    EXPECT_EQ(receiver_->frames[0].slot, second) << "round " << round;
  }
}

TEST_F(ImageLoaderTest, CancelThrowsAwayARequestNotYetTaken) {
  // The worker is held still while the request is made and cancelled.
  ASSERT_NE(SuspendThread(loader_->workerThread()), DWORD(-1));
  const bool asked = loader_->RequestImage(pictureSlot(3));
  loader_->Cancel();
  ResumeThread(loader_->workerThread());
  ASSERT_TRUE(asked);
  EXPECT_TRUE(WaitFor([&] { return loader_->discardedCount() == 1; }, kPatienceMs))
      << "the picture asked for before the cancel was not thrown away";
  PumpFor(100);
  EXPECT_TRUE(receiver_->frames.empty()) << "a cancelled picture was posted";
  expectServed(5);
}

TEST_F(ImageLoaderTest, CancelWhileReadingThrowsThePictureAway) {
  bool caught = false;
  for (int attempt = 0; attempt < 50 && !caught; ++attempt) {
    receiver_->frames.clear();
    const uint32_t discardedBefore = loader_->discardedCount();
    ASSERT_TRUE(loader_->RequestImage(pictureSlot(attempt % 30)));
    const DWORD start = timeGetTime();
    while (!workerReading() && timeGetTime() - start < 50) {
    }
    loader_->Cancel();
    ASSERT_TRUE(WaitFor(
        [&] { return !receiver_->frames.empty() || loader_->discardedCount() != discardedBefore; },
        kPatienceMs));
    if (!receiver_->frames.empty()) continue;  // posted before the cancel came: try again
    caught = true;
    PumpFor(100);
    EXPECT_TRUE(receiver_->frames.empty());
    EXPECT_EQ(loader_->discardedCount(), discardedBefore + 1);
  }
  EXPECT_TRUE(caught) << "never managed to cancel during a read";
  expectServed(7);
}

TEST_F(ImageLoaderTest, CancelWhileIdleDiscardsNothingLater) {
  loader_->Cancel();
  expectServed(5);
  EXPECT_EQ(loader_->discardedCount(), 0u);
}

TEST_F(ImageLoaderTest, TheTickIsOneShotAndCancelDisarmsIt) {
  const DWORD armed = timeGetTime();
  loader_->ArmTimer(40);
  ASSERT_TRUE(WaitFor([&] { return !receiver_->tickTimes.empty(); }, kPatienceMs));
  EXPECT_GE(receiver_->tickTimes[0] - armed, 40u) << "the tick came early";
  PumpFor(150);
  EXPECT_EQ(receiver_->tickTimes.size(), 1u) << "one tick per arming";

  receiver_->tickTimes.clear();
  loader_->ArmTimer(50);
  EXPECT_TRUE(loader_->timerArmed());
  loader_->Cancel();
  PumpFor(200);
  EXPECT_TRUE(receiver_->tickTimes.empty()) << "a cancelled tick arrived";
}

// A player answers each tick by arming the next and asking for a picture; the worker,
// still waking from the tick it posted, is not woken by the arming alone. Whatever
// follows the arming, the next tick must come, and not before its time.
TEST_F(ImageLoaderTest, ATickArmedInAnswerToATickComesWhateverFollowsIt) {
  enum class Then { Request, RefusedRequest, Nothing };
  for (const Then then : {Then::Request, Then::RefusedRequest, Then::Nothing}) {
    receiver_->tickTimes.clear();
    loader_->ArmTimer(10);
    ASSERT_TRUE(WaitFor([&] { return !receiver_->tickTimes.empty(); }, kPatienceMs));
    const DWORD armed = timeGetTime();
    loader_->ArmTimer(30);
    if (then == Then::Request) {
      ASSERT_TRUE(loader_->RequestImage(pictureSlot(4)));
    } else if (then == Then::RefusedRequest) {
      LockHolder hold(loader_->lock(), 100);
      ASSERT_FALSE(loader_->RequestImage(pictureSlot(4)));
    }
    ASSERT_TRUE(WaitFor([&] { return receiver_->tickTimes.size() >= 2; }, kPatienceMs))
        << "no tick after " << static_cast<int>(then);
    EXPECT_GE(receiver_->tickTimes[1] - armed, 30u) << "early after " << static_cast<int>(then);
    receiver_->frames.clear();
  }
}

TEST_F(ImageLoaderTest, AHeldPictureComesAtItsTimeOrWhenSomethingNewerComes) {
  // What happens while the picture waits: nothing, a newer request, a cancel, the tick.
  enum class During { Nothing, Request, Cancel, Tick };
  struct Case {
    const char* what;
    During during;
    DWORD holdMs;
  } cases[] = {
      {"held until its time", During::Nothing, 300},
      {"a time already past", During::Nothing, 0},
      {"a newer request lets it go", During::Request, 10000},
      {"a cancel throws it away", During::Cancel, 10000},
      {"the tick still comes meanwhile", During::Tick, 2000},
  };
  for (const Case& c : cases) {
    receiver_->frames.clear();
    receiver_->frameTimes.clear();
    receiver_->tickTimes.clear();
    const uint32_t discardedBefore = loader_->discardedCount();
    const int slot = pictureSlot(4);
    const DWORD asked = timeGetTime();
    ASSERT_TRUE(loader_->RequestImage(slot, asked + c.holdMs)) << c.what;
    PumpFor(100);
    if (c.during == During::Request) ASSERT_TRUE(loader_->RequestImage(pictureSlot(9))) << c.what;
    if (c.during == During::Cancel) loader_->Cancel();
    if (c.during == During::Tick) loader_->ArmTimer(100);
    if (c.during == During::Cancel) {
      ASSERT_TRUE(WaitFor([&] { return loader_->discardedCount() != discardedBefore; }, kPatienceMs)) << c.what;
      EXPECT_LT(timeGetTime() - asked, c.holdMs - 1000) << c.what << ": held to the end";
      EXPECT_TRUE(receiver_->frames.empty()) << c.what;
      continue;
    }
    ASSERT_TRUE(WaitFor([&] { return receiver_->frames.size() == (c.during == During::Request ? 2u : 1u); },
                          kPatienceMs))
        << c.what;
    EXPECT_EQ(receiver_->frames[0].slot, slot) << c.what;
    if (c.during == During::Request) {
      EXPECT_LT(receiver_->frameTimes[0] - asked, c.holdMs - 1000) << c.what << ": held to the end";
      EXPECT_EQ(receiver_->frames[1].slot, pictureSlot(9)) << c.what;
    } else {
      EXPECT_GE(receiver_->frameTimes[0] - asked, c.holdMs) << c.what << ": came early";
    }
    if (c.during == During::Tick) {
      ASSERT_EQ(receiver_->tickTimes.size(), 1u) << c.what;
      EXPECT_LT(receiver_->tickTimes[0], receiver_->frameTimes[0]) << c.what << ": the tick waited for the picture";
    }
  }
}

TEST_F(ImageLoaderTest, EmptyAndOutOfRangeSlotsPostNoPicture) {
  const int beyond = loader_->archive().SlotCount() + 5;
  ASSERT_TRUE(loader_->RequestImage(beyond));
  ASSERT_TRUE(frameArrives());
  EXPECT_EQ(receiver_->frames[0].slot, beyond);
  EXPECT_FALSE(receiver_->frames[0].picture);

  receiver_->frames.clear();
  ASSERT_TRUE(loader_->RequestImage(-1));
  ASSERT_TRUE(frameArrives());
  EXPECT_FALSE(receiver_->frames[0].picture);
}

// The snapshot's bytes come from the loader's own archive, as a second reader of the
// file would read them, while the worker goes on serving.
TEST_F(ImageLoaderTest, AStoredJpegIsTheArchivesStreamForTheSlot) {
  VideoArchive second;
  second.Load(path_, nullptr);
  const int slot = pictureSlot(7);
  const int requested = pictureSlot(2);
  receiver_->frames.clear();
  ASSERT_TRUE(loader_->RequestImage(requested));
  std::vector<uint8_t> stored;
  std::vector<uint8_t> expected;
  ASSERT_TRUE(loader_->ReadStoredJpeg(slot, stored));
  ASSERT_TRUE(second.ReadFrameJpeg(slot, expected));
  EXPECT_EQ(stored, expected);
  EXPECT_FALSE(loader_->ReadStoredJpeg(-1, stored));
  EXPECT_FALSE(loader_->ReadStoredJpeg(loader_->archive().SlotCount() + 5, stored));
  ASSERT_TRUE(frameArrives());
  EXPECT_EQ(receiver_->frames[0].slot, requested);
  EXPECT_TRUE(receiver_->frames[0].picture);
}

TEST_F(ImageLoaderTest, RequestsAreRefusedWhileTheLockIsHeld) {
  LockHolder hold(loader_->lock(), 100);
  EXPECT_FALSE(loader_->RequestImage(pictureSlot(3)));
  PumpFor(150);
  EXPECT_TRUE(receiver_->frames.empty()) << "a refused request was served";
}

TEST_F(ImageLoaderTest, LoadWaitsForAReadAndGivesUpAfterThreeSeconds) {
  {
    LockHolder hold(loader_->lock(), 300);
    const DWORD start = timeGetTime();
    loader_->LoadArchive(path_, nullptr);
    EXPECT_GE(timeGetTime() - start, 250u);
    EXPECT_TRUE(loader_->archive().IsOpen());
  }
  const int slot = pictureSlot(2);
  const struct {
    const char* call;
    std::function<void()> open;
  } opens[] = {
      {"open plain", [&] { loader_->OpenPlainFile(path_); }},
      {"open entry source", [&] { loader_->OpenEntrySource(slot); }},
      {"read stored jpeg", [&] {
         std::vector<uint8_t> jpeg;
         loader_->ReadStoredJpeg(slot, jpeg);
       }},
  };
  for (const auto& c : opens) {
    SCOPED_TRACE(c.call);
    LockHolder hold(loader_->lock(), 3400);
    try {
      c.open();
      ADD_FAILURE() << "opened without the lock";
    } catch (const ImageException& e) {
      EXPECT_EQ(e.message, LoadText(kTextImageArchiveUnreadable));
    }
    // The archive was not touched.
    EXPECT_GT(loader_->archive().SlotCount(), 40);
  }
}

TEST_F(ImageLoaderTest, EntriesAreCountedAndNamedByTheFileTheyCameFrom) {
  const int slot = pictureSlot(5);
  EXPECT_EQ(loader_->EntryCount(), loader_->archive().SlotCount());
  // A load names no file for its entries; nothing lies outside the timeline.
  for (int s : {slot, -1, loader_->EntryCount()}) EXPECT_EQ(loader_->EntryFileName(s), L"") << s;

  // An entry that came from a file of its own (the thumbnails' case): here the archive
  // itself, so that the picture read from it is the entry's own.
  const_cast<FrameEntry*>(loader_->archive().Entry(slot))->sourcePath = path_;
  EXPECT_EQ(loader_->EntryFileName(slot), L"0001_001.DAT");
  loader_->OpenEntrySource(slot);
  expectServed(slot);

  loader_->CloseArchive();
  EXPECT_EQ(loader_->EntryCount(), 0);
  EXPECT_EQ(loader_->EntryFileName(slot), L"");
}

TEST_F(ImageLoaderTest, AnEntryWithoutAFileLeavesNoSourceToReadFrom) {
  for (int slot : {pictureSlot(3), -1, loader_->EntryCount()}) {
    SCOPED_TRACE(slot);
    try {
      loader_->OpenEntrySource(slot);
      ADD_FAILURE() << "opened an entry without a file";
    } catch (const VideoArchiveException& e) {
      EXPECT_EQ(e.message, LoadText(kTextDataUnreadable));
    }
    // The lock was let go, and the worker answers with no picture rather than none.
    receiver_->frames.clear();
    ASSERT_TRUE(loader_->RequestImage(pictureSlot(3)));
    ASSERT_TRUE(frameArrives());
    EXPECT_FALSE(receiver_->frames[0].picture);
  }
}

TEST_F(ImageLoaderTest, FailedLoadsReleaseTheLock) {
  const std::wstring missing = (*dir_ / "9999_999.DAT").wstring();
  EXPECT_THROW(loader_->LoadArchive(missing, nullptr), VideoArchiveException);
  EXPECT_THROW(loader_->OpenPlainFile(missing), Exception);
  // Were the lock still held by this thread, the worker could never read again.
  loader_->LoadArchive(path_, nullptr);
  expectServed(4);
}

TEST_F(ImageLoaderTest, PicturesForAGoneOwnerAreFreed) {
  // Posted but never dispatched: the owner collects them while it is destroyed.
  ASSERT_TRUE(loader_->RequestImage(pictureSlot(6)));
  MSG msg;
  const DWORD start = GetTickCount();
  while (!PeekMessageW(&msg, receiver_->handle(), WM_FRAME_READY, WM_FRAME_READY, PM_NOREMOVE) &&
         GetTickCount() - start < kPatienceMs) {
    Sleep(1);
  }
  EXPECT_EQ(ImageLoader::DiscardPostedFrames(receiver_->handle()), 1);

  // The owner window is gone before the picture is ready: the post fails and the
  // worker frees the picture itself.
  DestroyWindow(receiver_->handle());
  ASSERT_TRUE(loader_->RequestImage(pictureSlot(8)));
  const DWORD t0 = GetTickCount();
  while (loader_->discardedCount() == 0 && GetTickCount() - t0 < kPatienceMs) Sleep(1);
  EXPECT_EQ(loader_->discardedCount(), 1u);
}

TEST_F(ImageLoaderTest, CollectingPicturesLeavesTheQuitMessageForTheLoop) {
  // The main window posts the quit before its children are destroyed.
  ASSERT_TRUE(loader_->RequestImage(pictureSlot(6)));
  ASSERT_TRUE(frameArrivesUndispatched());
  PostQuitMessage(3);
  EXPECT_EQ(ImageLoader::DiscardPostedFrames(receiver_->handle()), 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(ImageLoaderTest, DestroyingWhileReadingWaitsForTheWorker) {
  // The worker reads the archive the loader embeds; the destructor must not return
  // (and free the archive) while a read runs, and nothing may be posted afterwards.
  int posted = 0;
  for (int i = 0; i < 8; ++i) {
    auto loader = std::make_unique<ImageLoader>(receiver_->handle());
    loader->LoadArchive(path_, nullptr);
    HANDLE worker = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), loader->workerThread(), GetCurrentProcess(),
                                &worker, SYNCHRONIZE, FALSE, 0));
    ASSERT_TRUE(loader->RequestImage(pictureSlot(i)));
    Sleep(static_cast<DWORD>(i % 3));
    loader.reset();
    EXPECT_EQ(WaitForSingleObject(worker, 0), WAIT_OBJECT_0) << "the worker outlived its loader";
    CloseHandle(worker);
    posted += ImageLoader::DiscardPostedFrames(receiver_->handle());
  }
  EXPECT_LE(posted, 8) << "more pictures than requests";
  PumpFor(100);
  EXPECT_TRUE(receiver_->frames.empty()) << "a picture came from a loader already gone";
}

TEST_F(ImageLoaderTest, CallsMadeByMessagesThatALoadDispatchesAreRefusedOrWaitForIt) {
  struct Case {
    const char* call;
    std::function<std::string(ImageLoader&)> make;
    const char* answer;
    bool openAfter;
  };
  const std::wstring path = path_;
  const Case cases[] = {
      {"load", [&](ImageLoader& l) { return AnswerOf([&] { l.LoadArchive(path, nullptr); }); },
       "refused", true},
      {"open plain", [&](ImageLoader& l) { return AnswerOf([&] { l.OpenPlainFile(path); }); },
       "refused", true},
      {"open entry source", [&](ImageLoader& l) { return AnswerOf([&] { l.OpenEntrySource(3); }); },
       "refused", true},
      {"request", [&](ImageLoader& l) { return std::string(l.RequestImage(3) ? "accepted" : "refused"); },
       "refused", true},
      {"read stored jpeg",
       [&](ImageLoader& l) {
         std::vector<uint8_t> jpeg;
         return AnswerOf([&] { l.ReadStoredJpeg(3, jpeg); });
       },
       "refused", true},
      {"close",
       [&](ImageLoader& l) {
         l.CloseArchive();
         return std::string(l.archive().IsOpen() ? "waits" : "closed under the load");
       },
       "waits", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    std::string answer = "never called";
    std::wstring soundPath;
    receiver_->hook = [&] {
      soundPath = loader_->archive().SoundPath();
      answer = c.make(*loader_);
    };
    PostMessageW(receiver_->handle(), Receiver::kRunHook, 0, 0);
    PumpingProgress progress;
    EXPECT_NO_THROW(loader_->LoadArchive(path_, &progress));
    EXPECT_GE(progress.pumps, 1);
    EXPECT_EQ(answer, c.answer);
    EXPECT_FALSE(loader_->loading());
    EXPECT_EQ(loader_->archive().IsOpen(), c.openAfter);
    if (c.openAfter) {
      EXPECT_GT(loader_->archive().SlotCount(), 40);
      expectServed(9);
    } else {
      EXPECT_EQ(loader_->archive().SlotCount(), 0);
      EXPECT_FALSE(soundPath.empty());
      EXPECT_EQ(GetFileAttributesW(soundPath.c_str()), INVALID_FILE_ATTRIBUTES)
          << "the closed archive's sound file is still there";
    }
  }
}

TEST_F(ImageLoaderTest, NoObjectOfAnotherProgramCanReachTheLoader) {
  // Another program holds mutexes under the names a loader at this address would have
  // had if it named its objects after its address and the second it was made: the
  // loader must neither share them nor fail over them.
  alignas(ImageLoader) unsigned char storage[sizeof(ImageLoader)];
  std::vector<std::wstring> names;
  const long now = LocalSecondsNow();
  for (long t = now - 1; t <= now + 2; ++t) {
    for (const wchar_t* format : {L"event%08p%ld", L"mutex%08p%ld"}) {
      wchar_t name[33] = {};
      swprintf(name, 33, format, static_cast<void*>(storage), t);
      names.push_back(name);
    }
  }
  NameSquatter squatter(names);
  struct Destroy {
    void operator()(ImageLoader* l) const { l->~ImageLoader(); }
  };
  std::unique_ptr<ImageLoader, Destroy> loader(new (storage) ImageLoader(receiver_->handle()));
  EXPECT_NO_THROW(loader->LoadArchive(path_, nullptr));
  ASSERT_TRUE(loader->RequestImage(pictureSlot(2)));
  EXPECT_TRUE(frameArrives()) << "the loader's worker does not serve";
}
