// The video player in a real window, with the real loader thread and the scripted sound
// in place of the device: the tests set the sound's clock and say when it ends, so what
// the player asks for at a given clock is exact and nothing waits for an audio server.
// Recordings without playable sound run on the system clock, as they do in use. Other
// programs may run beside these tests: waits have deadlines far above the time anything
// takes, and nothing checks how fast playback runs.
#include "playback/VideoPlayer_win.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "ScreenCapture_win.h"
#include "VideoPlayerFixture_win.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/ScopedWin_win.h"

namespace {

std::unique_ptr<Image> Pattern(int w, int h) {
  auto image = std::make_unique<Image>(w, h);
  uint8_t* p = image->Pixels();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x, p += 4) {
      p[0] = static_cast<uint8_t>(x * 7 + y);
      p[1] = static_cast<uint8_t>(y * 3);
      p[2] = static_cast<uint8_t>((x ^ y) & 0xFF);
    }
  }
  return image;
}

std::unique_ptr<Image> Solid(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
  auto image = std::make_unique<Image>(w, h);
  uint8_t* p = image->Pixels();
  for (int i = 0; i < w * h; ++i, p += 4) {
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
  return image;
}

}  // namespace

TEST_F(VideoPlayerTest, LoadingLeavesThePlayerPausedOnTheFirstFrame) {
  EXPECT_EQ(player_->state(), PlayerState::NoRecording);
  EXPECT_EQ(player_->tickInterval(), 100u);
  open(withSound_);
  EXPECT_EQ(player_->tickInterval(), 35u);
  EXPECT_DOUBLE_EQ(player_->framePeriod(), 1000.0 / 28.0);
  EXPECT_EQ(player_->folder(), (*dir_ / "sound").wstring());
  EXPECT_EQ(player_->currentFrame(), 0);
  EXPECT_EQ(player_->sound().getState(), SoundState::Paused);
  // The sound of the recording before is closed, this one's opened and left paused.
  EXPECT_EQ(sound_->log, (ScriptedSound::Log{"close", "open"}));
  EXPECT_EQ(sound_->opened, std::vector<std::wstring>{player_->loader()->archive().SoundPath()});
  // Busy while loading, then free again.
  expectOwnerFreed();
  // Not playing: the tick chain ended with the first frame.
  const size_t requests = owner_->requests.size();
  PumpFor(200);
  EXPECT_EQ(owner_->requests.size(), requests);
}

TEST_F(VideoPlayerTest, WithoutPlayableSoundTheSystemClockDrivesTheFrames) {
  // Two recordings in the list, so the end also asks for the next one.
  player_->list().setEntries({{withoutSound_, 1}, {withSound_, 2}});
  openAt(0);
  EXPECT_EQ(player_->sound().getState(), SoundState::Closed);
  owner_->requests.clear();
  const DWORD start = timeGetTime();
  player_->playFrom(0);
  ASSERT_TRUE(waitUntilNotPlaying());
  const DWORD elapsed = timeGetTime() - start;
  const double expected = (player_->frameCount() - 1) * (1000.0 / 28.0);
  EXPECT_GE(elapsed + 2.0, expected) << "the clock ran fast";
  EXPECT_EQ(player_->state(), PlayerState::Paused);
  EXPECT_EQ(player_->currentFrame(), player_->frameCount() - 1);
  EXPECT_EQ(owner_->only({"next recording", "previous recording"}), StandInOwner::Log{"next recording"});
  // Each request is for the frame after the one due by the clock the player started,
  // read a moment before the request was noted: never ahead of it, and rarely behind.
  const DWORD clockStart = player_->sound().playStartTime();
  int close = 0;
  for (size_t i = 0; i < owner_->requests.size(); ++i) {
    const auto& r = owner_->requests[i];
    const int due = std::min(static_cast<int>((r.time - clockStart) / player::kFramePeriodMs) + 1,
                             player_->frameCount() - 1);
    EXPECT_LE(r.slot, due) << "request " << i;
    if (r.slot >= due - 1) ++close;
  }
  EXPECT_GE(close * 4, static_cast<int>(owner_->requests.size()) * 3);
}

