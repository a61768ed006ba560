// The sound player on the real waveOut device (the harness's audio server). That
// server takes about two seconds to settle into real time and has some 650 ms of
// latency; the timing checks allow for both, and for a machine busy with other work.
#include "playback/WaveAudioPlayer_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TempDir.h"
#include "WaveBytes.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/SoundArithmetic.h"
#include "Wait_win.h"
#include "toolkit/MessagePump_win.h"

namespace {

constexpr int32_t kRate = 13183;
// Far above anything expected: waiting only fails when a thing never happens.

// Stands in for the video player: counts the sound's end notices and what the player
// said about them when each arrived.
class Owner : public Window {
 public:
  Owner() {
    WindowCreateParams p;
    p.className = MAKEINTATOM(defaultClass());
    p.parent = HWND_MESSAGE;
    p.instance = classInstance();
    create(p);
  }
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SOUND_END) {
      ends.push_back(player != nullptr && player->isAtEnd());
      return 0;
    }
    return defaultHandling(message, wParam, lParam);
  }
  WaveAudioPlayer* player = nullptr;
  std::vector<bool> ends;  // isAtEnd at each WM_SOUND_END
};


class WaveAudioPlayerTest : public testing::Test {
 protected:
  void SetUp() override {
    owner_ = new Owner();
    player_ = new WaveAudioPlayer(owner_->handle());
    owner_->player = player_;
  }
  void TearDown() override {
    // Destroying the windows deletes both objects.
    if (player_ != nullptr) DestroyWindow(player_->handle());
    DestroyWindow(owner_->handle());
  }

  std::wstring write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = dir_ / name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.wstring();
  }
  std::wstring writeSound(int32_t samples, const std::string& name = "sound.wav") {
    WaveBytes w;
    w.samples = Sawtooth(static_cast<std::size_t>(samples));
    sound_ = w.samples;
    return write(name, w.build());
  }
  std::vector<uint8_t> queued(int header) const {
    const WAVEHDR& h = player_->header(header);
    const auto* data = reinterpret_cast<const uint8_t*>(h.lpData);
    return std::vector<uint8_t>(data, data + h.dwBufferLength);
  }
  std::vector<uint8_t> source(int32_t from, int32_t to) const {
    return std::vector<uint8_t>(sound_.begin() + from, sound_.begin() + to);
  }

  TempDir dir_;
  Owner* owner_ = nullptr;
  WaveAudioPlayer* player_ = nullptr;
  std::vector<uint8_t> sound_;
};

void ExpectNotOpen(const std::function<void()>& operation, const char* name) {
  try {
    operation();
    ADD_FAILURE() << name << " did not throw";
  } catch (const WaveAudioException& e) {
    EXPECT_EQ(e.message, LoadText(kTextDeviceNotOpen)) << name;
  }
}

}  // namespace

TEST_F(WaveAudioPlayerTest, OpensTheRecorderFormatAndNothingElse) {
  EXPECT_EQ(player_->getState(), SoundState::Closed);
  EXPECT_EQ(player_->getVolume(), kMaxVolume);

  player_->open(writeSound(kRate));
  EXPECT_EQ(player_->getState(), SoundState::Paused);
  EXPECT_EQ(player_->getScaledByteRate(), 13183000u);
  EXPECT_EQ(player_->chunkSize(), 2636u);
  EXPECT_EQ(player_->outstanding(), 0);

  struct Variant {
    const char* name;
    void (*change)(WaveBytes&);
  };
  const Variant variants[] = {
      {"8000 Hz", [](WaveBytes& w) { w.samplesPerSec = 8000; }},
      {"stereo", [](WaveBytes& w) { w.channels = 2; w.blockAlign = 2; }},
      {"16-bit", [](WaveBytes& w) { w.bitsPerSample = 16; w.blockAlign = 2; }},
      {"chunk before data",
       [](WaveBytes& w) { w.chunkBeforeData = {'f', 'a', 'c', 't', 4, 0, 0, 0, 1, 2, 3, 4}; }},
      {"18-byte format", [](WaveBytes& w) { w.fmtSizeField = 18; w.fmtExtra = {0, 0}; }},
      {"empty data", [](WaveBytes& w) { w.samples.clear(); }},
      {"truncated data", [](WaveBytes& w) { w.dataSizeField = 1u << 30; }},
  };
  int i = 0;
  for (const Variant& v : variants) {
    WaveBytes w;
    w.samples = Sawtooth(4000);
    v.change(w);
    const std::wstring path = write("bad" + std::to_string(i++) + ".wav", w.build());
    try {
      player_->open(path);
      ADD_FAILURE() << v.name << " opened";
    } catch (const Exception& e) {
      EXPECT_EQ(e.message, path) << v.name;
    }
    // The failed open closed the file that was open before.
    EXPECT_EQ(player_->getState(), SoundState::Closed) << v.name;
    EXPECT_EQ(player_->getScaledByteRate(), 0u) << v.name;
  }

  const std::wstring header = write("header-only.wav", std::vector<uint8_t>(20, 'R'));
  EXPECT_THROW(player_->open(header), Exception);
  const std::wstring missing = (dir_.path() / "missing.wav").wstring();
  try {
    player_->open(missing);
    ADD_FAILURE() << "a missing file opened";
  } catch (const WaveAudioException& e) {
    EXPECT_EQ(e.message, missing);
  }
  EXPECT_EQ(player_->getState(), SoundState::Closed);

  // The player is usable again afterwards.
  player_->open(writeSound(kRate, "again.wav"));
  EXPECT_EQ(player_->getState(), SoundState::Paused);
}

