#pragma once
// The sound track of the open recording as the video player sees it: a clock in
// milliseconds, a volume, and a notice when the sound has ended.
#include <cstdint>
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

 protected:
  // Owners delete the implementation through its own type (the sound player deletes
  // itself with its window), never through this interface.
  ~ISoundPlayer() = default;
};
