#pragma once
// Plays the recording's sound file through the default waveOut device, two chunks of a
// fifth of a second at a time, and serves as the clock the video player runs by.
//
// The device reports finished chunks on a thread of its own; the callback only posts
// WM_SOUND_CHUNK_DONE to the player's hidden message-only window, so all counting and
// refilling happens on the interface thread without a lock.
//
// An open device keeps the audio system's threads busy even while nothing plays, so a
// player that has had nothing to play for kIdleReleaseMs (paused, stopped, at the end,
// or opened and not yet played) lets the device go; the state and the position stay what
// they were, and the next play opens the device again. A device that cannot be opened again then closes
// the player, as if the file had never opened: that play throws like one on a closed
// player, its clock values recorded.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <string>
#include <vector>

#include "playback/ISoundPlayer.h"
#include "playback/WaveHeader.h"
#include "toolkit/WindowMessages_win.h"
#include "toolkit/Window_win.h"

class WaveAudioPlayer : public Window, public ISoundPlayer {
 public:
  // Creates the hidden window. notifyWindow receives WM_SOUND_END when the sound has
  // ended (isAtEnd() is true) or when the chunks flushed by pause, stop, play or close
  // have all come back (isAtEnd() is false). Delete the player by destroying its window.
  explicit WaveAudioPlayer(HWND notifyWindow);
  static constexpr UINT kIdleReleaseMs = 1000;
  ~WaveAudioPlayer() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // True once the last chunk has been played out (a natural end, not a flush).
  bool isAtEnd() const override;

  // Failures carry the path as their text; the player is then closed.
  void open(const std::wstring& path) override;
  void close() override;
  // On a closed player these raise WaveAudioException with "device not open"; play
  // still records its clock values first.
  void play(int32_t startMs) override;
  void pause() override;
  void stop() override;
  void resume() override;
  SoundState getState() const override { return state_; }
  uint32_t getScaledByteRate() const override { return scaledByteRate_; }
  int32_t getPosition() const override;
  int32_t getVolume() const override { return volume_; }
  void setVolume(int32_t volume) override;

  int32_t basePosition() const override { return basePosition_; }
  uint32_t playStartTime() const override { return playStartTime_; }
  // Destroys the window, which deletes the player.
  void destroy() override;

  int32_t bytesFromMs(int32_t ms) const;
  int32_t msFromBytes(int32_t bytes) const;

  // Inspection of the queue, for diagnostics and tests.
  const WAVEHDR& header(int index) const { return headers_[index & 1]; }
  int32_t chunkStart() const { return chunkStart_; }
  int32_t nextStart() const { return nextStart_; }
  uint32_t chunkSize() const { return chunkSize_; }
  int32_t outstanding() const { return outstanding_; }
  // Whether the waveOut device is open now (it is let go while nothing plays).
  bool holdsDevice() const { return device_ != nullptr; }
  // Lets the device go at once if nothing is playing, as the idle timer does.
  void releaseIdleDevice();

 private:
  static void CALLBACK onDeviceMessage(HWAVEOUT device, UINT message, DWORD_PTR instance,
                                       DWORD_PTR param1, DWORD_PTR param2);
  struct Queued {
    int32_t bytes;  // what queueChunk covered
    bool written;   // whether the device took it
  };
  Queued queueChunk(int32_t start);
  int32_t fill(int32_t start);
  void flushDevice();
  // Opens the device for the stored format and prepares both headers; false (and no
  // device) when that fails.
  bool openDevice();
  void closeDevice();
  void armIdleRelease();
  int collectReturned();
  void onChunkDone();
  void reportEnd(bool atEnd);

  HWND notify_;
  HWAVEOUT device_ = nullptr;
  WAVEHDR headers_[2] = {};
  bool inDevice_[2] = {false, false};
  int32_t current_ = 0;
  int32_t outstanding_ = 0;
  SoundState state_ = SoundState::Closed;
  uint32_t scaledByteRate_ = 0;
  int32_t basePosition_ = 0;
  int32_t volume_ = kMaxVolume;
  int32_t chunkStart_ = 0;
  int32_t nextStart_ = 0;
  WaveFormat format_;
  std::vector<uint8_t> samples_;
  uint32_t chunkSize_ = 0;
  std::vector<uint8_t> chunkMemory_;
  DWORD playStartTime_ = 0;
  bool atEnd_ = false;
  bool flushPending_ = false;
  std::wstring path_;  // the open file, the text of a failure to open the device again
  int32_t releasedPosition_ = 0;  // the position while the device is let go
};
