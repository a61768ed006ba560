// Playback quality: plays a recording with sound through the real player in a window
// and counts what a viewer is judged by: frames due, requested, shown and dropped, how
// far the picture on screen is from the sound clock when it appears, and the processor
// time spent per second of playback.
//
//   playback_bench                 writes a 60-second recording with sound and plays it
//   playback_bench ARCHIVE         plays ARCHIVE (the test bed for opening a recording)
//   playback_bench --settle MS     figures also counted from MS of sound on (default 3000)
//   playback_bench --trace FILE    writes every request (R) and paint (P) as: time, sound ms, frame
//
// Afterwards it measures each part of showing a frame on its own (decoding, a paint with
// and without the brightness table, drawing alone by each path, the sound alone), which
// tells where the processor time of playback goes.
#include <windows.h>

#include <mmsystem.h>
#include <psapi.h>
#include <vfw.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "RecorderSimulator.h"
#include "BenchOwner_win.h"
#include "foundation/Exception.h"
#include "playback/VideoPlayer_win.h"
#include "playback/WaveAudioPlayer_win.h"
#include "recording/VideoArchive.h"
#include "toolkit/MessagePump_win.h"

namespace {

struct Paint {
  int slot;
  SoundState soundState;
  int32_t soundMs;
  DWORD time;
};

class PlaybackOwner : public BenchOwner {
 public:
  PlaybackOwner() : BenchOwner(L"playback") {}
  void frameRequested(int slot, bool accepted) override {
    if (!measuring) return;
    if (trace != nullptr && player != nullptr) {
      std::fprintf(trace, "R %lu %d %d\n", static_cast<unsigned long>(timeGetTime()),
                   player->sound().getPosition(), slot);
    }
    ++requested;
    if (!accepted) ++refused;
  }
  void framePainted(int slot) override {
    if (!measuring || player == nullptr) return;
    paints.push_back({slot, player->sound().getState(), player->sound().getPosition(), timeGetTime()});
    if (trace != nullptr) {
      std::fprintf(trace, "P %lu %d %d\n", static_cast<unsigned long>(paints.back().time),
                   paints.back().soundMs, slot);
    }
  }

  VideoPlayer* player = nullptr;
  FILE* trace = nullptr;
  bool measuring = false;
  int requested = 0;
  int refused = 0;
  std::vector<Paint> paints;
};

double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

double WorkingSetMb() {
  PROCESS_MEMORY_COUNTERS c{};
  c.cb = sizeof c;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c)) return 0;
  return static_cast<double>(c.WorkingSetSize) / 1e6;
}

// One line a figure for bench/run-all: FIGURE name value.
void Figure(const char* name, double value) { std::printf("FIGURE %s %.4f\n", name, value); }

// Milliseconds of this thread's processor time a call of `part` takes, over `rounds`.
template <typename F>
double CostMs(int rounds, F part) {
  const double before = ThreadCpuMs();
  for (int i = 0; i < rounds; ++i) part();
  return (ThreadCpuMs() - before) / rounds;
}

