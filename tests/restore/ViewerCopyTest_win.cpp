// The copy of the running viewer onto the card, and its refusal to copy itself over
// itself when it runs from the card: from a folder and from the root of a drive (ctest
// maps one onto an empty folder for this program and names it in PATHSCOPE_TEST_DRIVE).
#include <gtest/gtest.h>

#include <cwctype>
#include <memory>

#include "CabinetTestSupport_win.h"
#include "ProbeProcess_win.h"
#include "restore/CardRestore.h"

namespace {

std::filesystem::path RunningExecutable() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

std::wstring EnvironmentValue(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(value) : std::wstring();
}

std::wstring ShortPath(const std::wstring& path) {
  wchar_t out[MAX_PATH] = {};
  const DWORD n = GetShortPathNameW(path.c_str(), out, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(out) : std::wstring();
}

// Runs only inside the copies started by RunProbe.
TEST(CopyViewer, SelfCopyProbe) {
  const std::wstring card = EnvironmentValue(L"PATHSCOPE_PROBE_CARD");
  if (card.empty()) GTEST_SKIP() << "helper of the RunningFromTheCard tests";
  EXPECT_EQ(Failure([&] { CopyViewer(card); }), L"(no exception)");
}

TEST(CopyViewer, CopiesTheRunningProgramUnderItsProductName) {
  CardDir card;
  const auto self = RunningExecutable();
  CopyViewer(card.wpath());
  const auto target = card / ToNarrow(LoadText(kTextExecutableName));
  EXPECT_EQ(target.filename().wstring(), L"Pathscope.exe");
  EXPECT_EQ(ReadBytes(target), ReadBytes(self));
  // An older copy is replaced.
  SetNormalAttributes(target.wstring());
  WriteBytes(target, Bytes(10, 0));
  CopyViewer(card.wpath());
  EXPECT_EQ(std::filesystem::file_size(target), std::filesystem::file_size(self));
}

TEST(CopyViewer, UnwritableTargetFailsAndLeavesNothing) {
  CardDir card;
  EXPECT_EQ(Failure([&] { CopyViewer((card / "missing").wstring()); }), LoadText(kTextSomeFilesFailed));
  std::filesystem::create_directory(card / "Pathscope.exe");
  EXPECT_EQ(Failure([&] { CopyViewer(card.wpath()); }), LoadText(kTextSomeFilesFailed));
  EXPECT_TRUE(std::filesystem::is_directory(card / "Pathscope.exe"));
}

// How the card's folder reaches CopyViewer: the folder chooser answers a drive root
// with its backslash ("E:\"), other folders without one, in whatever letter case and
// with short (8.3) names where the path had them.
enum class Spelling { AsIs, OtherCase, TrailingSeparator, Short };

struct RunFromCard {
  const char* name;
  bool driveRoot;  // the card is the mapped drive's root, else a folder on drive C:
  Spelling spelling;
  bool startedByShortName;  // the copy is started as PATHSC~1.EXE or the like
};

void PrintTo(const RunFromCard& run, std::ostream* out) { *out << run.name; }

std::wstring Spell(const std::wstring& folder, Spelling spelling) {
  switch (spelling) {
    case Spelling::AsIs:
      return folder;
    case Spelling::OtherCase: {
      std::wstring out = folder;
      for (wchar_t& c : out) c = std::iswupper(c) ? static_cast<wchar_t>(std::towlower(c)) : static_cast<wchar_t>(std::towupper(c));
      return out;
    }
    case Spelling::TrailingSeparator:
      return folder + L"\\";
    case Spelling::Short:
      return ShortPath(folder);
  }
  return folder;
}

// The root of the mapped test drive, emptied again afterwards.
class DriveRootCard {
 public:
  explicit DriveRootCard(const std::wstring& drive) : drive_(drive) {}
  ~DriveRootCard() {
    for (const std::wstring& name : Listing(drive_ + L"\\")) RemoveDeviceFile(drive_ + L"\\" + name);
  }
  DriveRootCard(const DriveRootCard&) = delete;
  DriveRootCard& operator=(const DriveRootCard&) = delete;

 private:
  std::wstring drive_;
};

class CopyViewerFromTheCard : public ::testing::TestWithParam<RunFromCard> {};

TEST_P(CopyViewerFromTheCard, SkipsTheCopyAndLeavesTheProgramAlone) {
  const RunFromCard& run = GetParam();
  std::unique_ptr<CardDir> folder;
  std::unique_ptr<DriveRootCard> root;
  std::wstring card;  // without a trailing separator
  if (run.driveRoot) {
    card = EnvironmentValue(L"PATHSCOPE_TEST_DRIVE");
    if (card.empty()) GTEST_SKIP() << "no test drive mapped (run through ctest)";
    ASSERT_NE(GetFileAttributesW((card + L"\\").c_str()), INVALID_FILE_ATTRIBUTES) << "drive not mapped";
    ASSERT_TRUE(Listing(card + L"\\").empty()) << "the test drive is in use";
    root = std::make_unique<DriveRootCard>(card);
  } else {
    folder = std::make_unique<CardDir>();
    card = folder->wpath();
  }
  // Placed by a copy from elsewhere, as a first restore does; a root gets no doubled
  // separator, so the copy is the drive's only file.
  CopyViewer(run.driveRoot ? card + L"\\" : card);
  const std::wstring copy = card + L"\\Pathscope.exe";
  EXPECT_EQ(Listing(card + L"\\"), std::set<std::wstring>{L"Pathscope.exe"});
  const Bytes bytes = ReadBytes(copy);
  ASSERT_EQ(bytes, ReadBytes(RunningExecutable()));
  const auto written = std::filesystem::last_write_time(copy);

  const std::wstring spelled = Spell(card, run.spelling);
  ASSERT_FALSE(spelled.empty());
  if (run.spelling == Spelling::Short) {
    ASSERT_NE(spelled, card) << "the folder has no short name of its own";
  }
  const std::wstring program = run.startedByShortName ? ShortPath(copy) : copy;
  ASSERT_FALSE(program.empty());

  EXPECT_EQ(RunProbe(program, L"CopyViewer.SelfCopyProbe", spelled), 0u) << ToNarrow(program) << " with " << ToNarrow(spelled);
  EXPECT_EQ(ReadBytes(copy), bytes);
  EXPECT_EQ(std::filesystem::last_write_time(copy), written);
  EXPECT_EQ(Listing(card + L"\\"), std::set<std::wstring>{L"Pathscope.exe"});
}

const RunFromCard kRunsFromTheCard[] = {
    {"FolderInOtherCase", false, Spelling::OtherCase, false},
    {"FolderWithSeparator", false, Spelling::TrailingSeparator, false},
    {"FolderByShortName", false, Spelling::Short, false},
    {"DriveRootAsChosen", true, Spelling::TrailingSeparator, false},
    {"DriveLetterOnly", true, Spelling::AsIs, false},
    {"DriveRootInOtherCaseProgramByShortName", true, Spelling::OtherCase, true},
};

INSTANTIATE_TEST_SUITE_P(RunningFromTheCard, CopyViewerFromTheCard, ::testing::ValuesIn(kRunsFromTheCard));

}  // namespace
