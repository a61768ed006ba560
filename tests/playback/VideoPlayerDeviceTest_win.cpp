// The video player on the real sound device (the harness's audio server, which needs
// about two seconds to settle into real time; nothing here depends on its latency because
// the player reads the same clock): the sound opens, the pictures keep to its clock, and
// its own end ends the recording. The player's logic is tested on the scripted sound, in
// VideoPlayerTest_win.cpp. Other programs may run beside these tests: waits have
// deadlines far above the time anything takes, and nothing checks how fast playback
// runs, only what it shows against the clock it runs by.
#include <gtest/gtest.h>

#include <cmath>

#include "VideoPlayerFixture_win.h"

TEST_F(VideoPlayerDeviceTest, FrameFollowsTheSoundPositionAndPausesOnTheLastFrame) {
  open(withSound_);
  EXPECT_EQ(player_->sound().getState(), SoundState::Paused) << "the device did not open the sound";
  owner_->requests.clear();
  player_->playFrom(0);
  ASSERT_TRUE(waitUntilNotPlaying());
  EXPECT_EQ(player_->state(), PlayerState::Paused);
  EXPECT_EQ(player_->currentFrame(), player_->frameCount() - 1);
  EXPECT_EQ(owner_->count("next recording"), 0) << "a one-file list has no next recording";

  // Every tick asks for the frame after the one the sound is at. The position is read
  // again here a moment after the player read it, so a frame boundary may fall between
  // (more often when the machine is busy), but the request is never ahead of it.
  int sampled = 0;
  int exact = 0;
  for (size_t i = 1; i < owner_->requests.size(); ++i) {
    const auto& r = owner_->requests[i];
    if (r.soundState != SoundState::Playing) continue;
    const int due = player::ClampFrame(int64_t(std::trunc(r.soundPosition / (1000.0 / 28.0))) + 1,
                                       player_->frameCount());
    ++sampled;
    if (r.slot == due) ++exact;
    EXPECT_LE(r.slot, due) << "request " << i << " at " << r.soundPosition << " ms";
    EXPECT_GE(r.slot, due - 1) << "request " << i << " at " << r.soundPosition << " ms";
  }
  EXPECT_GT(sampled, 20);
  EXPECT_GE(exact * 4, sampled * 3) << exact << " of " << sampled;
}

TEST_F(VideoPlayerDeviceTest, SoundOutlastingThePicturesEndsTheRecordingWhenItEnds) {
  player_->list().setEntries({{withSound_, 1}, {withoutSound_, 2}});
  openAt(0);
  const double picturesMs = (player_->frameCount() - 1) * player::kFramePeriodMs;
  useSoundOf(picturesMs / 1000.0 + 1.5);
  owner_->refreshLog.clear();
  player_->playFrom(0);
  ASSERT_TRUE(waitUntilNotPlaying());
  EXPECT_EQ(player_->state(), PlayerState::Paused);
  EXPECT_EQ(player_->currentFrame(), player_->frameCount() - 1);
  EXPECT_EQ(owner_->only({"next recording", "previous recording"}), StandInOwner::Log{"next recording"});
  // The last frame stayed on screen while the sound played on; the recording ended
  // only with the sound's own end.
  ASSERT_FALSE(owner_->refreshLog.empty());
  const TestOwner::Refresh& end = owner_->refreshLog.back();
  EXPECT_EQ(end.state, PlayerState::Paused);
  EXPECT_TRUE(end.soundAtEnd) << "paused before the sound ended";
  EXPECT_GT(end.soundPosition, picturesMs + 1000);
}
