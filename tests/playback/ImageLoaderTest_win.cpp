// The background loader with its real worker thread, on a simulator recording.
#include "recording/ImageLoader_win.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <memory>
#include <thread>
#include <vector>

#include "MessagePump_win.h"
#include "RecorderSimulator.h"
#include "TempDir.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
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
      return 0;
    }
    if (message == WM_PLAYER_TICK) {
      tickTimes.push_back(timeGetTime());
      return 0;
    }
    return defaultHandling(message, wParam, lParam);
  }
  struct Frame {
    int slot;
    bool picture;
  };
  std::vector<Frame> frames;
  std::vector<DWORD> tickTimes;
};

// Holds the loader's lock from another thread for a while, as a long read would.
class LockHolder {
 public:
  LockHolder(const std::wstring& mutexName, DWORD holdMs) {
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([=] {
      HANDLE mutex = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, mutexName.c_str());
      WaitForSingleObject(mutex, INFINITE);
      SetEvent(taken);
      Sleep(holdMs);
      ReleaseMutex(mutex);
      CloseHandle(mutex);
    });
    WaitForSingleObject(taken, INFINITE);
    CloseHandle(taken);
  }
  ~LockHolder() { thread_.join(); }

 private:
  std::thread thread_;
};

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
    HANDLE mutex = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, loader_->mutexName().c_str());
    const DWORD r = WaitForSingleObject(mutex, 0);
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) ReleaseMutex(mutex);
    CloseHandle(mutex);
    return r == WAIT_TIMEOUT;
  }

  static TempDir* dir_;
  static std::wstring path_;
  Receiver* receiver_ = nullptr;
  std::unique_ptr<ImageLoader> loader_;
};

TempDir* ImageLoaderTest::dir_ = nullptr;
std::wstring ImageLoaderTest::path_;

}  // namespace

TEST_F(ImageLoaderTest, ServesARequestedSlotWithItsPicture) {
  EXPECT_EQ(loader_->eventName().rfind(L"event", 0), 0u);
  EXPECT_EQ(loader_->mutexName().rfind(L"mutex", 0), 0u);
  EXPECT_LE(loader_->eventName().size(), 32u);
  const int slot = pictureSlot(10);
  ASSERT_TRUE(loader_->RequestImage(slot));
  ASSERT_TRUE(PumpUntil([&] { return !receiver_->frames.empty(); }, 2000));
  EXPECT_EQ(receiver_->frames[0].slot, slot);
  EXPECT_TRUE(receiver_->frames[0].picture);
}

TEST_F(ImageLoaderTest, OnlyTheLastOfTwoQuickRequestsIsServed) {
  // The worker wakes at once on a request, so two requests meet it unserved only when
  // it is held still in between (it is idle in its wait, holding nothing).
  for (int round = 0; round < 3; ++round) {
    receiver_->frames.clear();
    const int first = pictureSlot(2 * round + 1);
    const int second = pictureSlot(first + 20);
    ASSERT_NE(SuspendThread(loader_->workerThread()), DWORD(-1));
    const bool a = loader_->RequestImage(first);
    const bool b = loader_->RequestImage(second);
    ResumeThread(loader_->workerThread());
    EXPECT_TRUE(a);
    EXPECT_TRUE(b);
    ASSERT_TRUE(PumpUntil([&] { return !receiver_->frames.empty(); }, 2000));
    PumpFor(40);
    ASSERT_EQ(receiver_->frames.size(), 1u) << "round " << round;
    EXPECT_EQ(receiver_->frames[0].slot, second) << "round " << round;
  }
}

TEST_F(ImageLoaderTest, CancelWhileReadingDiscardsThePicture) {
  bool caught = false;
  for (int attempt = 0; attempt < 50 && !caught; ++attempt) {
    receiver_->frames.clear();
    const uint32_t discardedBefore = loader_->discardedCount();
    const int slot = pictureSlot(attempt % 30);
    ASSERT_TRUE(loader_->RequestImage(slot));
    const DWORD start = timeGetTime();
    while (!workerReading() && timeGetTime() - start < 50) {
    }
    loader_->Cancel();
    const bool flagged = loader_->discardPending();
    PumpFor(80);
    if (!flagged) continue;  // the read ended before Cancel: try again
    if (!receiver_->frames.empty()) {
      // Cancel came while the finished picture was being posted. The late flag must
      // not cost the next picture.
      receiver_->frames.clear();
      ASSERT_TRUE(loader_->RequestImage(slot));
      ASSERT_TRUE(PumpUntil([&] { return !receiver_->frames.empty(); }, 2000));
      EXPECT_TRUE(receiver_->frames[0].picture);
      continue;
    }
    caught = true;
    EXPECT_FALSE(loader_->discardPending()) << "the flag is cleared once used";
    EXPECT_EQ(loader_->discardedCount(), discardedBefore + 1);
  }
  EXPECT_TRUE(caught) << "never managed to cancel during a read";
}

TEST_F(ImageLoaderTest, CancelWhileIdleDiscardsNothingLater) {
  loader_->Cancel();
  EXPECT_FALSE(loader_->discardPending());
  const int slot = pictureSlot(5);
  ASSERT_TRUE(loader_->RequestImage(slot));
  ASSERT_TRUE(PumpUntil([&] { return !receiver_->frames.empty(); }, 2000));
  EXPECT_EQ(receiver_->frames[0].slot, slot);
  EXPECT_EQ(loader_->discardedCount(), 0u);
}

