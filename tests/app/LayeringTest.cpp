// The folders of src/ depend on each other one way: each includes (and its libraries
// link) only the folders below it, and the portable files stay free of Windows'
// headers. The checks read the source tree itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

// Every folder of src/, lowest first, with the folders it may include besides itself.
// A folder may use only folders listed above it, so the graph has no cycle.
struct Layer {
  std::string folder;
  std::vector<std::string> uses;
};
const std::vector<Layer> kLayers = {
    {"foundation", {}},
    {"toolkit", {"foundation"}},
    {"recording", {"foundation", "toolkit"}},
    {"device", {"foundation", "recording"}},
    {"restore", {"foundation", "device", "toolkit"}},
    {"playback", {"foundation", "recording", "toolkit"}},
    {"export", {"foundation", "recording", "toolkit"}},
    {"devicedialogs", {"foundation", "device", "restore", "toolkit"}},
    {"app", {"foundation", "toolkit", "recording", "device", "restore", "playback", "export", "devicedialogs"}},
};

// Files without "_win" in their names that include Windows' headers all the same: the
// entry point, which only the Windows flavour builds, and a header whose Windows part
// is behind _WIN32.
const std::set<std::string> kWindowsHeadersAllowed = {"app/Main.cpp", "toolkit/AlphaImage.h"};

const Layer* FindLayer(const std::string& folder) {
  for (const Layer& layer : kLayers)
    if (layer.folder == folder) return &layer;
  return nullptr;
}

bool MayUse(const std::string& from, const std::string& to) {
  if (from == to) return true;
  const Layer* layer = FindLayer(from);
  return layer != nullptr && std::find(layer->uses.begin(), layer->uses.end(), to) != layer->uses.end();
}

// "app may include only itself and foundation, ...", for the findings.
std::string OnlyAllowed(const std::string& folder, const std::string& verb) {
  std::string text = folder + " may " + verb + " only itself";
  const Layer* layer = FindLayer(folder);
  if (layer == nullptr || layer->uses.empty()) return text;
  text += " and ";
  for (size_t i = 0; i < layer->uses.size(); ++i) text += (i == 0 ? "" : ", ") + layer->uses[i];
  return text;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The files under `src`, as "folder/.../name", sorted so that findings come in order.
std::vector<std::string> SourceFiles(const fs::path& src) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(src))
    if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(src).generic_string());
  std::sort(files.begin(), files.end());
  return files;
}

bool IsWindowsOnly(const std::string& file) { return fs::path(file).filename().string().find("_win") != std::string::npos; }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

// An include directive of `line`: its opening delimiter ('<' or '"') and the header.
bool ParseInclude(const std::string& line, char& open, std::string& header) {
  size_t at = line.find_first_not_of(" \t");
  if (at == std::string::npos || line[at] != '#') return false;
  at = line.find_first_not_of(" \t", at + 1);
  if (at == std::string::npos || line.compare(at, 7, "include") != 0) return false;
  at = line.find_first_not_of(" \t", at + 7);
  if (at == std::string::npos || (line[at] != '<' && line[at] != '"')) return false;
  open = line[at];
  const size_t end = line.find(open == '<' ? '>' : '"', at + 1);
  if (end == std::string::npos) return false;
  header = line.substr(at + 1, end - at - 1);
  return true;
}

// The argument lists of the target_link_libraries calls of a CMake file, comments left out.
std::vector<std::string> LinkCalls(const std::string& text) {
  std::string code;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) code += line.substr(0, line.find('#')) + "\n";
  static const std::string kCall = "target_link_libraries";
  std::vector<std::string> calls;
  for (size_t at = code.find(kCall); at != std::string::npos; at = code.find(kCall, at + 1)) {
    const size_t open = code.find_first_not_of(" \t\n", at + kCall.size());
    if (open == std::string::npos || code[open] != '(') continue;
    const size_t close = code.find(')', open);
    if (close == std::string::npos) break;
    calls.push_back(code.substr(open + 1, close - open - 1));
  }
  return calls;
}

