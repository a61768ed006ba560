#pragma once
// The sound track of the open recording as the video player sees it: a clock in
// milliseconds, a volume, and a notice when the sound has ended.
#include <cstdint>
#include <memory>
#include <string>

enum class SoundState : int32_t {
  Closed = 0,   // no file loaded, no device
  Playing = 1,
  Paused = 2,
  Stopped = 3,
};

// Volumes run from silent (0) to the samples as recorded (kMaxVolume).
constexpr int32_t kMaxVolume = 16;

class ISoundPlayer {
 public:
  virtual void open(const std::wstring& path) = 0;
  virtual void close() = 0;
  virtual void play(int32_t startMs) = 0;
  virtual void pause() = 0;
  virtual void stop() = 0;
  virtual void resume() = 0;
  virtual SoundState getState() const = 0;
  virtual uint32_t getScaledByteRate() const = 0;
  virtual int32_t getPosition() const = 0;
  virtual int32_t getVolume() const = 0;
  virtual void setVolume(int32_t volume) = 0;
  // True once the sound has played out (a natural end, not a flush); the notice of the
  // end, or of a flush, is WM_SOUND_END to the window the implementation was made for.
  virtual bool isAtEnd() const = 0;
  // The clock of a recording without playable sound: the position the latest play
  // started from and timeGetTime at that call.
  virtual int32_t basePosition() const = 0;
  virtual uint32_t playStartTime() const = 0;
  // Ends the implementation the way its kind must end (the device's player goes with
  // its window); the object is gone afterwards.
  virtual void destroy() = 0;

 protected:
  // Owners end the implementation through destroy(), never by deleting this interface.
  ~ISoundPlayer() = default;
};

struct SoundPlayerDestroy {
  void operator()(ISoundPlayer* sound) const { sound->destroy(); }
};
// The one owner of a sound player.
using SoundPlayerPtr = std::unique_ptr<ISoundPlayer, SoundPlayerDestroy>;
