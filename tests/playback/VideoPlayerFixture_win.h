#pragma once
// The video player in a real window with the real loader thread, beside a stand-in for
// the main window, and by default the scripted sound: the tests set its clock and say
// when it ends. VideoPlayerDeviceTest gives the player the real sound device instead.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "PlaybackTestSupport.h"
#include "RecorderSimulator.h"
#include "ScriptedSound_win.h"
#include "StandInOwner_win.h"
#include "TempDir.h"
#include "WaveBytes.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/MessagePump_win.h"

namespace {

// Far above anything expected: waiting only fails when a thing never happens.
constexpr DWORD kPatienceMs = 30000;

// The main window's stand-in, keeping besides its log what the player and its sound
// said at each refresh and each request for a frame.
class TestOwner : public StandInOwner {
 public:
  TestOwner(int width, int height) : StandInOwner({0, 0, width, height}) {}

  void refreshPlayback() override {
    StandInOwner::refreshPlayback();
    if (player == nullptr) return;
    Refresh r;
    r.state = player->state();
    r.soundAtEnd = player->sound().isAtEnd();
    r.soundPosition = player->sound().getPosition();
    refreshLog.push_back(r);
  }
  void frameRequested(int slot, bool accepted) override {
    Request r;
    r.slot = slot;
    r.accepted = accepted;
    r.time = timeGetTime();
    if (player != nullptr) {
      r.soundState = player->sound().getState();
      r.soundPosition = player->sound().getPosition();
    }
    requests.push_back(r);
  }
  void framePainted(int slot) override { painted.push_back(slot); }

  struct Request {
    int slot = 0;
    bool accepted = false;
    DWORD time = 0;
    SoundState soundState = SoundState::Closed;
    int32_t soundPosition = 0;
  };
  // What the player and its sound said at each refresh of the panels.
  struct Refresh {
    PlayerState state = PlayerState::NoRecording;
    bool soundAtEnd = false;
    int32_t soundPosition = 0;
  };
  std::vector<Refresh> refreshLog;
  std::vector<Request> requests;
  std::vector<int> painted;
};

class VideoPlayerTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir();
    std::filesystem::create_directories(*dir_ / "sound");
    std::filesystem::create_directories(*dir_ / "silent");
    recsim::RecordingDescription d;
    d.durationMs = 3000;
    withSound_ = (*dir_ / "sound" / "0001_001.DAT").wstring();
    recsim::WriteRecording(d, withSound_);
    d.sound = false;
    d.seed = 2;
    const recsim::RecordingManifest m = recsim::WriteRecording(d, (*dir_ / "silent" / "0001_001.DAT").wstring());
    withoutSound_ = (*dir_ / "silent" / "0001_001.DAT").wstring();
    jpeg_ = *m.pictures[0].jpeg;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override { makeOwner(640, 480); }
  void TearDown() override {
    if (owner_ != nullptr) DestroyWindow(owner_->handle());  // the player goes with it
  }
  void makeOwner(int w, int h) {
    if (owner_ != nullptr) DestroyWindow(owner_->handle());
    owner_ = new TestOwner(w, h);
    sound_ = nullptr;
    player_ = deviceSound_ ? new VideoPlayer(*owner_) : new VideoPlayer(*owner_, ScriptedSound::MakerInto(sound_));
    owner_->player = player_;
  }
  // Opens `path` as a one-file list and waits for its first frame.
  void open(const std::wstring& path) {
    player_->setSingleFile(path);
    openAt(0);
  }
  void openAt(int index) {
    ASSERT_TRUE(player_->openRecordingAt(index));
    ASSERT_EQ(player_->state(), PlayerState::Paused);
    ASSERT_GT(player_->frameCount(), 20);
    ASSERT_TRUE(PumpUntil([&] { return player_->picture() != nullptr; }, kPatienceMs));
  }
  bool waitUntilNotPlaying() {
    return PumpUntil([&] { return player_->state() != PlayerState::Playing; }, kPatienceMs);
  }
  // The owner was marked busy once and freed again.
  void expectOwnerFreed() { EXPECT_EQ(owner_->only({"busy", "free"}), (StandInOwner::Log{"busy", "free"})); }
  // Replaces the loaded recording's sound with `seconds` of sound of its own (a real file,
  // for the device).
  void useSoundOf(double seconds) {
    WaveBytes w;
    w.samples = Sawtooth(static_cast<std::size_t>(seconds * archive::kSoundSampleRate));
    const std::vector<uint8_t> bytes = w.build();
    const std::filesystem::path path = *dir_ / ("sound-" + std::to_string(seconds) + ".wav");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    player_->sound().open(path.wstring());
  }
  // Puts the scripted sound's clock at `ms` and returns the request of the first tick
  // that reads it.
  TestOwner::Request requestAtClock(int32_t ms) {
    const size_t before = owner_->requests.size();
    sound_->advanceTo(ms);
    EXPECT_TRUE(PumpUntil([&] { return owner_->requests.size() > before; }, kPatienceMs)) << ms << " ms";
    return owner_->requests.size() > before ? owner_->requests[before] : TestOwner::Request{};
  }
  // The scripted sound's log from entry `from` on.
  ScriptedSound::Log soundCallsFrom(size_t from) const {
    return ScriptedSound::Log(sound_->log.begin() + static_cast<std::ptrdiff_t>(std::min(from, sound_->log.size())),
                              sound_->log.end());
  }
  void showPicture(std::unique_ptr<Image> picture) {
    PostMessageW(player_->handle(), WM_FRAME_READY, 0, reinterpret_cast<LPARAM>(picture.release()));
    PumpFor(50);
    InvalidateRect(player_->handle(), nullptr, TRUE);
    UpdateWindow(player_->handle());
    GdiFlush();
    PumpFor(50);
  }

  inline static TempDir* dir_ = nullptr;
  inline static std::wstring withSound_;
  inline static std::wstring withoutSound_;
  inline static std::vector<uint8_t> jpeg_;
  // The real sound device's player instead of the scripted sound.
  bool deviceSound_ = false;
  TestOwner* owner_ = nullptr;
  VideoPlayer* player_ = nullptr;
  ScriptedSound* sound_ = nullptr;  // the player's, while it lives (scripted only)
};

// The same on the real sound device.
class VideoPlayerDeviceTest : public VideoPlayerTest {
 protected:
  VideoPlayerDeviceTest() { deviceSound_ = true; }
};

}  // namespace
