// The memory-card restore command driven as a user answers it. The same tests run in a
// program without a device program (the extraction fails, so the restore ends
// incomplete) and in one that carries it (the card gets the device files and a copy
// of the running program).

#include "CabinetTestSupport_win.h"
#include "DeviceDialogTestSupport_win.h"
#include "ProbeProcess_win.h"
#include "devicedialogs/DeviceCommands_win.h"

namespace {

namespace fs = std::filesystem;

bool CarriesDeviceProgram() { return FindResourceW(nullptr, MAKEINTRESOURCEW(309), L"BINARY") != nullptr; }

fs::path RunningExecutable() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

const Bytes kStandardSettings =
    Join({kHeader0401, Record(0x0306, {0x00}), Record(0x0801, {0x00, 0x45}), Record(0x0802, {0x01, 0x00}),
          Record(0x0803, {0x02, 0x00}), Record(0x0804, {0x00, 0x40})});

unsigned Outcome() { return CarriesDeviceProgram() ? kTextRestored : kTextRestoreIncomplete; }

TEST_F(DeviceDialogTest, RestoreWritesWhatTheAnswersAskFor) {
  const struct {
    const char* name;
    bool chooseCard;
    int confirm;  // 0: not asked
    int keep;     // 0: not asked
    bool restored;
  } cases[] = {
      {"chooser cancelled", false, 0, 0, false},
      {"restore not confirmed", true, IDCANCEL, 0, false},
      {"cancelled at the settings question", true, IDOK, IDCANCEL, false},
      {"old settings kept", true, IDOK, IDYES, true},
      {"standard settings", true, IDOK, IDNO, true},
  };
  for (const auto& c : cases) {
    CardDir card;
    WriteBytes(card / "0001_001.DAT", Bytes{1, 2, 3});
    std::vector<ModalStep> steps{c.chooseCard ? ChooseFolderStep(card.wpath())
                                              : Press(ModalKind::FolderChooser, IDCANCEL)};
    std::vector<unsigned> boxes;
    if (c.confirm != 0) {
      steps.push_back(Press(ModalKind::MessageBox, c.confirm));
      boxes.push_back(kTextConfirmRestore);
    }
    if (c.keep != 0) {
      steps.push_back(Press(ModalKind::MessageBox, c.keep));
      boxes.push_back(kTextKeepOldSettings);
    }
    if (c.restored) {
      steps.push_back(Press(ModalKind::MessageBox, IDOK));
      boxes.push_back(Outcome());
    }
    DeviceCommands commands(L"C:\\");
    ModalScript script(steps);
    commands.RunRestore(owner_);
    script.finish();
    EXPECT_EQ(script.stepsDone(), steps.size()) << c.name;
    EXPECT_EQ(script.boxes(), Texts(boxes)) << c.name;
    EXPECT_EQ(script.unexpected(), L"") << c.name;

    const fs::path settings = card / "KORA.INI";
    if (c.restored && c.keep == IDNO) {
      EXPECT_EQ(ReadBytes(settings), kStandardSettings) << c.name;
      EXPECT_TRUE(HiddenReadOnly(settings)) << c.name;
    } else {
      EXPECT_FALSE(fs::exists(settings)) << c.name;
    }
    const bool copied = c.restored && CarriesDeviceProgram();
    EXPECT_EQ(fs::exists(card / "Pathscope.exe"), copied) << c.name;
    if (copied) {
      EXPECT_EQ(ReadBytes(card / "Pathscope.exe"), ReadBytes(RunningExecutable())) << c.name;
    }
#ifdef PATHSCOPE_TEST_DEVICE_FILE
    const fs::path deviceFile = FromBuildMachine(PATHSCOPE_TEST_DEVICE_FILE);
    EXPECT_EQ(ReadBytes(card / deviceFile.filename()), c.restored ? ReadBytes(deviceFile) : Bytes()) << c.name;
#endif
  }
}

// The settings question ends without an answer when its box goes with its owner (the
// box then returns 0): nothing is written, and no outcome is shown.
TEST_F(DeviceDialogTest, RestoreWritesNothingWhenTheSettingsQuestionGetsNoAnswer) {
  CardDir card;
  const HWND owner = owner_;
  ModalScript script({ChooseFolderStep(card.wpath()), Press(ModalKind::MessageBox, IDOK),
                      {ModalKind::MessageBox, [owner](HWND) { PostMessageW(owner, WM_CLOSE, 0, 0); }}});
  DeviceCommands commands(L"C:\\");
  commands.RunRestore(owner_);
  script.finish();
  EXPECT_EQ(script.boxes(), Texts({kTextConfirmRestore, kTextKeepOldSettings}));
  EXPECT_FALSE(IsWindow(owner)) << "the box was not taken away with its owner";
  EXPECT_FALSE(fs::exists(card / "KORA.INI"));
  EXPECT_FALSE(fs::exists(card / "Pathscope.exe"));
}

#ifdef PATHSCOPE_TEST_DEVICE_FILE
std::wstring EnvironmentValue(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(value) : std::wstring();
}

// Runs only inside the copy started from the card's root by the test below: the user
// keeps the old settings and the restore completes without copying the program over
// itself.
TEST_F(DeviceDialogTest, RestoreProbeOnTheCard) {
  const std::wstring card = EnvironmentValue(L"PATHSCOPE_PROBE_CARD");
  if (card.empty()) GTEST_SKIP() << "helper of RestoreFromTheCardSkipsTheCopy";
  // The card was chosen before: the chooser starts on it.
  DeviceCommands commands(card);
  ModalScript script({ChooseFolderStep(card), Press(ModalKind::MessageBox, IDOK), Press(ModalKind::MessageBox, IDYES),
                      Press(ModalKind::MessageBox, IDOK)});
  commands.RunRestore(owner_);
  script.finish();
  EXPECT_EQ(script.boxes(), Texts({kTextConfirmRestore, kTextKeepOldSettings, kTextRestored}));
  EXPECT_EQ(script.unexpected(), L"");
  EXPECT_EQ(commands.cardPath(), card);
}

// The viewer started from the card itself (as a first restore leaves it there): the
// restore completes without copying the program over itself. The card is a folder, as
// the system's folder chooser under test does not offer a mapped drive's root; the
// copy's refusal at a drive root is the restore's own test.
TEST_F(DeviceDialogTest, RestoreFromTheCardSkipsTheCopy) {
  CardDir card;
  const fs::path copy = card / "Pathscope.exe";
  ASSERT_TRUE(CopyFileW(RunningExecutable().wstring().c_str(), copy.wstring().c_str(), FALSE));
  const Bytes bytes = ReadBytes(copy);
  const auto written = fs::last_write_time(copy);

  EXPECT_EQ(RunProbe(copy.wstring(), L"DeviceDialogTest.RestoreProbeOnTheCard", card.wpath()), 0u);
  EXPECT_EQ(ReadBytes(copy), bytes);
  EXPECT_EQ(fs::last_write_time(copy), written);
  const fs::path deviceFile = FromBuildMachine(PATHSCOPE_TEST_DEVICE_FILE);
  EXPECT_EQ(ReadBytes(card / deviceFile.filename()), ReadBytes(deviceFile));
  EXPECT_FALSE(fs::exists(card / "KORA.INI"));
}
#endif

}  // namespace
