// Playback quality: plays a recording with sound through the real player in a window
// and counts what a viewer is judged by: frames due, requested, shown and dropped, how
// far the picture on screen is from the sound clock when it appears, and the processor
// time spent per second of playback.
//
//   playback_bench                 writes a 60-second recording with sound and plays it
//   playback_bench ARCHIVE         plays ARCHIVE (the test bed for opening a recording)
//   playback_bench --settle MS     figures also counted from MS of sound on (default 3000)
//   playback_bench --trace FILE    writes every request (R) and paint (P) as: time, sound ms, frame
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "RecorderSimulator.h"
#include "foundation/Exception.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/MessagePump_win.h"

namespace {

struct Paint {
  int slot;
  SoundState soundState;
  int32_t soundMs;
  DWORD time;
};

class BenchOwner : public Window, public IPlayerOwner {
 public:
  BenchOwner() {
    WindowCreateParams p;
    p.className = MAKEINTATOM(defaultClass());
    p.title = L"playback";
    p.style = WS_POPUP | WS_VISIBLE;
    p.width = 640;
    p.height = 480;
    p.instance = classInstance();
    create(p);
  }
  HWND ownerWindow() const override { return handle(); }
  void refreshPlayback() override {}
  void setBusy(bool) override {}
  void setConfigurationEnabled(bool) override {}
  void recordingChanged() override {}
  void resetView() override {}
  void stepRecording(bool) override {}
  void showWarning(const std::wstring& text) override {
    fwprintf(stderr, L"warning: %ls\n", text.c_str());
  }
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

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
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
void Report(const char* title, const BenchOwner& owner, int frameCount, int32_t fromMs,
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

  BenchOwner* owner = new BenchOwner();
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
  while (player->state() == PlayerState::Playing && timeGetTime() - wall0 < limit) PumpFor(50);
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
  Report("after the first second of sound:", *owner, frames, 1000, 28);
  char title[96];
  std::snprintf(title, sizeof title, "after %d ms of sound (audio start-up excluded):", settleMs);
  Report(title, *owner, frames, settleMs, static_cast<int>(settleMs / player::kFramePeriodMs) + 1);
  std::printf("CPU %.3f s for %.2f s of playback: %.1f%% of one core\n", cpu, wall,
              100.0 * cpu / wall);

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
