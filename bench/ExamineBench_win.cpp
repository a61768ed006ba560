// Examining a moment: how quickly a frame step shows its picture, forwards and
// backwards, and how playback at 8 times and backwards keeps up, through the real
// player in a window on a recording (a maximum-size one in `make bench`).
//
//   examine_bench ARCHIVE
//
// A step is timed from the command to the paint of its picture. The figures are
// printed as FIGURE lines for bench/run-all.
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "BenchOwner_win.h"
#include "foundation/Exception.h"
#include "playback/PlaySpeed.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/MessagePump_win.h"

namespace {

class ExamineOwner : public BenchOwner {
 public:
  ExamineOwner() : BenchOwner(L"examine") {}
  void framePainted(int slot) override {
    lastPainted = slot;
    if (recording) painted.push_back({slot, timeGetTime()});
  }

  struct Painted {
    int slot;
    DWORD time;
  };
  int lastPainted = -1;
  bool recording = false;
  std::vector<Painted> painted;
};

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * double(c.QuadPart) / double(f.QuadPart);
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t i = std::min(values.size() - 1, static_cast<size_t>(p / 100.0 * double(values.size())));
  return values[i];
}

void Figure(const char* name, double value) { std::printf("FIGURE %s %.4f\n", name, value); }

// Milliseconds from each step to the paint of the frame it names.
std::vector<double> StepLatencies(VideoPlayer& player, ExamineOwner& owner, int steps, int direction) {
  std::vector<double> latencies;
  for (int i = 0; i < steps; ++i) {
    const int32_t target = player.currentFrame() + direction;
    const double start = NowMs();
    player.step(direction);
    // The picture of a slot shared by two frames is already on screen: nothing to wait for.
    PumpUntil([&] { return owner.lastPainted == player::SlotToRequest(target, player.frameCount(), player.info()->GetImagesPerSlot()); },
              1000);
    latencies.push_back(NowMs() - start);
  }
  return latencies;
}

struct Played {
  double framesPerSecond = 0;
  double cpuPercent = 0;
  int droppedAfterFirstSecond = 0;
};

// Plays for `ms` from `from` at a speed and direction, then pauses.
Played Play(VideoPlayer& player, ExamineOwner& owner, int speed, bool backward, int32_t from, DWORD ms) {
  player.seek(from);
  PumpFor(200);
  player.setSpeed(speed, backward);
  owner.painted.clear();
  owner.recording = true;
  const double cpu0 = CpuSeconds();
  const DWORD start = timeGetTime();
  player.playFrom(from);
  PumpFor(ms);
  const double cpu = CpuSeconds() - cpu0;
  const DWORD wall = timeGetTime() - start;
  player.pause();
  owner.recording = false;
  player.setSpeed(playspeed::kNormal, false);

  Played p;
  std::set<int> shown;
  for (const auto& paint : owner.painted) shown.insert(paint.slot);
  p.framesPerSecond = 1000.0 * double(shown.size()) / double(wall);
  p.cpuPercent = 100.0 * cpu / (wall / 1000.0);
  // After the first second, every frame the clock passed must have been shown.
  if (!owner.painted.empty()) {
    const int step = backward ? -1 : 1;
    const int32_t first = from + step * 28;
    const int32_t last = owner.painted.back().slot;
    const int per = player.info()->GetImagesPerSlot();
    for (int32_t f = first; backward ? f >= last : f <= last; f += step) {
      p.droppedAfterFirstSecond += shown.count(player::SlotToRequest(f, player.frameCount(), per)) == 0;
    }
  }
  return p;
}

int Run(const std::wstring& path) {
  ExamineOwner* owner = new ExamineOwner();
  VideoPlayer* player = new VideoPlayer(*owner);
  player->setSingleFile(path);
  if (!player->openRecordingAt(0)) {
    std::fprintf(stderr, "the recording cannot be read\n");
    DestroyWindow(owner->handle());
    return 1;
  }
  const int32_t frames = player->frameCount();
  std::printf("%d frames\n", frames);
  const int32_t middle = frames / 2;
  player->seek(middle);
  PumpFor(300);

  const std::vector<double> forward = StepLatencies(*player, *owner, 200, 1);
  const std::vector<double> back = StepLatencies(*player, *owner, 200, -1);
  const double forwardMedian = Percentile(forward, 50);
  const double backMedian = Percentile(back, 50);
  std::printf("step forward: median %.2f ms, p99 %.2f ms; back: median %.2f ms, p99 %.2f ms\n",
              forwardMedian, Percentile(forward, 99), backMedian, Percentile(back, 99));
  Figure("step_forward_p99", Percentile(forward, 99));
  Figure("step_back_p99", Percentile(back, 99));
  Figure("step_back_ratio", forwardMedian > 0 ? backMedian / forwardMedian : 0);

  const Played fast = Play(*player, *owner, playspeed::kCount - 1, false, middle, 4000);
  std::printf("8 times: %.1f frames shown a second, %.1f%% of one core\n", fast.framesPerSecond, fast.cpuPercent);
  Figure("fast_fps", fast.framesPerSecond);
  Figure("fast_cpu_percent", fast.cpuPercent);
  const Played reverse = Play(*player, *owner, playspeed::kNormal, true, middle, 4000);
  std::printf("backwards at 1 time: %d frames dropped after the first second, %.1f frames a second\n",
              reverse.droppedAfterFirstSecond, reverse.framesPerSecond);
  Figure("reverse_dropped", reverse.droppedAfterFirstSecond);
  DestroyWindow(owner->handle());
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: examine_bench ARCHIVE\n");
    return 2;
  }
  try {
    return Run(argv[1]);
  } catch (const Exception& e) {
    fwprintf(stderr, L"%ls\n", e.message.c_str());
  }
  return 1;
}
