// Figures of the archive reader on a maximum-size recording (30000 pictures of about
// 35 KB with sound), read from the page cache:
//   open:   Load against one plain sequential read of the same file, and Load's read calls;
//   decode: ReadFrameImage over 1000 slots against libjpeg-turbo decoding the same JPEG
//           streams from memory to the same pixels in a tight loop;
//   memory: peak working set of the loaded recording above the process before it.
//
//   archive_bench --make PATH   writes the recording (once; it takes a while)
//   archive_bench PATH          measures and prints the figures
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "RecorderSimulator.h"
#include "foundation/Exception.h"
#include "foundation/Utf8.h"
#include "recording/RecordingFiles.h"
#include "recording/VideoArchive.h"
#include "toolkit/JpegDecoder.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// Resident memory now and at its peak, in bytes.
struct Memory {
  double current = 0;
  double peak = 0;
};

Memory MeasureMemory() {
  Memory m;
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS c{};
  c.cb = sizeof c;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c)) {
    m.current = static_cast<double>(c.WorkingSetSize);
    m.peak = static_cast<double>(c.PeakWorkingSetSize);
  }
#else
  FILE* f = std::fopen("/proc/self/status", "r");
  char line[256];
  while (f && std::fgets(line, sizeof line, f)) {
    long kb = 0;
    if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) m.current = kb * 1024.0;
    if (std::sscanf(line, "VmHWM: %ld", &kb) == 1) m.peak = kb * 1024.0;
  }
  if (f) std::fclose(f);
#endif
  return m;
}

// Lets the peak start again from the current size, where the system allows it.
void ResetPeak() {
#ifndef _WIN32
  if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
#endif
}

double SequentialRead(const std::wstring& path, int64_t& bytes) {
  auto source = recfiles::OpenForReading(path);
  if (!source) throw std::runtime_error("cannot open the recording");
  std::vector<uint8_t> buffer(size_t(1) << 20);
  const auto start = Clock::now();
  bytes = 0;
  for (;;) {
    const size_t got = source->ReadAt(bytes, buffer.data(), buffer.size());
    bytes += static_cast<int64_t>(got);
    if (got < buffer.size()) break;
  }
  return Seconds(start);
}