TEST_F(WaveAudioPlayerTest, PlayQueuesTwoChunksStartingAtTheRequestedSample) {
  player_->open(writeSound(5 * kRate));
  player_->play(0);
  EXPECT_EQ(player_->getState(), SoundState::Playing);
  EXPECT_EQ(player_->outstanding(), 2);
  EXPECT_EQ(queued(0), source(0, 2636));
  EXPECT_EQ(queued(1), source(2636, 5272));

  player_->play(100);  // byte 1318; the first chunk runs to the boundary at 2636
  EXPECT_EQ(player_->basePosition(), 99);
  EXPECT_EQ(player_->outstanding(), 2);
  const WAVEHDR& first = player_->header(0);
  EXPECT_EQ(first.dwBufferLength, 1318u);
  EXPECT_EQ(queued(0), source(1318, 2636));
  EXPECT_EQ(queued(1), source(2636, 5272));
  EXPECT_EQ(player_->chunkStart(), 2636);
  EXPECT_EQ(player_->nextStart(), 5272);
}

TEST_F(WaveAudioPlayerTest, VolumeIsAppliedToEachChunkWhenItIsQueued) {
  player_->open(writeSound(5 * kRate));
  player_->setVolume(20);
  EXPECT_EQ(player_->getVolume(), 16);
  player_->setVolume(-3);
  EXPECT_EQ(player_->getVolume(), 0);

  player_->play(0);
  EXPECT_EQ(queued(0), std::vector<uint8_t>(2636, 128));
  EXPECT_EQ(queued(1), std::vector<uint8_t>(2636, 128));

  // Raised while playing: heard from the next chunk queued on.
  player_->setVolume(16);
  EXPECT_EQ(queued(0), std::vector<uint8_t>(2636, 128));
  ASSERT_TRUE(WaitFor([&] { return player_->nextStart() > 5272; }, kPatienceMs));
  EXPECT_EQ(queued(0), source(5272, 7908));
  EXPECT_EQ(queued(1), std::vector<uint8_t>(2636, 128));
}

TEST_F(WaveAudioPlayerTest, TheNaturalEndIsReportedExactlyOnce) {
  player_->open(writeSound(kRate / 2));  // half a second: three chunks
  player_->play(0);
  ASSERT_TRUE(WaitFor([&] { return !owner_->ends.empty(); }, kPatienceMs));
  PumpFor(1000);
  EXPECT_EQ(owner_->ends, std::vector<bool>{true});
  EXPECT_TRUE(player_->isAtEnd());
  EXPECT_EQ(player_->getState(), SoundState::Paused);
  EXPECT_EQ(player_->outstanding(), 0);

  // resume at the end reports the end again rather than restarting the device.
  player_->resume();
  EXPECT_EQ(player_->getState(), SoundState::Paused);
  PumpFor(100);
  EXPECT_EQ(owner_->ends, (std::vector<bool>{true, true}));
}