TEST_F(VideoPlayerTest, ASoundThatCannotPlayFallsBackToTheClock) {
  const struct {
    const char* how;
    bool refusedAtOpen;
  } cases[] = {{"closed after the load", false}, {"refused when the load opened it", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    makeOwner(640, 480);
    if (c.refusedAtOpen) sound_->failNextOpen();
    open(withSound_);
    if (!c.refusedAtOpen) player_->sound().close();  // as if the device or the file had failed
    EXPECT_EQ(player_->sound().getState(), SoundState::Closed);
    const DWORD start = timeGetTime();
    player_->playFrom(28);
    EXPECT_EQ(sound_->log.back(), "play 1000") << "the sound was not asked to play";
    const double expected = (player_->frameCount() - 1 - 28) * (1000.0 / 28.0);
    // The first case waits for the system clock; the second puts it at the last frame.
    if (c.refusedAtOpen) sound_->advanceTo(static_cast<int32_t>(1000 + expected) + 1);
    ASSERT_TRUE(waitUntilNotPlaying());
    const double elapsed = timeGetTime() - start;
    if (c.refusedAtOpen) {
      EXPECT_LT(elapsed, expected) << "the clock was not put forward";
    } else {
      EXPECT_GE(elapsed + 2.0, expected) << "the clock ran fast";
    }
    EXPECT_EQ(player_->currentFrame(), player_->frameCount() - 1);
  }
}

TEST_F(VideoPlayerTest, ASoundFileThatCannotBeMadeIsToldOnceAndThePicturesPlayOnTheClock) {
  // The temporary folder the load writes the sound into is not there.
  struct TempFolderGone {
    std::wstring saved[2];
    const wchar_t* names[2] = {L"TMP", L"TEMP"};
    TempFolderGone() {
      for (int i = 0; i < 2; ++i) {
        wchar_t value[MAX_PATH] = {};
        GetEnvironmentVariableW(names[i], value, MAX_PATH);
        saved[i] = value;
        SetEnvironmentVariableW(names[i], (*dir_ / "no-such-temp").wstring().c_str());
      }
    }
    ~TempFolderGone() {
      for (int i = 0; i < 2; ++i) SetEnvironmentVariableW(names[i], saved[i].empty() ? nullptr : saved[i].c_str());
    }
  };
  {
    const TempFolderGone gone;
    open(withSound_);
  }
  EXPECT_EQ(owner_->warnings, std::vector<std::wstring>{LoadText(kTextSoundRestoreFailed)});
  EXPECT_EQ(sound_->opened, std::vector<std::wstring>{L""}) << "no sound file to open";
  EXPECT_EQ(player_->sound().getState(), SoundState::Closed);
  player_->playFrom(0);
  // On the system clock, put at the last frame.
  sound_->advanceTo(static_cast<int32_t>((player_->frameCount() - 1) * player::kFramePeriodMs) + 1);
  ASSERT_TRUE(waitUntilNotPlaying());
  EXPECT_EQ(player_->currentFrame(), player_->frameCount() - 1);
  EXPECT_EQ(owner_->warnings.size(), 1u);
}

TEST_F(VideoPlayerTest, EachTickAsksForTheFrameAfterTheOneTheClockIsAt) {
  open(withSound_);
  ASSERT_EQ(player_->frameCount(), 85);
  player_->playFrom(0);
  ASSERT_EQ(owner_->requests.back().slot, 1) << "playing asks for the frame after the first at once";
  // Each step puts the clock somewhere and takes the request of the first tick after.
  const struct {
    int32_t clockMs;
    int slot;
  } steps[] = {
      {0, 1},    {40, 2},   {80, 3},  {110, 4}, {150, 5}, {190, 6},
      // Frame 7 due without a tick having asked for it: asked for late, then on in step.
      {260, 7},  {265, 8},
      // A jump of several frames asks for the frame after the one now due.
      {520, 15}, {540, 16},
      // The last frame, asked for by the tick before it is due.
      {2975, 84},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(std::to_string(s.clockMs) + " ms");
    const TestOwner::Request r = requestAtClock(s.clockMs);
    EXPECT_EQ(r.slot, s.slot);
    EXPECT_EQ(r.soundPosition, s.clockMs);
    EXPECT_EQ(r.soundState, SoundState::Playing);
  }
}

TEST_F(VideoPlayerTest, TheLastFrameWaitsForTheSoundsOwnEndWhichHandsOnToTheNextRecording) {
  const struct {
    const char* list;
    int count;
    StandInOwner::Log commands;
  } cases[] = {{"one recording", 1, {}}, {"two recordings", 2, {"next recording"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    makeOwner(640, 480);
    if (c.count == 1) {
      player_->list().setEntries({{withSound_, 1}});
    } else {
      player_->list().setEntries({{withSound_, 1}, {withoutSound_, 2}});
    }
    openAt(0);
    const int last = player_->frameCount() - 1;
    const int32_t pastPictures = static_cast<int32_t>(last * player::kFramePeriodMs) + 1000;
    player_->playFrom(0);
    sound_->advanceTo(pastPictures);
    EXPECT_TRUE(PumpUntil([&] { return player_->currentFrame() == last; }, kPatienceMs));
    PumpFor(100);
    EXPECT_EQ(player_->state(), PlayerState::Playing) << "ended before the sound did";
    // The return of flushed chunks is no end.
    sound_->flushed();
    PumpFor(100);
    EXPECT_EQ(player_->state(), PlayerState::Playing) << "a flush ended the recording";
    EXPECT_EQ(owner_->count("next recording"), 0);

    owner_->refreshLog.clear();
    sound_->end();
    ASSERT_TRUE(waitUntilNotPlaying());
    EXPECT_EQ(player_->state(), PlayerState::Paused);
    EXPECT_EQ(player_->currentFrame(), last);
    EXPECT_EQ(owner_->only({"next recording", "previous recording"}), c.commands);
    ASSERT_FALSE(owner_->refreshLog.empty());
    EXPECT_TRUE(owner_->refreshLog.back().soundAtEnd);
    EXPECT_EQ(owner_->refreshLog.back().soundPosition, pastPictures);
  }
}

TEST_F(VideoPlayerTest, EachControlReachesTheSoundAsOneCall) {
  open(withSound_);
  const struct {
    const char* name;
    std::function<void()> call;
    ScriptedSound::Log calls;
    PlayerState state;
    int32_t clockMs;  // then put there, and the next tick's request checked; -1: not
    int frame;        // the frame shown afterwards
  } steps[] = {
      // The sound starts at the frame's start; at 400 ms (frame 11) the tick asks for 12.
      {"play from frame 10", [&] { player_->playFrom(10); }, {"play 357"}, PlayerState::Playing, 400, 12},
      {"pause", [&] { player_->pause(); }, {"pause"}, PlayerState::Paused, -1, 12},
      // On from the frame shown.
      {"play on after a pause", [&] { player_->playOn(); }, {"play 428"}, PlayerState::Playing, 540, 16},
      {"stop", [&] { player_->stop(); }, {"stop"}, PlayerState::Stopped, -1, 16},
      {"play on after a stop", [&] { player_->playOn(); }, {"play 571"}, PlayerState::Playing, 600, 17},
      {"seek while playing", [&] { player_->seek(40); }, {"pause"}, PlayerState::Paused, -1, 40},
      {"play from the sought frame", [&] { player_->playFrom(40); }, {"play 1428"}, PlayerState::Playing,
       1480, 42},
      {"close", [&] { player_->closeRecording(); }, {"close"}, PlayerState::NoRecording, -1, 0},
      {"pause with nothing open", [&] { player_->pause(); }, {"pause"}, PlayerState::NoRecording, -1, 0},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    const size_t from = sound_->log.size();
    s.call();
    if (s.clockMs >= 0) {
      EXPECT_EQ(requestAtClock(s.clockMs).slot, s.frame);
    }
    PumpFor(60);  // more ticks, which ask nothing of the sound and keep the frame
    EXPECT_EQ(soundCallsFrom(from), s.calls);
    EXPECT_EQ(player_->state(), s.state);
    EXPECT_EQ(player_->currentFrame(), s.frame);
  }
}

TEST_F(VideoPlayerTest, SeekClampsAndPauses) {
  player_->seek(10);
  EXPECT_EQ(player_->state(), PlayerState::NoRecording);
  EXPECT_EQ(player_->currentFrame(), 0);

  open(withSound_);
  const int last = player_->frameCount() - 1;
  player_->seek(100000);
  EXPECT_EQ(player_->currentFrame(), last);
  EXPECT_TRUE(PumpUntil([&] { return !owner_->painted.empty() && owner_->painted.back() == last; }, kPatienceMs));
  player_->seek(-5);
  EXPECT_EQ(player_->currentFrame(), 0);

  player_->playFrom(10);
  PumpFor(100);
  player_->seek(20);
  EXPECT_EQ(player_->state(), PlayerState::Paused);
  EXPECT_EQ(player_->currentFrame(), 20);
  const size_t requests = owner_->requests.size();
  PumpFor(200);
  EXPECT_LE(owner_->requests.size(), requests + 1) << "the tick chain goes on after a seek";
  EXPECT_EQ(player_->currentFrame(), 20);

  // Stop, then resume where it stopped.
  player_->playFrom(20);
  PumpFor(100);
  player_->stop();
  EXPECT_EQ(player_->state(), PlayerState::Stopped);
  const int stoppedAt = player_->currentFrame();
  player_->resume();
  EXPECT_EQ(player_->state(), PlayerState::Playing);
  EXPECT_GE(player_->currentFrame(), stoppedAt);
  EXPECT_LE(player_->currentFrame(), stoppedAt + 2);
  player_->pause();
  EXPECT_EQ(player_->state(), PlayerState::Paused);
}

TEST_F(VideoPlayerTest, AFolderPulledAwayWarnsOnceAndResets) {
  const std::filesystem::path card = *dir_ / "card";
  std::filesystem::create_directories(card);
  std::filesystem::copy_file(withoutSound_, card / "0001_001.DAT",
                             std::filesystem::copy_options::overwrite_existing);
  open((card / "0001_001.DAT").wstring());
  player_->playFrom(0);
  PumpFor(200);
  ASSERT_TRUE(MoveFileW(card.wstring().c_str(), (*dir_ / "card-moved").wstring().c_str()))
      << GetLastError();
  EXPECT_TRUE(PumpUntil([&] { return !owner_->warnings.empty(); }, kPatienceMs));
  PumpFor(400);
  ASSERT_EQ(owner_->warnings.size(), 1u);
  EXPECT_EQ(owner_->warnings[0], LoadText(kTextFolderMoved));
  EXPECT_EQ(owner_->count("reset"), 1);
  EXPECT_EQ(player_->state(), PlayerState::NoRecording);
  EXPECT_EQ(player_->info(), nullptr);
  EXPECT_EQ(player_->picture(), nullptr);
  // Asking again later finds nothing to check and warns no more.
  player_->playFrom(0);
  player_->seek(3);
  PumpFor(100);
  EXPECT_EQ(owner_->warnings.size(), 1u);
}

TEST_F(VideoPlayerTest, DrawsTheFrameWithGammaAppliedToACopy) {
  open(withSound_);
  ASSERT_EQ(player_->gamma().Gamma(), 1.2);
  for (bool drawDib : {true, false}) {
    SCOPED_TRACE(drawDib ? "DrawDib" : "StretchDIBits");
    if (!drawDib) player_->useStretchDIBitsOnly();
    std::unique_ptr<Image> picture = Pattern(640, 480);
    std::unique_ptr<Image> expected = picture->Clone();
    player_->gamma().Apply(*expected);
    const uint64_t original = ColourHash(*picture);
    showPicture(std::move(picture));
    std::unique_ptr<Image> shown = CaptureClient(player_->handle());
    EXPECT_EQ(ColourHash(*shown), ColourHash(*expected));
    EXPECT_EQ(ColourHash(*player_->picture()), original) << "the kept picture was changed";
  }
  // A brightness change shows at once on the paused picture.
  player_->gamma().SetGamma(2.0);
  std::unique_ptr<Image> expected = player_->picture()->Clone();
  player_->gamma().Apply(*expected);
  InvalidateRect(player_->handle(), nullptr, FALSE);
  UpdateWindow(player_->handle());
  EXPECT_EQ(ColourHash(*CaptureClient(player_->handle())), ColourHash(*expected));
}

TEST_F(VideoPlayerTest, AnyPictureIsStretchedToTheCentredFourByThreeArea) {
  struct Case {
    int w, h;  // window
    int x, y, dw, dh;
  } cases[] = {{1000, 480, 180, 0, 640, 480}, {640, 600, 0, 60, 640, 480}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    makeOwner(c.w, c.h);
    SetWindowPos(player_->handle(), nullptr, 0, 0, c.w, c.h, SWP_NOZORDER);
    open(withSound_);
    // A solid picture of another shape: whatever the stretch does inside, the area it
    // covers is exact.
    showPicture(Solid(200, 300, 0x20, 0x80, 0xC0));
    GammaCorrection g;
    g.SetGamma(1.2);
    const uint32_t colour = (uint32_t(g.TableAt(0xC0)) << 16) | (uint32_t(g.TableAt(0x80)) << 8) | g.TableAt(0x20);
    const std::unique_ptr<Image> shown = CaptureClient(player_->handle());
    ASSERT_EQ(shown->Width(), c.w);
    ASSERT_EQ(shown->Height(), c.h);
    int wrong = 0;
    for (int y = 0; y < c.h; y += 3) {
      for (int x = 0; x < c.w; x += 3) {
        const bool inside = x >= c.x && x < c.x + c.dw && y >= c.y && y < c.y + c.dh;
        if (PixelAt(*shown, x, y) != (inside ? colour : 0xFFFFFFu)) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0);
    // The edges exactly.
    EXPECT_EQ(PixelAt(*shown, c.x, c.y), colour);
    EXPECT_EQ(PixelAt(*shown, c.x + c.dw - 1, c.y + c.dh - 1), colour);
    if (c.x > 0) {
      EXPECT_EQ(PixelAt(*shown, c.x - 1, c.y), 0xFFFFFFu);
      EXPECT_EQ(PixelAt(*shown, c.x + c.dw, c.y), 0xFFFFFFu);
    }
    if (c.y > 0) {
      EXPECT_EQ(PixelAt(*shown, c.x, c.y - 1), 0xFFFFFFu);
      EXPECT_EQ(PixelAt(*shown, c.x, c.y + c.dh), 0xFFFFFFu);
    }
  }
}

TEST_F(VideoPlayerTest, ProgressTextIsDrawnCentredOnWhite) {
  player_->showProgress(42);
  GdiFlush();
  const std::unique_ptr<Image> shown = CaptureClient(player_->handle());
  int left = 640, right = -1, top = 480, bottom = -1;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (PixelAt(*shown, x, y) == 0xFFFFFFu) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  ASSERT_GE(right, 0) << "no text drawn";
  // The ink lies around the centre (the text's box is centred; its ink nearly so).
  EXPECT_NEAR((left + right) / 2.0, 320.0, 12.0);
  EXPECT_NEAR((top + bottom) / 2.0, 240.0, 12.0);
  EXPECT_GT(right - left, 60) << "\"Now Loading...42%\" is wider than that";
}

TEST_F(VideoPlayerTest, OpensAPictureFileAsAOneFrameRecording) {
  const std::filesystem::path folder = *dir_ / "pictures";
  std::filesystem::create_directories(folder);
  {
    std::ofstream out(folder / "shot.jpg", std::ios::binary);
    out.write(reinterpret_cast<const char*>(jpeg_.data()), static_cast<std::streamsize>(jpeg_.size()));
  }
  player_->setPictureName(L"shot.jpg");
  player_->openPicture(folder.wstring());
  EXPECT_EQ(player_->state(), PlayerState::Paused);
  EXPECT_EQ(player_->frameCount(), 1);
  EXPECT_EQ(player_->folder(), folder.wstring());
  // The file is opened as a slot without an entry, so its frame arrives empty and the
  // view stays white.
  EXPECT_TRUE(PumpUntil([&] { return player_->firstFrameArrived(); }, kPatienceMs));
  EXPECT_EQ(player_->picture(), nullptr);

  player_->setPictureName(L"gone.jpg");
  EXPECT_THROW(player_->openPicture(folder.wstring()), Exception);
  EXPECT_EQ(player_->state(), PlayerState::NoRecording);

  try {
    player_->openPicture((*dir_ / "no-such-folder").wstring());
    ADD_FAILURE() << "opened from a missing folder";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message, LoadText(kTextFolderMoved));
  }
  EXPECT_EQ(player_->state(), PlayerState::NoRecording);
}

TEST_F(VideoPlayerTest, AnUnreadableRecordingIsRefusedQuietly) {
  const std::filesystem::path bad = *dir_ / "bad" / "0001_001.DAT";
  std::filesystem::create_directories(bad.parent_path());
  std::ofstream(bad, std::ios::binary) << "not a recording";
  player_->setSingleFile(bad.wstring());
  EXPECT_FALSE(player_->openRecordingAt(0));
  EXPECT_EQ(player_->state(), PlayerState::NoRecording);
  expectOwnerFreed();
  EXPECT_TRUE(owner_->warnings.empty());
  EXPECT_FALSE(player_->openRecordingAt(5)) << "no such index";
  // Playing nothing does nothing.
  player_->playFrom(0);
  EXPECT_EQ(player_->state(), PlayerState::NoRecording);
}

TEST_F(VideoPlayerTest, SoundEndingBeforeTheLastFrameHandsTheFramesToTheTicks) {
  player_->list().setEntries({{withSound_, 1}, {withoutSound_, 2}});
  openAt(0);
  owner_->requests.clear();
  player_->playFrom(0);
  // Two seconds of sound for three seconds of pictures.
  EXPECT_EQ(requestAtClock(2010).slot, 57);
  sound_->end();
  ASSERT_TRUE(waitUntilNotPlaying());
  EXPECT_EQ(player_->state(), PlayerState::Paused);
  EXPECT_EQ(player_->currentFrame(), player_->frameCount() - 1);
  EXPECT_EQ(owner_->only({"next recording", "previous recording"}), StandInOwner::Log{"next recording"});
  EXPECT_TRUE(player_->sound().isAtEnd());
  // From the sound's end on, each tick asks for the frame after the one before.
  std::vector<int> afterSound;
  for (const auto& r : owner_->requests) {
    if (r.soundState != SoundState::Playing) afterSound.push_back(r.slot);
  }
  ASSERT_GT(afterSound.size(), 20u);
  for (size_t i = 1; i < afterSound.size(); ++i) {
    EXPECT_EQ(afterSound[i], std::min(afterSound[i - 1] + 1, player_->frameCount() - 1)) << "request " << i;
  }
  EXPECT_EQ(afterSound.back(), player_->frameCount() - 1);
}

TEST_F(VideoPlayerTest, DateJumpsOpenTheFirstRecordingOfTheNeighbouringDate) {
  const std::filesystem::path folder = *dir_ / "dates";
  std::filesystem::create_directories(folder);
  const std::vector<DatedRecording> files = {{"0001_001.DAT", {2009, 5, 1, 9, 0, 0}},
                                             {"0001_002.DAT", {2009, 5, 1, 12, 0, 0}},
                                             {"0002_001.DAT", {2009, 5, 3, 10, 0, 0}},
                                             {"0003_001.DAT", {2009, 5, 9, 7, 0, 0}}};
  WriteDatedRecordings(folder, files, 30);
  auto pathOf = [&](int i) { return (folder / files[static_cast<size_t>(i)].name).wstring(); };
  int count = 0;
  ASSERT_EQ(player_->setListFromFolder(pathOf(1), count), 1);
  ASSERT_EQ(count, 4);
  openAt(1);
  player_->playFrom(0);
  EXPECT_EQ(player_->state(), PlayerState::Playing);

  struct Jump {
    bool backward;
    int index;  // where the jump lands, -1: nowhere
  } const jumps[] = {{false, 2}, {false, 3}, {false, -1}, {true, 2}, {true, 0}, {true, -1}};
  int expected = 1;
  for (const Jump& j : jumps) {
    SCOPED_TRACE(std::string(j.backward ? "back" : "on") + " from " + std::to_string(expected));
    owner_->warnings.clear();
    if (j.index < 0) {
      try {
        player_->jumpToDate(j.backward);
        ADD_FAILURE() << "jumped past the last date";
      } catch (const Exception& e) {
        EXPECT_TRUE(e.message.empty()) << "the user has been told already";
      }
      ASSERT_EQ(owner_->warnings.size(), 1u);
      EXPECT_EQ(owner_->warnings[0], LoadText(j.backward ? kTextNoPreviousDate : kTextNoNextDate));
    } else {
      player_->jumpToDate(j.backward);
      expected = j.index;
      EXPECT_TRUE(owner_->warnings.empty());
      // The jump keeps the ticks going, so the new recording's first frame arrives.
      EXPECT_TRUE(PumpUntil([&] { return player_->picture() != nullptr; }, kPatienceMs));
    }
    EXPECT_EQ(player_->currentIndex(), expected);
    EXPECT_EQ(player_->recordingPath(), pathOf(expected));
    EXPECT_EQ(player_->state(), PlayerState::Paused) << "a jump stops and leaves the new recording paused";
  }
}

TEST_F(VideoPlayerTest, AFolderGoneRightAfterALoadWarnsOnceAndResets) {
  const struct {
    const char* when;
    bool duringLoad;
  } cases[] = {{"while the load runs", true}, {"before playing starts", false}};
  int round = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.when);
    makeOwner(640, 480);
    const std::filesystem::path card = *dir_ / ("gone-card-" + std::to_string(round));
    const std::filesystem::path moved = *dir_ / ("moved-card-" + std::to_string(round++));
    std::filesystem::create_directories(card);
    std::filesystem::copy_file(withoutSound_, card / "0001_001.DAT",
                               std::filesystem::copy_options::overwrite_existing);
    bool wasMoved = false;
    auto move = [&] { wasMoved = MoveFileW(card.wstring().c_str(), moved.wstring().c_str()) != FALSE; };
    if (c.duringLoad) owner_->postHook(move);
    player_->setSingleFile((card / "0001_001.DAT").wstring());
    EXPECT_TRUE(player_->openRecordingAt(0));
    if (!c.duringLoad) move();
    ASSERT_TRUE(wasMoved) << GetLastError();
    player_->playFrom(0);  // what the main window does after a load
    EXPECT_TRUE(PumpUntil([&] { return !owner_->warnings.empty(); }, kPatienceMs));
    PumpFor(400);
    player_->seek(3);
    player_->playFrom(0);
    PumpFor(100);
    EXPECT_EQ(owner_->warnings, std::vector<std::wstring>{LoadText(kTextFolderMoved)});
    EXPECT_EQ(owner_->count("reset"), 1);
    EXPECT_EQ(player_->state(), PlayerState::NoRecording);
    EXPECT_EQ(player_->info(), nullptr);
    EXPECT_EQ(player_->picture(), nullptr);
    expectOwnerFreed();
  }
}

TEST_F(VideoPlayerTest, AFailureOfAnyKindDuringALoadFreesTheOwnerAndGoesOn) {
  // The load's pump dispatches a message whose handler fails: the failure ends the load
  // and reaches the caller, and the owner is not left busy.
  makeOwner(640, 480);
  const struct {
    const char* kind;
    std::function<void()> fail;
    std::function<void()> expectCaught;  // runs openRecordingAt and checks what it throws
  } cases[] = {
      {"an Exception", [] { throw IOException(L"a handler failed"); },
       [this] {
         try {
           player_->openRecordingAt(0);
           ADD_FAILURE() << "the handler's failure was lost";
         } catch (const Exception& e) {
           EXPECT_EQ(e.message, L"a handler failed");
         }
       }},
      {"out of memory", [] { throw std::bad_alloc(); },
       [this] { EXPECT_THROW(player_->openRecordingAt(0), std::bad_alloc); }},
  };
  player_->setSingleFile(withSound_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    owner_->log.clear();
    owner_->postHook(c.fail);
    c.expectCaught();
    expectOwnerFreed();
    EXPECT_FALSE(player_->loading());
    EXPECT_EQ(player_->state(), PlayerState::NoRecording);
    EXPECT_FALSE(player_->loader()->archive().IsOpen());
  }
  owner_->clearHook();
  openAt(0);  // and the player loads again
}

TEST_F(VideoPlayerTest, CallsMadeByMessagesThatALoadDispatchesWaitOrAreRefused) {
  const std::filesystem::path pictures = *dir_ / "nested-pictures";
  std::filesystem::create_directories(pictures);
  std::ofstream(pictures / "shot.jpg", std::ios::binary)
      .write(reinterpret_cast<const char*>(jpeg_.data()), static_cast<std::streamsize>(jpeg_.size()));
  const struct {
    const char* call;
    std::function<std::string(VideoPlayer&)> make;
    const char* answer;
    bool shown;  // the outer load's recording is shown afterwards
  } cases[] = {
      {"open the recording again", [&](VideoPlayer& p) { return AnswerOf([&] { p.openRecordingAt(0); }); },
       "refused", true},
      {"open a picture",
       [&](VideoPlayer& p) {
         return AnswerOf([&] {
           p.setPictureName(L"shot.jpg");
           p.openPicture(pictures.wstring());
         });
       },
       "refused", true},
      {"replace the list", [&](VideoPlayer& p) { return AnswerOf([&] { p.setSingleFile(withoutSound_); }); },
       "refused", true},
      {"jump to a date", [&](VideoPlayer& p) { return AnswerOf([&] { p.jumpToDate(false); }); },
       "refused", true},
      {"play", [&](VideoPlayer& p) { return AnswerOf([&] { p.playFrom(0); }); }, "done", true},
      {"close", [&](VideoPlayer& p) { return AnswerOf([&] { p.closeRecording(); }); }, "done", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    makeOwner(640, 480);
    player_->setSingleFile(withSound_);
    std::string answer = "never called";
    owner_->postHook([&] { answer = c.make(*player_); });
    EXPECT_TRUE(player_->openRecordingAt(0));
    EXPECT_EQ(answer, c.answer);
    expectOwnerFreed();
    EXPECT_EQ(player_->recordingPath(), withSound_);
    if (c.shown) {
      EXPECT_EQ(player_->state(), PlayerState::Paused);
      EXPECT_EQ(player_->currentIndex(), 0);
      EXPECT_GT(player_->frameCount(), 60);
      EXPECT_TRUE(PumpUntil([&] { return player_->picture() != nullptr; }, kPatienceMs));
    } else {
      EXPECT_EQ(player_->state(), PlayerState::NoRecording);
      EXPECT_EQ(player_->info(), nullptr);
      EXPECT_FALSE(player_->loader()->archive().IsOpen());
      PumpFor(200);
      EXPECT_EQ(player_->picture(), nullptr);
    }
  }
}

TEST_F(VideoPlayerTest, APlayerDestroyedByAMessageItsLoadDispatchesGoesWhenTheLoadReturns) {
  makeOwner(640, 480);
  const HWND window = player_->handle();
  player_->setSingleFile(withSound_);
  std::wstring soundPath;
  owner_->postHook([&] {
    soundPath = player_->loader()->archive().SoundPath();
    DestroyWindow(window);
    // The object is still there for the load that runs below this message.
    EXPECT_EQ(player_->loader()->archive().SoundPath(), soundPath);
  });
  try {
    player_->openRecordingAt(0);
    ADD_FAILURE() << "the load went on for a destroyed player";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.message.empty()) << "nothing to tell the user";
  }
  owner_->player = player_ = nullptr;
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Window::lookup(window), nullptr);
  expectOwnerFreed();
  ASSERT_FALSE(soundPath.empty());
  EXPECT_EQ(GetFileAttributesW(soundPath.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the recording's sound file outlived the player";
  PumpFor(200);  // nothing may arrive for the dead player
}

// Away from 1 time forwards the sound is silent and the system clock moves the frames
// at the chosen speed, either way; each end stops playback there without opening the
// next recording. Back at 1 time forwards the sound starts at the frame shown.
TEST_F(VideoPlayerTest, OtherSpeedsAndBackwardsRunSilentlyOnTheClockAndStopAtTheEnds) {
  open(withSound_);
  const int32_t last = player_->frameCount() - 1;
  const struct {
    const char* name;
    int speed;
    bool backward;
    int32_t from;
    DWORD playMs;
    int32_t low;  // the frame shown afterwards lies in [low, high]
    int32_t high;
    PlayerState state;
  } rows[] = {
      // 400 ms at 2 times is 800 ms of recording, 22 frames; the clock is the system's
      // and a tick may come late, hence the margin.
      {"2 times forwards", 4, false, 10, 400, 10 + 16, 10 + 30, PlayerState::Playing},
      {"1/2 backwards", 2, true, 60, 400, 60 - 9, 60 - 3, PlayerState::Playing},
      {"8 times into the end", 6, false, last - 30, 800, last, last, PlayerState::Paused},
      {"8 times back into the start", 6, true, 30, 800, 0, 0, PlayerState::Paused},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    player_->setSpeed(r.speed, r.backward);
    const size_t from = sound_->log.size();
    player_->playFrom(r.from);
    PumpFor(r.playMs);
    EXPECT_EQ(soundCallsFrom(from), ScriptedSound::Log{"pause"}) << "silent";
    EXPECT_GE(player_->currentFrame(), r.low);
    EXPECT_LE(player_->currentFrame(), r.high);
    EXPECT_EQ(player_->state(), r.state);
    player_->pause();
  }
  EXPECT_EQ(owner_->count("next recording"), 0);

  // Playing at 4 times, back to 1 time forwards: the sound plays from the frame shown.
  player_->setSpeed(5, false);
  player_->playFrom(20);
  PumpFor(100);
  const size_t from = sound_->log.size();
  const int32_t shown = player_->currentFrame();
  player_->setSpeed(playspeed::kNormal, false);
  EXPECT_EQ(soundCallsFrom(from),
            (ScriptedSound::Log{"pause", "play " + std::to_string(player::SoundStartMs(shown, player::kFramePeriodMs))}));
  EXPECT_EQ(player_->state(), PlayerState::Playing);
}

// A loop at 1 time forwards goes back to the marked range's first frame, with the sound.
TEST_F(VideoPlayerTest, ALoopedRangePlaysAgainFromItsStart) {
  open(withSound_);
  player_->seek(20);
  player_->markStart();
  player_->seek(30);
  player_->markEnd();
  player_->setLoop(true);
  player_->playFrom(20);
  const size_t from = sound_->log.size();
  EXPECT_EQ(requestAtClock(int32_t(31 * player::kFramePeriodMs) + 1).slot, 20 + 1);
  EXPECT_EQ(soundCallsFrom(from).back(), "play " + std::to_string(player::SoundStartMs(20, player::kFramePeriodMs)));
}

namespace {

// A picture of 4 x 4 cells of 16 x 12 pixels, each of its own colour.
constexpr int kCells = 4;
constexpr int kCellWidth = 16;
constexpr int kCellHeight = 12;

uint32_t CellColour(int cx, int cy) {
  GammaCorrection g;
  g.SetGamma(1.2);
  return (uint32_t(g.TableAt(0x80)) << 16) | (uint32_t(g.TableAt(uint8_t(40 + cy * 50))) << 8) |
         g.TableAt(uint8_t(40 + cx * 50));
}

std::unique_ptr<Image> Cells() {
  const int w = kCells * kCellWidth;
  const int h = kCells * kCellHeight;
  auto image = std::make_unique<Image>(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* p = image->Pixels() + size_t(h - 1 - y) * w * 4;  // rows bottom-up
    for (int x = 0; x < w; ++x, p += 4) {
      p[0] = uint8_t(40 + x / kCellWidth * 50);
      p[1] = uint8_t(40 + y / kCellHeight * 50);
      p[2] = 0x80;
    }
  }
  return image;
}

// What a user's mouse posts the player at client (x, y).
void PostMouse(HWND window, UINT message, WPARAM keys, int x, int y) {
  PostMessageW(window, message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  PumpFor(20);
}

// A wheel turn over client (x, y), which the message carries in screen coordinates.
LRESULT Wheel(HWND window, int delta, int x, int y) {
  POINT at = {x, y};
  ClientToScreen(window, &at);
  return SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                      MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
}

struct Sample {
  int x, y;    // in the window
  int cx, cy;  // the cell expected there
};

void ExpectCells(HWND window, std::initializer_list<Sample> samples) {
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  GdiFlush();
  const std::unique_ptr<Image> shown = CaptureClient(window);
  for (const Sample& s : samples) {
    EXPECT_EQ(PixelAt(*shown, s.x, s.y), CellColour(s.cx, s.cy)) << "at " << s.x << ", " << s.y;
  }
}

}  // namespace

TEST_F(VideoPlayerTest, AZoomedPictureShowsItsMagnifiedPartTheRightWayUpOnBothDrawingRoads) {
  open(withSound_);
  for (bool drawDib : {true, false}) {
    SCOPED_TRACE(drawDib ? "DrawDib" : "StretchDIBits");
    if (!drawDib) player_->useStretchDIBitsOnly();
    showPicture(Cells());
    player_->zoomWhole();
    ExpectCells(player_->handle(), {{80, 60, 0, 0}, {560, 60, 3, 0}, {80, 420, 0, 3}, {600, 460, 3, 3}});
    // Twice at the centre: the middle four cells fill the window.
    player_->zoomIn();
    player_->zoomIn();
    EXPECT_DOUBLE_EQ(player_->zoom().scale(), 2.0);
    ExpectCells(player_->handle(), {{5, 5, 1, 1}, {160, 120, 1, 1}, {480, 120, 2, 1}, {160, 360, 1, 2},
                                    {634, 474, 2, 2}});
    player_->zoomOut();
    player_->zoomOut();
    EXPECT_FALSE(player_->zoom().zoomed());
  }
}

// What the snapshot commands take: the picture at its own size as the window shows it,
// brightness and zoom included, the kept picture untouched.
TEST_F(VideoPlayerTest, TheShownPictureIsTheWindowsViewAtThePicturesOwnSize) {
  open(withSound_);
  showPicture(Cells());
  const uint64_t kept = ColourHash(*player_->picture());
  // Whole: the picture through the brightness table, byte for byte.
  std::unique_ptr<Image> expected = Cells();
  player_->gamma().Apply(*expected);
  std::unique_ptr<Image> shown = player_->shownPicture();
  ASSERT_TRUE(shown);
  ASSERT_EQ(shown->ByteSize(), expected->ByteSize());
  EXPECT_EQ(std::memcmp(shown->Pixels(), expected->Pixels(), size_t(expected->ByteSize())), 0);
  // Twice at the centre: the middle four cells, each pixel repeated in a 2 x 2 block,
  // and every pixel is what the window shows over the tenth of it that it covers.
  player_->zoomIn();
  player_->zoomIn();
  shown = player_->shownPicture();
  ASSERT_EQ(shown->Width(), kCells * kCellWidth);
  ASSERT_EQ(shown->Height(), kCells * kCellHeight);
  const std::unique_ptr<Image> window = CapturePainted(player_->handle());
  int wrong = 0;
  int unlike = 0;
  for (int y = 0; y < shown->Height(); ++y) {
    for (int x = 0; x < shown->Width(); ++x) {
      const int cx = (kCellWidth + x / 2) / kCellWidth;
      const int cy = (kCellHeight + y / 2) / kCellHeight;
      if (PixelAt(*shown, x, y) != CellColour(cx, cy)) ++wrong;
      if (PixelAt(*shown, x, y) != PixelAt(*window, x * 10 + 5, y * 10 + 5)) ++unlike;
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(unlike, 0);
  EXPECT_EQ(ColourHash(*player_->picture()), kept) << "the kept picture was changed";
  player_->closeRecording();
  EXPECT_EQ(player_->shownPicture(), nullptr);
}

TEST_F(VideoPlayerTest, TheWheelZoomsAtThePointerADragPansAndADoubleClickShowsTheWholePicture) {
  open(withSound_);
  showPicture(Cells());
  const HWND window = player_->handle();
  EXPECT_EQ(Wheel(window, 240, 700, 60), 1) << "a wheel beside the picture is not the picture's";
  EXPECT_FALSE(player_->zoom().zoomed());

  // Two notches at the middle of the top left cell: that cell stays under the pointer.
  EXPECT_EQ(Wheel(window, 240, 80, 60), 0);
  EXPECT_DOUBLE_EQ(player_->zoom().scale(), 2.0);
  ExpectCells(window, {{80, 60, 0, 0}, {600, 440, 2, 2}});

  // A drag pans: the picture follows the pointer until its edge stops it.
  PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, 300, 300);
  EXPECT_EQ(GetCapture(), window);
  PostMouse(window, WM_MOUSEMOVE, MK_LBUTTON, 200, 200);
  PostMouse(window, WM_MOUSEMOVE, MK_LBUTTON, 100, 100);
  PostMouse(window, WM_LBUTTONUP, 0, 100, 100);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_NEAR(player_->zoom().left(), 0.0625 + 200.0 / 640 / 2, 1e-9);
  ExpectCells(window, {{5, 5, 0, 1}, {634, 474, 2, 3}});
  // Pressed elsewhere than the last press, so that no double-click is seen.
  PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, 400, 400);
  PostMouse(window, WM_MOUSEMOVE, MK_LBUTTON, -2000, -2000);
  PostMouse(window, WM_LBUTTONUP, 0, -2000, -2000);
  EXPECT_DOUBLE_EQ(player_->zoom().left(), 0.5) << "the view stops at the picture's edge";
  // Moving without the button held does not pan.
  PostMouse(window, WM_MOUSEMOVE, 0, 600, 400);
  EXPECT_DOUBLE_EQ(player_->zoom().left(), 0.5);

  // A double-click: the whole picture again.
  PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, 320, 240);
  PostMouse(window, WM_LBUTTONUP, 0, 320, 240);
  PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, 320, 240);
  PostMouse(window, WM_LBUTTONUP, 0, 320, 240);
  EXPECT_FALSE(player_->zoom().zoomed());
  ExpectCells(window, {{80, 60, 0, 0}, {600, 460, 3, 3}});

  // Another recording starts on the whole picture.
  Wheel(window, 120, 320, 240);
  ASSERT_TRUE(player_->zoom().zoomed());
  player_->closeRecording();
  EXPECT_FALSE(player_->zoom().zoomed());
}
