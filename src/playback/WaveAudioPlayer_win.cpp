#include "playback/WaveAudioPlayer_win.h"

#include <io.h>
#include <share.h>

#include <cstdio>
#include <limits>
#include <memory>
#include <new>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/SoundArithmetic.h"

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

WaveAudioException NotOpen() { return WaveAudioException(LoadText(kTextDeviceNotOpen)); }

constexpr UINT_PTR kIdleReleaseTimer = 1;

}  // namespace

WaveAudioPlayer::WaveAudioPlayer(HWND notifyWindow) : notify_(notifyWindow) {
  WindowCreateParams params;
  params.className = MAKEINTATOM(defaultClass());
  params.parent = HWND_MESSAGE;
  params.instance = classInstance();
  create(params);
}

WaveAudioPlayer::~WaveAudioPlayer() { close(); }

bool WaveAudioPlayer::isAtEnd() const { return atEnd_; }

void WaveAudioPlayer::destroy() {
  if (handle() != nullptr) DestroyWindow(handle());
}

void WaveAudioPlayer::open(const std::wstring& path) {
  close();
  File file(_wfsopen(path.c_str(), L"rb", _SH_DENYNO));
  if (!file) throw WaveAudioException(path);

  uint8_t head[kWaveHeaderBytes];
  const long long fileBytes = _filelengthi64(_fileno(file.get()));
  if (fileBytes < 0 || std::fread(head, 1, sizeof head, file.get()) != sizeof head) {
    throw Exception(path);
  }
  const auto header = CheckWaveHeader(head, sizeof head, static_cast<uint64_t>(fileBytes));
  if (!header) throw Exception(path);
  std::vector<uint8_t> samples;
  try {
    samples.resize(header->dataBytes);
  } catch (const std::bad_alloc&) {
    throw Exception(path);
  }
  if (std::fread(samples.data(), 1, samples.size(), file.get()) != samples.size()) {
    throw Exception(path);
  }
  file.reset();

  format_ = header->format;
  samples_ = std::move(samples);
  const uint32_t byteRate = static_cast<uint32_t>(format_.blockAlign) * format_.samplesPerSec;
  chunkSize_ = byteRate / 5;
  chunkMemory_.assign(2 * static_cast<std::size_t>(chunkSize_), 0);
  scaledByteRate_ = byteRate * 1000;
  for (int i = 0; i < 2; ++i) {
    WAVEHDR& h = headers_[i];
    h = WAVEHDR{};
    h.lpData = reinterpret_cast<LPSTR>(chunkMemory_.data() + i * chunkSize_);
    h.dwBufferLength = chunkSize_;
    h.dwUser = reinterpret_cast<DWORD_PTR>(this);
    inDevice_[i] = false;
  }
  current_ = 0;
  path_ = path;
  if (!openDevice()) {
    close();
    throw WaveAudioException(path);
  }
  state_ = SoundState::Paused;
  armIdleRelease();
}