TEST_F(WaveAudioPlayerTest, PlayingPastTheEndEndsAtOnce) {
  player_->open(writeSound(kRate));
  player_->play(0);
  player_->play(5000);
  EXPECT_EQ(player_->getState(), SoundState::Paused);
  EXPECT_TRUE(player_->isAtEnd());
  PumpFor(1500);
  // Only the immediate notice: the chunks flushed by the second play add none.
  EXPECT_EQ(owner_->ends, std::vector<bool>{true});
}

TEST_F(WaveAudioPlayerTest, RestartingWhilePlayingPlaysOnToTheEndOnce) {
  // A seek while playing: the chunks the first play had queued are still reported
  // after the second play began. They must not be taken for its chunks, or chunks get
  // overwritten while queued, sound is skipped and the end is announced early or twice.
  const int32_t seconds = 3;
  player_->open(writeSound(seconds * kRate));
  player_->play(0);
  PumpFor(450);
  player_->play(1000);
  bool sane = true;
  ASSERT_TRUE(WaitFor(
      [&] {
        sane = sane && player_->outstanding() >= 0 && player_->outstanding() <= 2;
        return !owner_->ends.empty();
      },
      kPatienceMs));
  PumpFor(1000);
  EXPECT_TRUE(sane);
  EXPECT_EQ(owner_->ends, std::vector<bool>{true});
  // Everything from 1000 ms to the end went through the device.
  EXPECT_GE(player_->getPosition(), seconds * 1000 - 10);
}

TEST_F(WaveAudioPlayerTest, ChunksTheDeviceRefusesAreSkippedAndTheEndStillComes) {
  // A chunk the device refuses is not counted as queued. If nothing else were queued
  // after it, no notice would ever come back and the sound would neither go on nor end.
  player_->open(writeSound(2 * kRate));
  auto& second = const_cast<WAVEHDR&>(player_->header(1));
  second.dwFlags &= ~WHDR_PREPARED;  // every write of this header now fails
  player_->play(0);
  EXPECT_EQ(player_->outstanding(), 1);
  ASSERT_TRUE(WaitFor([&] { return !owner_->ends.empty(); }, kPatienceMs));
  PumpFor(500);
  EXPECT_EQ(owner_->ends, std::vector<bool>{true});
  EXPECT_EQ(player_->getState(), SoundState::Paused);
  second.dwFlags |= WHDR_PREPARED;  // so that closing can release it
}

TEST_F(WaveAudioPlayerTest, PositionStartsAtThePlayPositionAndFollowsRealTime) {
  player_->open(writeSound(20 * kRate));
  player_->play(5000);
  EXPECT_EQ(player_->basePosition(), 5000);
  const int32_t startPosition = player_->getPosition();
  EXPECT_GE(startPosition, 5000);
  EXPECT_LT(startPosition, 5300);

  // Let the audio server settle into real time.
  int32_t last = startPosition;
  bool monotonic = true;
  const DWORD settle = GetTickCount();
  WaitFor(
      [&] {
        const int32_t p = player_->getPosition();
        monotonic = monotonic && p >= last;
        last = p;
        return GetTickCount() - settle >= 2500;
      },
      3000);
  EXPECT_TRUE(monotonic);

  const DWORD t1 = GetTickCount();
  const int32_t p1 = player_->getPosition();
  PumpFor(2000);
  const DWORD t2 = GetTickCount();
  const int32_t p2 = player_->getPosition();
  // Loose bounds: a busy machine may hold the audio server back for a moment, while a
  // position read in the wrong unit is off many times over.
  const double rate = static_cast<double>(p2 - p1) / static_cast<double>(t2 - t1);
  EXPECT_NEAR(rate, 1.0, 0.5) << "position " << p1 << " -> " << p2 << " in " << (t2 - t1) << " ms";
  EXPECT_EQ(player_->getState(), SoundState::Playing);
}

TEST_F(WaveAudioPlayerTest, PauseAndStopFlushAndThenReportAFlushOnce) {
  player_->open(writeSound(5 * kRate));
  player_->play(0);
  PumpFor(300);
  player_->pause();
  EXPECT_EQ(player_->getState(), SoundState::Paused);
  EXPECT_EQ(player_->nextStart(), 0);
  ASSERT_TRUE(WaitFor([&] { return !owner_->ends.empty(); }, kPatienceMs));
  PumpFor(300);
  EXPECT_EQ(owner_->ends, std::vector<bool>{false});

  owner_->ends.clear();
  player_->play(1000);
  PumpFor(300);
  player_->stop();
  EXPECT_EQ(player_->getState(), SoundState::Stopped);
  ASSERT_TRUE(WaitFor([&] { return !owner_->ends.empty(); }, kPatienceMs));
  PumpFor(300);
  EXPECT_EQ(owner_->ends, std::vector<bool>{false});
  EXPECT_EQ(player_->getState(), SoundState::Paused);
  EXPECT_FALSE(player_->isAtEnd());
}

