// pscope: inspect and extract recordings and device files from the command line, with
// the viewer's own code.
#include <cstdio>
#include <map>
#include <string>

#include "Command.h"
#include "foundation/Exception.h"
#include "foundation/Utf8.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace pscope {
namespace {

struct Command {
  const char* usage;
  CommandFn run;
};

std::map<std::string, Command>& Commands() {
  static std::map<std::string, Command> commands;
  return commands;
}

void Usage() {
  std::string text = "usage:\n";
  for (const auto& c : Commands()) text += std::string("  pscope ") + c.second.usage + "\n";
  std::fputs(text.c_str(), stderr);
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage, CommandFn run) {
  Commands()[name] = Command{usage, run};
}

void Out(const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stdout); }
void Out(const std::wstring& text) { Out(ToUtf8(text)); }
void Err(const std::wstring& text) {
  const std::string bytes = ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  if (bytes.empty() || bytes.back() != '\n') std::fputc('\n', stderr);
}

int Run(const std::vector<std::wstring>& argv) {
  if (argv.empty()) {
    Usage();
    return 2;
  }
  const auto it = Commands().find(ToUtf8(argv[0]));
  if (it == Commands().end()) {
    Usage();
    return 2;
  }
  try {
    return it->second.run(Args(argv.begin() + 1, argv.end()));
  } catch (const UsageError&) {
    std::fprintf(stderr, "usage: pscope %s\n", it->second.usage);
    return 2;
  } catch (const Exception& e) {
    Err(e.message);
    return 1;
  } catch (const DataMissingException&) {
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}

}  // namespace pscope

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  // Bytes out exactly as written: no CR inserted before LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  const int code = pscope::Run(args);
  std::fflush(stdout);
  return code;
}
#else
int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
  const int code = pscope::Run(args);
  std::fflush(stdout);
  return code;
}
#endif