// libjpeg-turbo's own fastest way to the viewer's pixels, in a tight loop: one
// decompressor for all pictures, the memory source, 32-bit BGRX rows written by the
// library bottom-up into one reused buffer. The reference decode rate.
double ReferenceDecode(const std::vector<std::vector<uint8_t>>& streams) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  errors.output_message = [](j_common_ptr) {};  // the viewer's decoder is silent too
  jpeg_create_decompress(&cinfo);
  std::vector<JSAMPLE> pixels;
  std::vector<JSAMPROW> rows;
  const auto start = Clock::now();
  for (const auto& s : streams) {
    jpeg_mem_src(&cinfo, s.data(), static_cast<unsigned long>(s.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    const size_t rowBytes = static_cast<size_t>(cinfo.output_width) * 4;
    pixels.resize(rowBytes * cinfo.output_height);
    rows.resize(cinfo.output_height);
    for (JDIMENSION y = 0; y < cinfo.output_height; ++y) {
      rows[y] = pixels.data() + rowBytes * (cinfo.output_height - 1 - y);
    }
    while (cinfo.output_scanline < cinfo.output_height) {
      jpeg_read_scanlines(&cinfo, rows.data() + cinfo.output_scanline, cinfo.output_height - cinfo.output_scanline);
    }
    jpeg_finish_decompress(&cinfo);
  }
  const double seconds = Seconds(start);
  jpeg_destroy_decompress(&cinfo);
  return static_cast<double>(streams.size()) / seconds;
}

int Make(const std::wstring& path) {
  recsim::RecordingDescription d;
  d.durationMs = 1065000;  // 30000 pictures at 35.5 ms
  d.mode = recsim::PictureMode::Fast;
  d.fastVariants = 8;
  d.targetJpegBytes = 35000;
  d.switchPressesMs = {60000, 500000};
  const auto start = Clock::now();
  const auto m = recsim::WriteRecording(d, path);
  std::printf("wrote %zu pictures, %zu sound blocks, %.1f MB in %.1f s\n", m.pictures.size(), m.sounds.size(),
              static_cast<double>(m.fileSize) / 1e6, Seconds(start));
  return 0;
}

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// One line a figure for bench/run-all: FIGURE name value.
void Figure(const char* name, double value) { std::printf("FIGURE %s %.4f\n", name, value); }

// Reads and loads alternate, and each figure is the best of its rounds: on a shared
// machine the best round is the one the other work disturbed least, for both alike.
int Measure(const std::wstring& path) {
  int64_t bytes = 0;
  SequentialRead(path, bytes);  // into the page cache
  const Memory empty = MeasureMemory();

  constexpr int kRounds = 5;
  std::vector<double> reads, loads;
  uint64_t calls = 0;
  VideoArchive archive;
  for (int round = 0; round < kRounds; ++round) {
    reads.push_back(SequentialRead(path, bytes));
    const uint64_t before = recfiles::ReadCallCount();
    if (round == kRounds - 1) ResetPeak();
    const auto start = Clock::now();
    archive.Load(path, nullptr);
    loads.push_back(Seconds(start));
    calls = recfiles::ReadCallCount() - before;
  }
  const Memory loaded = MeasureMemory();
  const double read = Best(reads), load = Best(loads);
  std::printf("file: %.1f MB, %d slots, sound %u bytes%s\n", static_cast<double>(bytes) / 1e6, archive.SlotCount(),
              archive.SoundDataBytes(), archive.SoundStreamed() ? " (written during the scan)" : "");
  std::printf("open: sequential read %.3f s (%.0f MB/s), Load %.3f s, ratio %.2f (goal <= 1.2; best of %d)\n", read,
              static_cast<double>(bytes) / 1e6 / read, load, load / read, kRounds);
  std::printf("open: Load made %llu read calls (%.0f bytes a call)\n", static_cast<unsigned long long>(calls),
              static_cast<double>(bytes) / static_cast<double>(std::max<uint64_t>(calls, 1)));
  const double above = (loaded.peak - empty.current) / 1e6;
  std::printf("memory: %.1f MB before, peak %.1f MB with the recording loaded: %.1f MB above (goal <= 24)\n",
              empty.current / 1e6, loaded.peak / 1e6, above);
  Figure("read_s", read);
  Figure("load_s", load);
  Figure("load_ratio", load / read);
  Figure("read_calls", static_cast<double>(calls));
  Figure("load_memory_mb", above);

  const int frames = std::min(1000, archive.SlotCount());
  std::vector<std::vector<uint8_t>> streams(static_cast<size_t>(frames));
  for (int s = 0; s < frames; ++s) archive.ReadFrameJpeg(s, streams[static_cast<size_t>(s)]);
  std::vector<double> ours, reference, jpegReads, decodes;
  int decoded = 0;
  JpegDecoder decoder;
  for (int round = 0; round < 3; ++round) {
    auto start = Clock::now();
    decoded = 0;
    for (int s = 0; s < frames; ++s) decoded += archive.ReadFrameImage(s) != nullptr;
    ours.push_back(Seconds(start) / decoded);
    reference.push_back(1.0 / ReferenceDecode(streams));
    // The two halves of ReadFrameImage on their own.
    std::vector<uint8_t> jpeg;
    start = Clock::now();
    for (int s = 0; s < frames; ++s) archive.ReadFrameJpeg(s, jpeg);
    jpegReads.push_back(Seconds(start) / frames);
    start = Clock::now();
    for (const auto& stream : streams) decoder.Decode(stream.data(), stream.size(), ImageDecodingLimits());
    decodes.push_back(Seconds(start) / frames);
  }
  std::printf("decode: of which reading a picture's bytes %.3f ms, decoding them %.3f ms (best of 3)\n",
              Best(jpegReads) * 1e3, Best(decodes) * 1e3);
  const double oursRate = 1.0 / Best(ours), referenceRate = 1.0 / Best(reference);
  std::printf("decode: ReadFrameImage %.1f frames/s (%d of %d), libjpeg-turbo from memory %.1f frames/s, "
              "ratio %.2f (goal >= 0.9; best of 3)\n",
              oursRate, decoded, frames, referenceRate, oursRate / referenceRate);
  Figure("decode_ours", oursRate);
  Figure("decode_reference", referenceRate);
  Figure("decode_ratio", oursRate / referenceRate);
  return 0;
}

int Run(const std::vector<std::wstring>& args) {
  try {
    if (args.size() == 2 && args[0] == L"--make") return Make(args[1]);
    if (args.size() == 1) return Measure(args[0]);
    std::fputs("usage: archive_bench [--make] PATH\n", stderr);
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