// With nothing to play the device is let go (its threads would keep running), and the
// next play opens it again at the position asked for: after opening, after a pause and
// after the end alike. Meanwhile the player keeps its state and its clock.
TEST_F(WaveAudioPlayerTest, AnIdlePlayerLetsTheDeviceGoAndPlaysOnFromWhereItIsAsked) {
  player_->open(writeSound(3 * kRate));
  EXPECT_TRUE(player_->holdsDevice());
  struct Step {
    const char* after;
    std::function<void()> idle;  // leaves the player with nothing to play
    SoundState state;
  };
  const Step steps[] = {
      {"opening", [] {}, SoundState::Paused},
      {"a pause", [&] { player_->play(500); PumpFor(200); player_->pause(); }, SoundState::Paused},
      {"a stop", [&] { player_->play(500); PumpFor(200); player_->stop(); }, SoundState::Paused},
      {"the end", [&] { player_->play(2800); }, SoundState::Paused},
  };
  for (const Step& step : steps) {
    step.idle();
    ASSERT_TRUE(WaitFor([&] { return !player_->holdsDevice(); }, kPatienceMs)) << step.after;
    EXPECT_EQ(player_->getState(), step.state) << step.after;
    const int32_t standing = player_->getPosition();
    PumpFor(100);
    EXPECT_EQ(player_->getPosition(), standing) << step.after;

    player_->play(1000);
    EXPECT_TRUE(player_->holdsDevice()) << step.after;
    EXPECT_EQ(player_->getState(), SoundState::Playing) << step.after;
    EXPECT_EQ(player_->basePosition(), 1000) << step.after;
    EXPECT_EQ(player_->outstanding(), 2) << step.after;
    const int32_t start = player_->bytesFromMs(1000);
    EXPECT_EQ(queued(0), source(start, 2636 * ((start + 2636) / 2636))) << step.after;
    EXPECT_GE(player_->getPosition(), 1000) << step.after;
    player_->pause();
  }
  // Paused from the last play with the device let go: closing is as from any state.
  ASSERT_TRUE(WaitFor([&] { return !player_->holdsDevice(); }, kPatienceMs));
  player_->close();
  EXPECT_EQ(player_->getState(), SoundState::Closed);
  EXPECT_EQ(player_->getPosition(), 0);
}

TEST_F(WaveAudioPlayerTest, AClosedPlayerRefusesOperationsButPlayKeepsItsClock) {
  const DWORD before = timeGetTime();
  ExpectNotOpen([&] { player_->play(1234); }, "play");
  const DWORD after = timeGetTime();
  EXPECT_EQ(player_->basePosition(), 1234);
  EXPECT_GE(player_->playStartTime(), before);
  EXPECT_LE(player_->playStartTime(), after);
  ExpectNotOpen([&] { player_->pause(); }, "pause");
  ExpectNotOpen([&] { player_->stop(); }, "stop");
  ExpectNotOpen([&] { player_->resume(); }, "resume");
  EXPECT_EQ(player_->getPosition(), 0);

  // The same after closing an open player, whose clock values are then ignored.
  player_->open(writeSound(kRate));
  player_->play(200);
  player_->close();
  EXPECT_EQ(player_->getState(), SoundState::Closed);
  EXPECT_EQ(player_->getScaledByteRate(), 0u);
  ExpectNotOpen([&] { player_->play(-50); }, "play after close");
  EXPECT_EQ(player_->basePosition(), -50);
  PumpFor(300);
  EXPECT_TRUE(owner_->ends.empty());
}

TEST_F(WaveAudioPlayerTest, DestroyingTheWindowDeletesAnOpenPlayer) {
  player_->open(writeSound(3 * kRate));
  player_->play(0);
  const HWND hwnd = player_->handle();
  owner_->player = player_ = nullptr;
  DestroyWindow(hwnd);
  EXPECT_EQ(Window::lookup(hwnd), nullptr);
  PumpFor(300);  // late device notices find no window and no object
  EXPECT_TRUE(owner_->ends.empty());
}
