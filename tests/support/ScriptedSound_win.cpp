#include "ScriptedSound_win.h"

#include <mmsystem.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/WaveHeader.h"
#include "toolkit/WindowMessages_win.h"

namespace {

// The header of the sound file at `path`, when the device's player would take it.
std::optional<WaveHeader> ReadHeader(const std::wstring& path) {
  std::error_code error;
  const uint64_t bytes = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  uint8_t head[kWaveHeaderBytes] = {};
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(head), sizeof head)) return std::nullopt;
  return CheckWaveHeader(head, sizeof head, bytes);
}

}  // namespace

std::function<SoundPlayerPtr(HWND)> ScriptedSound::MakerInto(ScriptedSound*& made) {
  return [&made](HWND notifyWindow) {
    auto* sound = new ScriptedSound(notifyWindow);
    made = sound;
    return SoundPlayerPtr(sound);
  };
}

void ScriptedSound::open(const std::wstring& path) {
  log.push_back("open");
  opened.push_back(path);
  state_ = SoundState::Closed;
  position_ = 0;
  atEnd_ = false;
  const std::optional<WaveHeader> header = failNextOpen_ ? std::nullopt : ReadHeader(path);
  failNextOpen_ = false;
  if (!header) throw WaveAudioException(path);
  scaledByteRate_ = uint32_t(header->format.blockAlign) * header->format.samplesPerSec * 1000u;
  state_ = SoundState::Paused;
}

void ScriptedSound::close() {
  log.push_back("close");
  state_ = SoundState::Closed;
  position_ = 0;
}

void ScriptedSound::play(int32_t startMs) {
  log.push_back("play " + std::to_string(startMs));
  playStartTime_ = timeGetTime();
  basePosition_ = startMs;
  requireOpen();
  atEnd_ = false;
  position_ = startMs;
  state_ = SoundState::Playing;
}

void ScriptedSound::pause() {
  log.push_back("pause");
  requireOpen();
  state_ = SoundState::Paused;
}

void ScriptedSound::stop() {
  log.push_back("stop");
  requireOpen();
  state_ = SoundState::Stopped;
}

void ScriptedSound::resume() {
  log.push_back("resume");
  requireOpen();
  if (atEnd_) {
    notify(true);  // nothing left to play: the end again
    return;
  }
  state_ = SoundState::Playing;
}

uint32_t ScriptedSound::getScaledByteRate() const {
  return state_ == SoundState::Closed ? 0 : scaledByteRate_;
}

int32_t ScriptedSound::getPosition() const { return state_ == SoundState::Closed ? 0 : position_; }

void ScriptedSound::destroy() { delete this; }

void ScriptedSound::advanceTo(int32_t ms) {
  if (state_ == SoundState::Closed) {
    playStartTime_ = timeGetTime() - static_cast<uint32_t>(ms - basePosition_);
    return;
  }
  position_ = ms;
}

void ScriptedSound::end() { notify(true); }

void ScriptedSound::flushed() { notify(false); }

void ScriptedSound::notify(bool atEnd) {
  atEnd_ = atEnd;
  if (state_ != SoundState::Closed) state_ = SoundState::Paused;
  PostMessageW(notify_, WM_SOUND_END, 0, 0);
}

void ScriptedSound::requireOpen() const {
  if (state_ == SoundState::Closed) throw WaveAudioException(LoadText(kTextDeviceNotOpen));
}