// Each part of showing one frame on its own, and the sound alone; per second of
// playback that is 28 times the frame's parts.
void BreakDown(VideoPlayer& player, const std::wstring& path, double playbackPercent) {
  constexpr int kRounds = 280;
  VideoArchive archive;
  archive.Load(path, nullptr);
  int slot = 0;
  const double decode = CostMs(kRounds, [&] { archive.ReadFrameImage(slot++ % archive.SlotCount()); });
  auto paint = [&] {
    InvalidateRect(player.handle(), nullptr, FALSE);
    UpdateWindow(player.handle());
  };
  const double gamma = player.gamma().Gamma();
  const double paintBright = CostMs(kRounds, paint);
  player.gamma().SetGamma(1.0);
  const double paintPlain = CostMs(kRounds, paint);
  player.gamma().SetGamma(gamma);

  const Image* picture = player.picture();
  double drawDib = 0, stretch = 0, toDevice = 0;
  if (picture != nullptr) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture->Width();
    info.bmiHeader.biHeight = picture->Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int w = picture->Width(), h = picture->Height();
    HDC dc = GetDC(player.handle());
    HDRAWDIB dib = DrawDibOpen();
    drawDib = CostMs(kRounds, [&] {
      DrawDibDraw(dib, dc, 0, 0, w, h, &info.bmiHeader, const_cast<uint8_t*>(picture->Pixels()), 0, 0, w, h, 0);
    });
    DrawDibClose(dib);
    SetStretchBltMode(dc, HALFTONE);
    stretch = CostMs(kRounds, [&] {
      StretchDIBits(dc, 0, 0, w, h, 0, 0, w, h, picture->Pixels(), &info, DIB_RGB_COLORS, SRCCOPY);
    });
    toDevice = CostMs(kRounds, [&] {
      SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, picture->Pixels(), &info, DIB_RGB_COLORS);
    });
    ReleaseDC(player.handle(), dc);
  }

  // The process paused with the recording loaded, as a viewer left open: the player
  // paused, the sound player given the time it waits before it lets the device go, then
  // measured. What is left is the window system's and the runtime's own share.
  player.pause();
  PumpFor(WaveAudioPlayer::kIdleReleaseMs + 500);
  double cpu0 = CpuSeconds();
  DWORD wall0 = timeGetTime();
  PumpFor(3000);
  const double idle = 100.0 * (CpuSeconds() - cpu0) / ((timeGetTime() - wall0) / 1000.0);

  double sound = 0, position = 0, reopenMs = 0;
  try {
    // The device was let go while paused: this play opens it again.
    const DWORD before = timeGetTime();
    player.sound().play(0);
    reopenMs = timeGetTime() - before;
    cpu0 = CpuSeconds();
    wall0 = timeGetTime();
    PumpFor(3000);
    sound = 100.0 * (CpuSeconds() - cpu0) / ((timeGetTime() - wall0) / 1000.0);
    // The sound clock is asked once a tick (and the benchmark asks it at every request
    // and paint).
    position = CostMs(kRounds, [&] { player.sound().getPosition(); });
    player.sound().stop();
  } catch (const Exception&) {
  }
  // The same with the sound device closed: what the open device costs while silent.
  player.sound().close();
  cpu0 = CpuSeconds();
  wall0 = timeGetTime();
  PumpFor(3000);
  const double idleClosed = 100.0 * (CpuSeconds() - cpu0) / ((timeGetTime() - wall0) / 1000.0);
  std::printf("processor time of each part (ms of one core, average of %d):\n", kRounds);
  std::printf("  decoding a picture (read and decode)          %6.2f ms  = %4.1f %% at 28 a second\n", decode, decode * 2.8);
  std::printf("  a paint (brightness copy and DrawDib/Stretch)  %6.2f ms  = %4.1f %%\n", paintBright, paintBright * 2.8);
  std::printf("  a paint without the brightness table (memcpy)  %6.2f ms  = %4.1f %%\n", paintPlain, paintPlain * 2.8);
  std::printf("  the brightness table's own pass                %6.2f ms\n", paintBright - paintPlain);
  std::printf("  drawing alone: DrawDibDraw %.2f ms, StretchDIBits (halftone) %.2f ms, SetDIBitsToDevice %.2f ms\n",
              drawDib, stretch, toDevice);
  std::printf("  reading the sound clock once                  %6.3f ms\n", position);
  std::printf("  the sound playing alone (device threads, chunk messages): %.1f %% of one core\n", sound);
  std::printf("  paused with the recording loaded: %.2f %% of one core (%.2f %% with the sound closed);\n"
              "    playing again opened the device in %.0f ms\n",
              idle, idleClosed, reopenMs);
  // What playback cannot avoid on this platform: the sound, and 28 decodes and 28 paints
  // with the table a second, each measured alone.
  const double floor = sound + 2.8 * decode + 2.8 * paintBright;
  std::printf("the platform's floor: sound %.1f %% + decoding %.1f %% + painting %.1f %% = %.1f %% of one core;\n",
              sound, 2.8 * decode, 2.8 * paintBright, floor);
  std::printf("  playback %.1f %% is %.2f times the floor (the rest: %.1f %%)\n", playbackPercent,
              playbackPercent / floor, playbackPercent - floor);
  Figure("part_decode_ms", decode);
  Figure("part_paint_ms", paintBright);
  Figure("table_pass_ms", paintBright - paintPlain);
  Figure("part_sound_percent", sound);
  Figure("floor_percent", floor);
  Figure("floor_ratio", playbackPercent / floor);
  Figure("paused_percent", idle);
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const size_t i = static_cast<size_t>(std::ceil(p / 100.0 * values.size())) - 1;
  return values[std::min(i, values.size() - 1)];
}

// Figures over the paints whose sound position is at or after fromMs. A frame counts as
// shown if it was painted at any time (frames are painted a little before they are due,
// so the first frame of the window may come just before it).
struct Quality {
  int dropped = 0;
  double median = 0, p99 = 0;
};

Quality Report(const char* title, const PlaybackOwner& owner, int frameCount, int32_t fromMs,
               int firstDueFrame) {
  std::vector<double> offsets;
  int early = 0;
  std::set<int> shown;
  for (const Paint& p : owner.paints) {
    shown.insert(p.slot);
    if (p.soundState != SoundState::Playing || p.soundMs < fromMs) continue;
    // The picture's own time against the sound clock at the moment it is drawn.
    const double offset = p.slot * player::kFramePeriodMs - p.soundMs;
    offsets.push_back(std::fabs(offset));
    if (offset > 0) ++early;
  }
  int dropped = 0;
  int due = 0;
  for (int f = firstDueFrame; f < frameCount; ++f) {
    ++due;
    if (!shown.count(f)) ++dropped;
  }
  std::printf("%s\n", title);
  std::printf("  frames due %d, dropped %d\n", due, dropped);
  std::printf("  |frame shown - frame due by the sound clock|: median %.1f ms, p99 %.1f ms, "
              "max %.1f ms (%d of %zu paints ahead of the sound)\n",
              Percentile(offsets, 50), Percentile(offsets, 99),
              offsets.empty() ? 0.0 : *std::max_element(offsets.begin(), offsets.end()), early,
              offsets.size());
  return {dropped, Percentile(offsets, 50), Percentile(offsets, 99)};
}

