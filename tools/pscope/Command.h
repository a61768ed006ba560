#pragma once
// The subcommands of pscope. Each source file of the tool registers its own commands
// with PSCOPE_COMMAND; Main.cpp dispatches and turns failures into exit codes:
//   0 success; 1 failure (the exception's text on stderr); 2 wrong usage (usage on stderr).
#include <string>
#include <vector>

namespace pscope {

using Args = std::vector<std::wstring>;  // the arguments after the subcommand's name
using CommandFn = int (*)(const Args& args);

struct CommandRegistration {
  CommandRegistration(const char* name, const char* usage, CommandFn run);
};

// Thrown by a command for wrong usage; Main prints the command's usage and exits 2.
struct UsageError {};

// Standard output and error carry UTF-8.
void Out(const std::string& utf8);
void Out(const std::wstring& text);
void Err(const std::wstring& text);

}  // namespace pscope

#define PSCOPE_CONCAT2(a, b) a##b
#define PSCOPE_CONCAT(a, b) PSCOPE_CONCAT2(a, b)
#define PSCOPE_COMMAND(name, usage, fn) \
  static const ::pscope::CommandRegistration PSCOPE_CONCAT(pscope_command_, __LINE__)(name, usage, fn)