bool WaveAudioPlayer::openDevice() {
  WAVEFORMATEX wfx = {};
  wfx.wFormatTag = format_.formatTag;
  wfx.nChannels = format_.channels;
  wfx.nSamplesPerSec = format_.samplesPerSec;
  wfx.nAvgBytesPerSec = format_.avgBytesPerSec;
  wfx.nBlockAlign = format_.blockAlign;
  wfx.wBitsPerSample = format_.bitsPerSample;
  HWAVEOUT device = nullptr;
  if (waveOutOpen(&device, WAVE_MAPPER, &wfx, reinterpret_cast<DWORD_PTR>(&onDeviceMessage),
                  reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
    return false;
  }
  device_ = device;
  for (int i = 0; i < 2; ++i) {
    WAVEHDR& h = headers_[i];
    h.dwFlags = 0;
    inDevice_[i] = false;
    if (waveOutPrepareHeader(device_, &h, sizeof h) != MMSYSERR_NOERROR) {
      closeDevice();
      return false;
    }
  }
  current_ = 0;
  outstanding_ = 0;
  return true;
}

void WaveAudioPlayer::closeDevice() {
  if (device_ == nullptr) return;
  chunkStart_ = nextStart_ = 0;
  flushDevice();
  for (WAVEHDR& h : headers_) {
    if ((h.dwFlags & WHDR_PREPARED) == 0) continue;
    for (int attempt = 0; attempt < 10; ++attempt) {
      if (waveOutUnprepareHeader(device_, &h, sizeof h) == MMSYSERR_NOERROR) break;
      Sleep(100);
    }
  }
  waveOutClose(device_);
  device_ = nullptr;
}

void WaveAudioPlayer::armIdleRelease() {
  if (handle() != nullptr) SetTimer(handle(), kIdleReleaseTimer, kIdleReleaseMs, nullptr);
}

void WaveAudioPlayer::releaseIdleDevice() {
  if (handle() != nullptr) KillTimer(handle(), kIdleReleaseTimer);
  if (state_ == SoundState::Playing || device_ == nullptr) return;
  // The clock stands where the device left it until the next play.
  releasedPosition_ = getPosition();
  closeDevice();
  // A flush whose notices have not come back yet is over all the same.
  if (flushPending_) {
    flushPending_ = false;
    reportEnd(false);
  }
}

void WaveAudioPlayer::close() {
  if (handle() != nullptr) KillTimer(handle(), kIdleReleaseTimer);
  closeDevice();
  state_ = SoundState::Closed;
  scaledByteRate_ = 0;
  chunkStart_ = nextStart_ = 0;
  flushPending_ = false;
  path_.clear();
  samples_.clear();
  samples_.shrink_to_fit();
  chunkMemory_.clear();
  chunkMemory_.shrink_to_fit();
  chunkSize_ = 0;
  for (WAVEHDR& h : headers_) {
    h.lpData = nullptr;
    h.dwBufferLength = 0;
  }
}

void WaveAudioPlayer::play(int32_t startMs) {
  playStartTime_ = timeGetTime();
  if (state_ == SoundState::Closed) {
    basePosition_ = startMs;
    throw NotOpen();
  }
  if (handle() != nullptr) KillTimer(handle(), kIdleReleaseTimer);
  if (device_ == nullptr && !openDevice()) {
    // The device went away while it was let go: the recording plays on without sound.
    close();
    basePosition_ = startMs;
    throw NotOpen();
  }
  atEnd_ = false;
  chunkStart_ = nextStart_ = 0;
  flushDevice();
  // The chunks just flushed will still be reported; they belong to no play any more.
  flushPending_ = false;

  const int32_t start = bytesFromMs(startMs);
  basePosition_ = msFromBytes(start);
  const int32_t n = fill(start);
  if (n > 0) {
    fill(nextStart_);
    return;
  }
  reportEnd(true);
}

void WaveAudioPlayer::pause() {
  if (state_ == SoundState::Closed) throw NotOpen();
  chunkStart_ = nextStart_ = 0;
  flushDevice();
  state_ = SoundState::Paused;
  armIdleRelease();
}

void WaveAudioPlayer::stop() {
  if (state_ == SoundState::Closed) throw NotOpen();
  chunkStart_ = nextStart_ = 0;
  flushDevice();
  state_ = SoundState::Stopped;
  armIdleRelease();
}

void WaveAudioPlayer::resume() {
  if (state_ == SoundState::Closed) throw NotOpen();
  if (atEnd_) {
    reportEnd(true);
    return;
  }
  // Nothing is queued after a pause or a stop, and a device let go holds nothing.
  if (device_ == nullptr) return;
  if (waveOutRestart(device_) == MMSYSERR_NOERROR) state_ = SoundState::Playing;
}

int32_t WaveAudioPlayer::getPosition() const {
  if (device_ == nullptr) return state_ == SoundState::Closed ? 0 : releasedPosition_;
  MMTIME time = {};
  time.wType = TIME_BYTES;
  if (waveOutGetPosition(device_, &time, sizeof time) != MMSYSERR_NOERROR) return 0;
  // The device may answer in another unit than the one asked for.
  int64_t played = -1;
  switch (time.wType) {
    case TIME_BYTES:
      played = PlayedBytes(format_, DeviceTimeUnit::Bytes, time.u.cb);
      break;
    case TIME_SAMPLES:
      played = PlayedBytes(format_, DeviceTimeUnit::Samples, time.u.sample);
      break;
    case TIME_MS:
      played = PlayedBytes(format_, DeviceTimeUnit::Milliseconds, time.u.ms);
      break;
    default:
      break;
  }
  if (played < 0) return 0;
  const int64_t limit = std::numeric_limits<int32_t>::max();
  return basePosition_ + msFromBytes(static_cast<int32_t>(played < limit ? played : limit));
}

void WaveAudioPlayer::setVolume(int32_t volume) { volume_ = ClampVolume(volume); }

int32_t WaveAudioPlayer::bytesFromMs(int32_t ms) const {
  return BytesFromMs(format_, static_cast<int32_t>(samples_.size()), ms);
}

int32_t WaveAudioPlayer::msFromBytes(int32_t bytes) const {
  return MsFromBytes(format_, static_cast<int32_t>(samples_.size()), bytes);
}

WaveAudioPlayer::Queued WaveAudioPlayer::queueChunk(int32_t start) {
  if (chunkSize_ == 0) return {0, false};
  const ChunkSpan span = NextChunk(start, static_cast<int32_t>(samples_.size()), chunkSize_);
  nextStart_ = span.end;
  chunkStart_ = span.start;
  const int32_t n = span.length();
  if (n <= 0) return {n, false};

  WAVEHDR& h = headers_[current_];
  // Scaling here, not at play time, is what lets a volume change be heard within two
  // chunks.
  ScaleSamples(samples_.data() + span.start, reinterpret_cast<uint8_t*>(h.lpData),
               static_cast<std::size_t>(n), volume_);
  h.dwBufferLength = static_cast<DWORD>(n);
  if (waveOutWrite(device_, &h, sizeof h) != MMSYSERR_NOERROR) return {n, false};
  inDevice_[current_] = true;
  ++outstanding_;
  current_ = (current_ + 1) % 2;
  state_ = SoundState::Playing;
  return {n, true};
}

// Queues the chunk at start; a chunk the device refuses is skipped for the one after
// it, so a failed write can neither stall the sound nor keep its end from being seen.
int32_t WaveAudioPlayer::fill(int32_t start) {
  for (;;) {
    const Queued q = queueChunk(start);
    if (q.bytes <= 0 || q.written) return q.bytes;
    start = nextStart_;
  }
}

// Hands every queued chunk back. The device marks them all done before waveOutReset
// returns, so they are counted back here; the notices they still produce are then
// recognised as spent and cannot be mistaken for chunks queued afterwards.
void WaveAudioPlayer::flushDevice() {
  if (device_ == nullptr) return;
  waveOutReset(device_);
  bool flushed = false;
  for (int i = 0; i < 2; ++i) {
    if (inDevice_[i]) {
      inDevice_[i] = false;
      --outstanding_;
      flushed = true;
    }
  }
  outstanding_ = 0;
  if (flushed) flushPending_ = true;
}

// Counts the chunks the device has finished with since the last look.
int WaveAudioPlayer::collectReturned() {
  int returned = 0;
  for (int i = 0; i < 2; ++i) {
    const volatile DWORD& flags = headers_[i].dwFlags;
    if (inDevice_[i] && (flags & WHDR_DONE) != 0) {
      inDevice_[i] = false;
      --outstanding_;
      ++returned;
    }
  }
  return returned;
}

void WaveAudioPlayer::onChunkDone() {
  if (device_ == nullptr) return;
  const int returned = collectReturned();
  if (returned > 0 && nextStart_ != 0) {
    int32_t n = 1;
    for (int k = 0; k < returned && n > 0; ++k) n = fill(nextStart_);
    if (n <= 0 && outstanding_ <= 0) reportEnd(true);
    return;
  }
  if (nextStart_ == 0 && flushPending_ && outstanding_ <= 0) {
    flushPending_ = false;
    reportEnd(false);
  }
}

void WaveAudioPlayer::reportEnd(bool atEnd) {
  atEnd_ = atEnd;
  if (state_ != SoundState::Closed) {
    state_ = SoundState::Paused;
    armIdleRelease();
  }
  if (notify_ != nullptr) PostMessageW(notify_, WM_SOUND_END, 0, 0);
}

LRESULT WaveAudioPlayer::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SOUND_CHUNK_DONE) {
    onChunkDone();
    return 0;
  }
  if (message == WM_TIMER && wParam == kIdleReleaseTimer) {
    releaseIdleDevice();
    return 0;
  }
  return defaultHandling(message, wParam, lParam);
}

void CALLBACK WaveAudioPlayer::onDeviceMessage(HWAVEOUT, UINT message, DWORD_PTR instance,
                                               DWORD_PTR, DWORD_PTR) {
  // Runs on the audio system's thread: post, touch nothing else.
  if (message != WOM_DONE) return;
  auto* player = reinterpret_cast<WaveAudioPlayer*>(instance);
  PostMessageW(player->handle(), WM_SOUND_CHUNK_DONE, 0, 0);
}