TEST_F(ImageLoaderTest, TheTickIsOneShotAndCancelDisarmsIt) {
  const DWORD armed = timeGetTime();
  loader_->ArmTimer(40);
  ASSERT_TRUE(PumpUntil([&] { return !receiver_->tickTimes.empty(); }, 1000));
  EXPECT_GE(receiver_->tickTimes[0] - armed, 40u);
  EXPECT_LT(receiver_->tickTimes[0] - armed, 200u);
  PumpFor(150);
  EXPECT_EQ(receiver_->tickTimes.size(), 1u) << "one tick per arming";

  receiver_->tickTimes.clear();
  loader_->ArmTimer(50);
  EXPECT_TRUE(loader_->timerArmed());
  loader_->Cancel();
  PumpFor(200);
  EXPECT_TRUE(receiver_->tickTimes.empty()) << "a cancelled tick arrived";
}

TEST_F(ImageLoaderTest, EmptyAndOutOfRangeSlotsPostNoPicture) {
  const int beyond = loader_->archive().SlotCount() + 5;
  ASSERT_TRUE(loader_->RequestImage(beyond));
  ASSERT_TRUE(PumpUntil([&] { return !receiver_->frames.empty(); }, 2000));
  EXPECT_EQ(receiver_->frames[0].slot, beyond);
  EXPECT_FALSE(receiver_->frames[0].picture);

  receiver_->frames.clear();
  ASSERT_TRUE(loader_->RequestImage(-1));
  ASSERT_TRUE(PumpUntil([&] { return !receiver_->frames.empty(); }, 2000));
  EXPECT_FALSE(receiver_->frames[0].picture);
}

TEST_F(ImageLoaderTest, RequestsAreRefusedWhileTheLockIsHeld) {
  LockHolder hold(loader_->mutexName(), 100);
  EXPECT_FALSE(loader_->RequestImage(pictureSlot(3)));
  PumpFor(150);
  EXPECT_TRUE(receiver_->frames.empty()) << "a refused request was served";
}

TEST_F(ImageLoaderTest, LoadWaitsForAReadAndGivesUpAfterThreeSeconds) {
  {
    LockHolder hold(loader_->mutexName(), 300);
    const DWORD start = timeGetTime();
    loader_->LoadArchive(path_, nullptr);
    EXPECT_GE(timeGetTime() - start, 250u);
    EXPECT_TRUE(loader_->archive().IsOpen());
  }
  {
    LockHolder hold(loader_->mutexName(), 3400);
    try {
      loader_->OpenPlainFile(path_);
      ADD_FAILURE() << "opened without the lock";
    } catch (const ImageException& e) {
      EXPECT_EQ(e.message, LoadText(kTextImageArchiveUnreadable));
    }
    // The archive was not touched.
    EXPECT_GT(loader_->archive().SlotCount(), 40);
  }
}

TEST_F(ImageLoaderTest, FailedLoadsReleaseTheLock) {
  const std::wstring missing = (*dir_ / "9999_999.DAT").wstring();
  EXPECT_THROW(loader_->LoadArchive(missing, nullptr), VideoArchiveException);
  EXPECT_THROW(loader_->OpenPlainFile(missing), Exception);
  // Were the lock still held by this thread, the worker could never read again.
  loader_->LoadArchive(path_, nullptr);
  ASSERT_TRUE(loader_->RequestImage(pictureSlot(4)));
  EXPECT_TRUE(PumpUntil([&] { return !receiver_->frames.empty(); }, 2000));
}

TEST_F(ImageLoaderTest, PicturesForAGoneOwnerAreFreed) {
  // Posted but never dispatched: the owner collects them while it is destroyed.
  ASSERT_TRUE(loader_->RequestImage(pictureSlot(6)));
  MSG msg;
  const DWORD start = GetTickCount();
  while (!PeekMessageW(&msg, receiver_->handle(), WM_FRAME_READY, WM_FRAME_READY, PM_NOREMOVE) &&
         GetTickCount() - start < 2000) {
    Sleep(1);
  }
  EXPECT_EQ(ImageLoader::DiscardPostedFrames(receiver_->handle()), 1);

  // The owner window is gone before the picture is ready: the post fails and the
  // worker frees the picture itself.
  DestroyWindow(receiver_->handle());
  ASSERT_TRUE(loader_->RequestImage(pictureSlot(8)));
  const DWORD t0 = GetTickCount();
  while (loader_->discardedCount() == 0 && GetTickCount() - t0 < 2000) Sleep(1);
  EXPECT_EQ(loader_->discardedCount(), 1u);
}

TEST_F(ImageLoaderTest, DestroyingWhileReadingWaitsForTheWorker) {
  // The worker reads the archive the loader embeds; the destructor must not return
  // (and free the archive) while a read runs. Under a checker this is a use after
  // free; here it must at least end cleanly every time.
  for (int i = 0; i < 8; ++i) {
    auto loader = std::make_unique<ImageLoader>(receiver_->handle());
    loader->LoadArchive(path_, nullptr);
    ASSERT_TRUE(loader->RequestImage(pictureSlot(i)));
    Sleep(static_cast<DWORD>(i % 3));
    loader.reset();
  }
  ImageLoader::DiscardPostedFrames(receiver_->handle());
  SUCCEED();
}
