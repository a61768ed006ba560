// Figures of the clip export on a maximum-size recording (the archive benchmark's file),
// from the page cache:
//   lossless: the whole recording exported (clip, table, hash list) from the loaded
//             recording, against a plain copy of the archive file (reads and writes of
//             the same bytes, as cp makes them), in alternating rounds, best of each;
//   overlay:  pictures a second of an export with the burned-in band (decode, draw,
//             encode at quality 92), run under one core by the script: per second of
//             the process's processor time (the figure, which other programs on the
//             machine do not disturb) and per second of the clock.
//
//   export_bench PATH OUT_DIR             the lossless figure
//   export_bench --overlay PATH OUT_DIR   the overlay figure
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/ClipExport.h"
#include "export/ExportFiles.h"
#include "export/Sha256.h"
#include "foundation/Exception.h"
#include "foundation/Utf8.h"
#include "recording/RecordingFiles.h"
#include "recording/VideoArchive.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace {

// Processor time of the whole process (every thread), in seconds.
double ProcessorSeconds() {
#ifdef _WIN32
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
#else
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
#endif
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::wstring Join(const std::wstring& dir, const std::wstring& name) {
  return dir + recfiles::PathSeparator() + name;
}

// The archive's bytes read and written again in 1 MiB pieces, as cp does.
double PlainCopy(const std::wstring& from, const std::wstring& to, int64_t& bytes) {
  const auto start = Clock::now();
  auto source = recfiles::OpenForReading(from);
  auto target = exportfiles::Create(to);
  if (!source || !target) throw std::runtime_error("cannot copy the recording");
  std::vector<uint8_t> piece(size_t(1) << 20);
  bytes = 0;
  for (;;) {
    const size_t got = source->ReadAt(bytes, piece.data(), piece.size());
    if (got == 0) break;
    if (!target->WriteAt(bytes, piece.data(), got)) throw std::runtime_error("copy write failed");
    bytes += static_cast<int64_t>(got);
  }
  if (!target->Close()) throw std::runtime_error("copy close failed");
  return Seconds(start);
}

void RemoveClip(const std::wstring& clip) {
  for (const wchar_t* ext : {L".avi", L".csv", L".sha256"}) exportfiles::Remove(BesideClip(clip, ext));
}

int Lossless(const std::wstring& path, const std::wstring& dir) {
  VideoArchive archive;
  auto start = Clock::now();
  archive.Load(path, nullptr);
  const double load = Seconds(start);
  std::printf("recording: %d slots, load %.3f s; SHA instructions: %s\n", archive.SlotCount(), load,
              Sha256::UsesShaInstructions() ? "yes" : "no");
  const std::wstring copy = Join(dir, L"copy.DAT");
  const std::wstring clip = Join(dir, L"clip.avi");
  double bestCopy = 1e9, bestExport = 1e9;
  int64_t bytes = 0;
  for (int round = 0; round < 3; ++round) {
    const double c = PlainCopy(path, copy, bytes);
    exportfiles::Remove(copy);
    start = Clock::now();
    ClipRequest request;
    request.archivePath = path;
    request.clipPath = clip;
    if (ExportClip(archive, request, nullptr) != ClipOutcome::kWritten) throw std::runtime_error("export stopped");
    const double e = Seconds(start);
    RemoveClip(clip);
    std::printf("round %d: copy %.3f s (%.0f MB/s), export %.3f s (%.0f MB/s)\n", round + 1, c, bytes / c / 1e6, e,
                bytes / e / 1e6);
    bestCopy = std::min(bestCopy, c);
    bestExport = std::min(bestExport, e);
  }
  std::printf("lossless export of the loaded recording: %.2f of the copy's speed (best %.3f s against %.3f s)\n",
              bestCopy / bestExport, bestExport, bestCopy);
  std::printf("FIGURE export_ratio %.3f\n", bestCopy / bestExport);
  return 0;
}

int Overlay(const std::wstring& path, const std::wstring& dir) {
  VideoArchive archive;
  archive.Load(path, nullptr);
  ClipRequest request;
  request.archivePath = path;
  request.clipPath = Join(dir, L"band.avi");
  request.overlay = true;
  request.last = std::min(archive.SlotCount(), 1500) - 1;
  const auto start = Clock::now();
  const double processorStart = ProcessorSeconds();
  if (ExportClip(archive, request, nullptr) != ClipOutcome::kWritten) throw std::runtime_error("export stopped");
  const double seconds = Seconds(start);
  const double processor = ProcessorSeconds() - processorStart;
  RemoveClip(request.clipPath);
  const int pictures = request.last + 1;
  std::printf("overlay export: %d pictures in %.3f s (%.1f a second), %.3f s of processor time (%.1f a second)\n",
              pictures, seconds, pictures / seconds, processor, pictures / processor);
  std::printf("FIGURE overlay_fps %.1f\n", pictures / processor);
  return 0;
}

int Run(const std::vector<std::wstring>& args) {
  try {
    if (args.size() == 3 && args[0] == L"--overlay") return Overlay(args[1], args[2]);
    if (args.size() == 2) return Lossless(args[0], args[1]);
    std::fprintf(stderr, "usage: export_bench [--overlay] PATH OUT_DIR\n");
    return 2;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", ToUtf8(e.message).c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  return 1;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return Run(std::vector<std::wstring>(argv + 1, argv + argc)); }
#else
int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
  return Run(args);
}
#endif