int Run(const std::vector<std::wstring>& args) {
  std::wstring path;
  int32_t settleMs = 3000;
  std::wstring tracePath;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--settle" && i + 1 < args.size()) {
      settleMs = _wtoi(args[++i].c_str());
    } else if (args[i] == L"--trace" && i + 1 < args.size()) {
      tracePath = args[++i];
    } else {
      path = args[i];
    }
  }
  std::filesystem::path made;
  if (path.empty()) {
    made = std::filesystem::temp_directory_path() / "pathscope-playback-bench";
    std::filesystem::create_directories(made);
    path = (made / "0001_001.DAT").wstring();
    recsim::RecordingDescription d;
    d.durationMs = 60000;
    std::printf("writing a 60-second recording with sound...\n");
    std::fflush(stdout);
    recsim::WriteRecording(d, path);
  }

  const double memoryBefore = WorkingSetMb();
  PlaybackOwner* owner = new PlaybackOwner();
  VideoPlayer* player = new VideoPlayer(*owner);
  owner->player = player;
  if (!tracePath.empty()) owner->trace = _wfopen(tracePath.c_str(), L"w");
  player->setSingleFile(path);
  if (!player->openRecordingAt(0)) {
    std::fprintf(stderr, "the recording cannot be read\n");
    DestroyWindow(owner->handle());
    return 1;
  }
  const int frames = player->frameCount();
  std::printf("%d frames (%.1f s), sound %s, drawing with %s\n", frames,
              frames * player::kFramePeriodMs / 1000.0,
              player->sound().getState() == SoundState::Closed ? "none" : "open",
              player->drawsWithDrawDib() ? "DrawDib" : "StretchDIBits");
  PumpFor(300);

  owner->measuring = true;
  const double cpu0 = CpuSeconds();
  const DWORD wall0 = timeGetTime();
  player->playFrom(0);
  const DWORD limit = static_cast<DWORD>(frames * player::kFramePeriodMs) + 15000;
  double memoryPeak = WorkingSetMb();
  while (player->state() == PlayerState::Playing && timeGetTime() - wall0 < limit) {
    PumpFor(50);
    memoryPeak = std::max(memoryPeak, WorkingSetMb());
  }
  const double wall = (timeGetTime() - wall0) / 1000.0;
  const double cpu = CpuSeconds() - cpu0;
  owner->measuring = false;

  // When did the sound clock start to run at real speed? The audio server's start-up
  // holds the position back at first.
  DWORD firstMove = 0;
  for (const Paint& p : owner->paints) {
    if (p.soundState == SoundState::Playing && p.soundMs > 0) {
      firstMove = p.time - wall0;
      break;
    }
  }
  std::printf("played %.2f s (ended %s at frame %d), sound clock first moved after %lu ms\n", wall,
              player->state() == PlayerState::Paused ? "paused" : "still playing",
              player->currentFrame(), static_cast<unsigned long>(firstMove));
  std::set<int> shown;
  for (const Paint& p : owner->paints) shown.insert(p.slot);
  std::printf("frames due %d, requested %d (refused by a busy loader %d), shown %zu (paints %zu)\n",
              frames, owner->requested, owner->refused, shown.size(), owner->paints.size());
  Report("whole recording:", *owner, frames, 0, 0);
  const Quality settled = Report("after the first second of sound:", *owner, frames, 1000, 28);
  char title[96];
  std::snprintf(title, sizeof title, "after %d ms of sound (audio start-up excluded):", settleMs);
  Report(title, *owner, frames, settleMs, static_cast<int>(settleMs / player::kFramePeriodMs) + 1);
  std::printf("CPU %.3f s for %.2f s of playback: %.1f%% of one core\n", cpu, wall,
              100.0 * cpu / wall);
  // The process's own peak counts the writing of the recording too: sampled instead.
  const double memoryAbove = memoryPeak - memoryBefore;
  std::printf("memory: at most %.1f MB above the process before the recording was opened\n", memoryAbove);
  Figure("dropped", settled.dropped);
  Figure("offset_median", settled.median);
  Figure("offset_p99", settled.p99);
  Figure("cpu_percent", 100.0 * cpu / wall);
  Figure("play_memory_mb", memoryAbove);
  BreakDown(*player, path, 100.0 * cpu / wall);

  if (owner->trace != nullptr) std::fclose(owner->trace);
  DestroyWindow(owner->handle());
  if (!made.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(made, ignored);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    return Run(std::vector<std::wstring>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  } catch (const Exception& e) {
    fwprintf(stderr, L"%ls\n", e.message.c_str());
  }
  return 1;
}
