// recsim: writes simulated drive-recorder archives and a demo memory card.
//   recsim write OUT.DAT [--start "YYYY-MM-DD HH:MM:SS"] [--seconds N] [--seed N] [--id N]
//                        [--fault NAME ...] [--fast] [--quality Q] [--target-bytes N]
//                        [--switch MS ...] [--sound-offset MS]
//   recsim card DIR
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "DemoCard.h"
#include "RecorderSimulator.h"
#include "RecsimOptions.h"
#include "foundation/Utf8.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char kUsage[] =
    "usage:\n"
    "  recsim write OUT.DAT [--start \"YYYY-MM-DD HH:MM:SS\"] [--seconds N | --pictures N] [--seed N] [--id N]\n"
    "                       [--fault NAME ...] [--fast] [--quality Q] [--target-bytes N]\n"
    "                       [--switch MS ...] [--sound-offset MS] [--no-sound] [--detail 0..100]\n"
    "  recsim card DIR\n"
    "faults: garbage older-tail truncated missing-fragment no-end-marker other-version\n"
    "        tick-wrap invalid-date collision\n";

void Out(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

std::string Describe(const LocalDateTime& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

int WriteCommand(const std::vector<std::wstring>& args) {
  const recsim::WriteOptions options = recsim::ParseWriteOptions(args);
  const recsim::RecordingManifest m = recsim::WriteRecording(options.description, options.path);
  uint64_t jpegBytes = 0;
  int multi = 0;
  for (const auto& p : m.pictures) {
    jpegBytes += p.jpeg->size();
    if (p.fragmentCount > 1) ++multi;
  }
  char line[256];
  std::snprintf(line, sizeof line,
                "%s: %llu bytes, %zu pictures (%d in several fragments, %llu JPEG bytes on average), "
                "%zu sound blocks, start %s, tick %lu, id 0x%08lX\n",
                ToUtf8(options.path).c_str(), static_cast<unsigned long long>(m.fileSize), m.pictures.size(), multi,
                static_cast<unsigned long long>(m.pictures.empty() ? 0 : jpegBytes / m.pictures.size()),
                m.sounds.size(), Describe(m.start).c_str(), static_cast<unsigned long>(m.startTick),
                static_cast<unsigned long>(m.archiveId));
  Out(line);
  for (const std::string& note : recsim::DescribeFaults(options.description, m)) Out("  " + note + "\n");
  return 0;
}

int CardCommand(const std::vector<std::wstring>& args) {
  if (args.size() != 1) throw recsim::UsageError("card takes one folder");
  uint64_t total = 0;
  for (const recsim::CardFile& f : recsim::DemoCard::Write(args[0])) {
    char line[256];
    if (f.pictures > 0) {
      std::snprintf(line, sizeof line, "%s  %9llu bytes  %5d pictures  %4d sound blocks  %s\n",
                    ToUtf8(f.name).c_str(), static_cast<unsigned long long>(f.size), f.pictures, f.soundBlocks,
                    Describe(f.start).c_str());
    } else {
      std::snprintf(line, sizeof line, "%s  %9llu bytes\n", ToUtf8(f.name).c_str(),
                    static_cast<unsigned long long>(f.size));
    }
    Out(line);
    total += f.size;
  }
  Out("total " + std::to_string(total) + " bytes in " + ToUtf8(args[0]) + "\n");
  return 0;
}

int Run(const std::vector<std::wstring>& args) {
  try {
    if (args.empty()) throw recsim::UsageError("no command");
    const std::vector<std::wstring> rest(args.begin() + 1, args.end());
    if (args[0] == L"write") return WriteCommand(rest);
    if (args[0] == L"card") return CardCommand(rest);
    throw recsim::UsageError("unknown command " + ToUtf8(args[0]));
  } catch (const recsim::UsageError& e) {
    std::fprintf(stderr, "recsim: %s\n%s", e.what(), kUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "recsim: %s\n", e.what());
    return 1;
  }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const int code = Run(std::vector<std::wstring>(argv + 1, argv + argc));
  std::fflush(stdout);
  return code;
}
#else
int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
  const int code = Run(args);
  std::fflush(stdout);
  return code;
}
#endif