// Every include of every file under `src` that breaks a rule, one line each, naming the
// file, the line and the include. `allowedWindows` lists the portable files that may
// include Windows' headers; one that no longer does is reported too, so the list stays
// true.
std::vector<std::string> IncludeFindings(const fs::path& src, const std::set<std::string>& allowedWindows) {
  std::vector<std::string> findings;
  std::set<std::string> windowsSeen;
  for (const std::string& file : SourceFiles(src)) {
    const std::string folder = file.substr(0, file.find('/'));
    std::istringstream lines(ReadAll(src / file));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
      char open = 0;
      std::string header;
      if (!ParseInclude(line, open, header)) continue;
      const bool quoted = open == '"';
      const std::string where =
          file + ":" + std::to_string(number) + ": #include " + open + header + (quoted ? '"' : '>');
      const std::string name = Lower(fs::path(header).filename().string());
      if (!IsWindowsOnly(file) && (name == "windows.h" || name.find("_win.h") != std::string::npos)) {
        if (allowedWindows.count(file) != 0) {
          windowsSeen.insert(file);
        } else {
          findings.push_back(where + ": a portable file includes a Windows header");
        }
      }
      if (!quoted) continue;
      if (header.rfind("../", 0) == 0) {
        findings.push_back(where + ": includes name their folder from src/, not a relative path");
        continue;
      }
      const size_t slash = header.find('/');
      if (slash == std::string::npos) continue;  // beside the file, or generated
      const std::string target = header.substr(0, slash);
      if (FindLayer(target) == nullptr) {
        findings.push_back(where + ": " + target + " is no folder of src/ with rules");
      } else if (!MayUse(folder, target)) {
        findings.push_back(where + ": " + OnlyAllowed(folder, "include"));
      }
    }
  }
  for (const std::string& file : allowedWindows)
    if (windowsSeen.count(file) == 0) findings.push_back(file + ": allowed Windows' headers, but includes none");
  return findings;
}

// Every library of a folder of `src` linked in its CMakeLists.txt against a library of
// a folder the first may not use.
std::vector<std::string> LinkFindings(const fs::path& src) {
  static const std::string kPrefix = "pathscope_";
  std::vector<std::string> findings;
  for (const Layer& layer : kLayers) {
    const fs::path list = src / layer.folder / "CMakeLists.txt";
    if (!fs::exists(list)) continue;
    for (const std::string& call : LinkCalls(ReadAll(list))) {
      std::istringstream words(call);
      std::string target, word;
      words >> target;
      while (words >> word) {
        if (word.rfind(kPrefix, 0) != 0) continue;
        const std::string library = word.substr(kPrefix.size());
        if (FindLayer(library) != nullptr && !MayUse(layer.folder, library))
          findings.push_back(layer.folder + "/CMakeLists.txt: " + target + " links " + word + ", but " +
                             OnlyAllowed(layer.folder, "link"));
      }
    }
  }
  return findings;
}

const fs::path& SourceRoot() {
  static const fs::path src = fs::path(PATHSCOPE_SOURCE_DIR) / "src";
  return src;
}

std::string Listed(const std::vector<std::string>& findings) {
  std::string text;
  for (const std::string& finding : findings) text += "\n  " + finding;
  return text;
}

TEST(Layering, EachFolderUsesOnlyFoldersListedBelowIt) {
  std::set<std::string> below;
  for (const Layer& layer : kLayers) {
    for (const std::string& use : layer.uses)
      EXPECT_TRUE(below.count(use) != 0) << layer.folder << " uses " << use << ", which is not below it";
    EXPECT_TRUE(below.insert(layer.folder).second) << layer.folder << " is listed twice";
  }
}

TEST(Layering, EveryFolderOfTheSourcesHasItsRules) {
  std::set<std::string> folders;
  for (const auto& entry : fs::directory_iterator(SourceRoot()))
    if (entry.is_directory()) folders.insert(entry.path().filename().string());
  std::set<std::string> listed;
  for (const Layer& layer : kLayers) listed.insert(layer.folder);
  EXPECT_EQ(folders, listed);
}

