#pragma once
// A sound track for the player's tests that needs no sound device: its clock stands
// where the test puts it, its end comes when the test says, and it keeps a log of the
// calls the player made on it, for the test to compare with the calls it expects.
//
// It answers as the device's player does: open fails for a file it could not play, the
// calls on a closed sound fail with "device not open" (play noting its clock values
// first), and the end, or the return of the chunks a pause or stop flushed, reaches
// the player's window as WM_SOUND_END with isAtEnd() telling which it was.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "playback/ISoundPlayer.h"

class ScriptedSound : public ISoundPlayer {
 public:
  using Log = std::vector<std::string>;

  explicit ScriptedSound(HWND notifyWindow) : notify_(notifyWindow) {}

  // A maker for VideoPlayer's constructor that leaves the sound it made in `made` (the
  // player owns it; the pointer is good until the player goes).
  static std::function<SoundPlayerPtr(HWND)> MakerInto(ScriptedSound*& made);

  // ISoundPlayer. The log's entries: "open", "close", "play <ms>", "pause", "stop",
  // "resume". The opened paths are kept apart, in `opened`.
  void open(const std::wstring& path) override;
  void close() override;
  void play(int32_t startMs) override;
  void pause() override;
  void stop() override;
  void resume() override;
  SoundState getState() const override { return state_; }
  uint32_t getScaledByteRate() const override;
  int32_t getPosition() const override;
  int32_t getVolume() const override { return volume_; }
  void setVolume(int32_t volume) override { volume_ = volume; }
  bool isAtEnd() const override { return atEnd_; }
  int32_t basePosition() const override { return basePosition_; }
  uint32_t playStartTime() const override { return playStartTime_; }
  void destroy() override;

  // The test's hand on the clock. With the sound open, the position is `ms`. With the
  // sound closed (the player then runs by the system clock from playStartTime), the
  // start is moved back so that the system clock reads `ms` now; it runs on from there.
  void advanceTo(int32_t ms);
  // The sound played out: Paused at its end, and the player told.
  void end();
  // The chunks a pause, stop or play flushed have come back: the player is told, not at
  // the end.
  void flushed();
  // The next open fails as a sound the device cannot play does.
  void failNextOpen() { failNextOpen_ = true; }

  Log log;
  std::vector<std::wstring> opened;

 private:
  void notify(bool atEnd);
  void requireOpen() const;

  HWND notify_;
  SoundState state_ = SoundState::Closed;
  int32_t position_ = 0;
  int32_t basePosition_ = 0;
  uint32_t playStartTime_ = 0;
  int32_t volume_ = kMaxVolume;
  uint32_t scaledByteRate_ = 0;
  bool atEnd_ = false;
  bool failNextOpen_ = false;
};