TEST(Layering, FilesIncludeOnlyTheFoldersTheirFolderMayUse) {
  const std::vector<std::string> findings = IncludeFindings(SourceRoot(), kWindowsHeadersAllowed);
  EXPECT_TRUE(findings.empty()) << Listed(findings);
}

TEST(Layering, LibrariesLinkOnlyTheLibrariesOfTheFoldersTheirFolderMayUse) {
  const std::vector<std::string> findings = LinkFindings(SourceRoot());
  EXPECT_TRUE(findings.empty()) << Listed(findings);
}

// The checks themselves, on a small tree of their own: each broken rule is named with
// the file, the line and the include (or link), and what keeps the rules is left alone.
TEST(Layering, TheChecksNameEachBrokenRule) {
  const struct {
    const char* file;
    const char* text;
    std::vector<std::string> findings;
  } cases[] = {
      {"foundation/Fine.h", "#include <vector>\n#include \"foundation/Other.h\"\n#include \"Generated.inc\"\n", {}},
      {"app/Fine_win.cpp", "#include <windows.h>\n#include \"devicedialogs/D_win.h\"\n", {}},
      {"devicedialogs/Up.cpp", "#include \"device/D.h\"\n  #  include \"app/ResourceIds.h\"\n",
       {"devicedialogs/Up.cpp:2: #include \"app/ResourceIds.h\": devicedialogs may include only itself and "
        "foundation, device, restore, toolkit"}},
      {"foundation/Up.h", "#include \"toolkit/Image.h\"\n",
       {"foundation/Up.h:1: #include \"toolkit/Image.h\": foundation may include only itself"}},
      {"toolkit/Relative.cpp", "#include \"../app/X.h\"\n",
       {"toolkit/Relative.cpp:1: #include \"../app/X.h\": includes name their folder from src/, not a relative "
        "path"}},
      {"toolkit/Unknown.cpp", "#include \"extras/X.h\"\n",
       {"toolkit/Unknown.cpp:1: #include \"extras/X.h\": extras is no folder of src/ with rules"}},
      {"recording/Portable.cpp", "#include <Windows.h>\n",
       {"recording/Portable.cpp:1: #include <Windows.h>: a portable file includes a Windows header"}},
      {"playback/Portable.h", "#include \"toolkit/Window_win.h\"\n",
       {"playback/Portable.h:1: #include \"toolkit/Window_win.h\": a portable file includes a Windows header"}},
      {"app/Allowed.cpp", "#include <windows.h>\n", {}},
      {"app/AllowedNoLonger.cpp", "#include <string>\n",
       {"app/AllowedNoLonger.cpp: allowed Windows' headers, but includes none"}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const fs::path src = dir.path() / "src";
    fs::create_directories((src / c.file).parent_path());
    std::ofstream(src / c.file, std::ios::binary) << c.text;
    std::set<std::string> allowed;
    if (std::string(c.file).rfind("app/Allowed", 0) == 0) allowed.insert(c.file);
    EXPECT_EQ(IncludeFindings(src, allowed), c.findings) << c.file;
  }

  TempDir dir;
  const fs::path src = dir.path() / "src";
  fs::create_directories(src / "devicedialogs");
  std::ofstream(src / "devicedialogs" / "CMakeLists.txt")
      << "# target_link_libraries(pathscope_devicedialogs PUBLIC pathscope_playback)\n"
         "target_link_libraries(pathscope_devicedialogs PUBLIC pathscope_device Pathscope::png\n"
         "                      pathscope_app comctl32)\n";
  EXPECT_EQ(LinkFindings(src),
            std::vector<std::string>{"devicedialogs/CMakeLists.txt: pathscope_devicedialogs links pathscope_app, but "
                                     "devicedialogs may link only itself and foundation, device, restore, toolkit"});
}

}  // namespace
