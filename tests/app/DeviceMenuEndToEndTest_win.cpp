// The recorder's settings written through the viewer's menu: Pathscope.exe runs as a
// process of its own from a folder that holds a demo card, and its two settings dialogs
// and the card restore, the folder chooser and the boxes are answered from outside as
// the user answers them. Afterwards the card's bytes are checked, and pscope reads them
// back. Every wait has a deadline; checkpoints and failures leave screenshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DeviceTestFiles.h"
#include "DemoCard.h"
#include "ForeignDialogs_win.h"
#include "ViewerDriver_win.h"
#include "app/ResourceIds.h"
#include "devicedialogs/DeviceDialogIds.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "foundation/Utf8.h"

namespace fs = std::filesystem;

namespace {

// How long one press of an arrow key in the chooser may take to show.
constexpr DWORD kKeyShowsMs = 5000;

// What the demo card's settings file holds besides the buzzer and the mode: its clock.
const Bytes kDemoClock = Record(0x0101, {0x09, 0x06, 0x14, 0x07, 0x30});
const Bytes kBuzzerOff{0x03, 0x06, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x05};
const Bytes kLongMode{0x18, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x19};
const Bytes kFirstMinuteOfTheCentury{0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x01};

// The demo card with one short drive: the dialogs need the card, not its recordings.
std::vector<recsim::DemoCard::Recording> OneShortDrive() {
  recsim::DemoCard::Recording drive = recsim::DemoCard::Plan().front();
  drive.description.durationMs = 2000;
  drive.description.switchPressesMs.clear();
  drive.description.width = 320;
  drive.description.height = 240;
  return {drive};
}

bool SameDay(const SYSTEMTIME& a, WORD year, WORD month, WORD day) {
  return a.wYear == year && a.wMonth == month && a.wDay == day;
}

// Whether dark text shows on a light face where the window is (and not whatever was
// on the screen there before the window painted itself).
bool ShowsText(HWND window) {
  const std::vector<unsigned char> pixels = CaptureFromScreen(window);
  size_t dark = 0, light = 0;
  for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
    const int least = std::min({pixels[i], pixels[i + 1], pixels[i + 2]});
    const int most = std::max({pixels[i], pixels[i + 1], pixels[i + 2]});
    dark += most < 0x60;
    light += least > 0xC0;
  }
  return dark > 0 && light > pixels.size() / 8;
}

std::string DateText(const SYSTEMTIME& t) {
  return std::to_string(t.wYear) + "-" + std::to_string(t.wMonth) + "-" + std::to_string(t.wDay);
}

// A console program run to its end with its output in a file (a pipe could be held open
// by the helper processes Wine starts). Its exit code, or -1.
int RunTool(std::wstring command, const fs::path& output, std::string& text) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE file = CreateFileW(output.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = file;
  startup.hStdError = file;
  PROCESS_INFORMATION info{};
  const BOOL started =
      CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info);
  CloseHandle(file);
  if (!started) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(info.hProcess, kPatienceMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(info.hProcess, &code);
  } else {
    TerminateProcess(info.hProcess, code);
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  std::ifstream in(output, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return static_cast<int>(code);
}

class DeviceMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The viewer as the user keeps it, in a folder with the card below it: the first
    // chooser starts on the viewer's own folder.
    recsim::DemoCard::Write(card().wstring(), OneShortDrive());
    exe_ = dir_.path() / "Pathscope.exe";
    fs::copy_file(fs::path(PATHSCOPE_EXE), exe_);
    viewer_ = startViewer();
    ASSERT_TRUE(viewer_->started());
    ASSERT_NE(viewer_->mainWindow(kPatienceMs), nullptr);
  }
  void TearDown() override {
    if (HasFailure()) shot("failed");
    viewer_.reset();
  }

  std::unique_ptr<ViewerProcess> startViewer() {
    return std::make_unique<ViewerProcess>(exe_.wstring(), dir_.wpath());
  }
  fs::path card() const { return dir_ / "card"; }
  fs::path settingsFile() const { return card() / "KORA.INI"; }
  std::wstring viewerFolderName() const { return dir_.path().filename().wstring(); }

  void shot(const std::string& checkpoint) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::create_directories(fs::path(PATHSCOPE_SHOTS));
    SaveScreenshot((fs::path(PATHSCOPE_SHOTS) / (std::string(info->test_suite_name()) + "." + info->name() + "-" +
                                                 checkpoint + ".bmp"))
                       .wstring());
  }

  // A window of the viewer's of that kind; a failure when none comes in time.
  HWND await(ModalKind kind, HWND except = nullptr, const ViewerProcess* viewer = nullptr) {
    const HWND window = AwaitProcessDialog((viewer ? viewer : viewer_.get())->id(), kind, except, kPatienceMs);
    static const char* const kNames[] = {"dialog", "folder chooser", "message box"};
    EXPECT_NE(window, nullptr) << "no " << kNames[static_cast<int>(kind)] << " came";
    return window;
  }
  static bool closes(HWND window) {
    return WaitFor([&] { return !IsWindow(window); }, kPatienceMs);
  }

  // The next message box's text, answered with `button`.
  std::wstring answerBox(int button, const ViewerProcess* viewer = nullptr) {
    const HWND box = await(ModalKind::MessageBox, nullptr, viewer);
    if (box == nullptr) return L"(no box)";
    const std::wstring text = BoxText(box);
    ClickButton(box, button);
    EXPECT_TRUE(closes(box));
    return text;
  }

  // Answers the folder chooser: checks the folder it starts on, walks down to the card
  // with the arrow keys when it starts above it, and confirms.
  void chooseCard(const std::wstring& startsOn, const std::string& checkpoint) {
    const HWND chooser = await(ModalKind::FolderChooser);
    ASSERT_NE(chooser, nullptr);
    const HWND tree = ChooserTree(chooser);
    ASSERT_TRUE(WaitFor([&] { return SelectedTreeText(tree) == startsOn; }, kPatienceMs))
        << "the chooser starts on \"" << ToUtf8(SelectedTreeText(tree)) << "\"";
    const std::wstring name = card().filename().wstring();
    // The first press opens the folder, the next goes to its first (and only) subfolder.
    for (int press = 0; press < 4 && SelectedTreeText(tree) != name; ++press) {
      PostKey(tree, VK_RIGHT);
      WaitFor([&] { return SelectedTreeText(tree) == name; }, kKeyShowsMs);
    }
    ASSERT_EQ(SelectedTreeText(tree), name);
    shot(checkpoint);
    ClickButton(chooser, IDOK);
    ASSERT_TRUE(closes(chooser));
  }

  // Types into an hour or minute field over what it holds and leaves it with Tab; the
  // field then shows what the dialog made of the text.
  std::wstring retype(HWND dialog, int field, const std::wstring& typed) {
    const HWND edit = GetDlgItem(dialog, field);
    ViewerProcess::click(edit, 3, 3);
    PostKey(edit, VK_END);
    PostChars(edit, L"\b\b\b\b");
    EXPECT_TRUE(WaitFor([&] { return ControlText(edit).empty(); }, kPatienceMs));
    PostChars(edit, typed);
    EXPECT_TRUE(WaitFor([&] { return ControlText(edit) == typed; }, kPatienceMs));
    PostKey(edit, VK_TAB);
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    EXPECT_TRUE(WaitFor([&] {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      return GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr && info.hwndFocus != edit;
    }, kPatienceMs)) << "the field kept the focus";
    // The correction is made as the focus leaves; a message sent now comes after it.
    SendMessageW(dialog, WM_NULL, 0, 0);
    return ControlText(edit);
  }

  // Steps the picker to 2001-01-01 with the arrow keys, as the user does: a click on its
  // first field (the year), then the day, the month and the year downwards, the year two
  // steps further than the picker's range allows. The month is stepped up and back last.
  void pickFirstDayOfTheRange(HWND picker) {
    SYSTEMTIME now{};
    ASSERT_TRUE(PickerDate(picker, now));
    RECT box{};
    GetClientRect(picker, &box);
    // The picker places its fields as it paints; a click on one not yet drawn selects
    // none, and the keys then do nothing. The user clicks on the date once it shows.
    ASSERT_TRUE(WaitFor([&] { return ShowsText(picker); }, kPatienceMs)) << "the date never showed";
    ViewerProcess::click(picker, 8, box.bottom / 2);
    PostKey(picker, VK_RIGHT, 2);
    PostKey(picker, VK_DOWN, now.wDay - 1);
    PostKey(picker, VK_LEFT);
    PostKey(picker, VK_DOWN, now.wMonth - 1);
    PostKey(picker, VK_LEFT);
    PostKey(picker, VK_DOWN, now.wYear - 2001 + 2);
    PostKey(picker, VK_RIGHT);
    PostKey(picker, VK_UP);
    // The whole date is waited for: the month alone passes through February while the
    // month field is stepped down from a later month, before the year keys are handled.
    SYSTEMTIME shown{};
    EXPECT_TRUE(WaitFor([&] { return PickerDate(picker, shown) && SameDay(shown, 2001, 2, 1); }, kPatienceMs))
        << DateText(shown) << ": the year left the range or a field wrapped";
    PostKey(picker, VK_DOWN);
    EXPECT_TRUE(WaitFor(
        [&] { return PickerDate(picker, shown) && SameDay(shown, 2001, 1, 1); }, kPatienceMs))
        << DateText(shown);
  }

  bool closeViewer() {
    PostMessageW(viewer_->mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    return viewer_->exitCode(kPatienceMs) == 0;
  }

  CardDir dir_;
  fs::path exe_;
  std::unique_ptr<ViewerProcess> viewer_;
};

TEST_F(DeviceMenuTest, BothSettingsCommandsWriteTheCardAndPscopeReadsItBack) {
  {
    SCOPED_TRACE("device settings");
    viewer_->menu(IDM_DEVICE_SETTINGS);
    ASSERT_NO_FATAL_FAILURE(chooseCard(viewerFolderName(), "settings-chooser"));
    const HWND dialog = await(ModalKind::Dialog);
    ASSERT_NE(dialog, nullptr);
    // The device reports buzzer off and long mode.
    EXPECT_TRUE(WaitFor([&] { return IsChecked(dialog, IDC_DEVICE_BUZZER_OFF); }, kPatienceMs));
    EXPECT_FALSE(IsChecked(dialog, IDC_DEVICE_BUZZER_ON));
    EXPECT_TRUE(IsChecked(dialog, IDC_DEVICE_MODE_LONG));
    EXPECT_FALSE(IsChecked(dialog, IDC_DEVICE_MODE_STANDARD));
    // Each click selects its radio and clears the other of its group.
    const struct {
      int click;
      int cleared;
    } clicks[] = {
        {IDC_DEVICE_BUZZER_ON, IDC_DEVICE_BUZZER_OFF},   {IDC_DEVICE_MODE_STANDARD, IDC_DEVICE_MODE_LONG},
        {IDC_DEVICE_BUZZER_OFF, IDC_DEVICE_BUZZER_ON},   {IDC_DEVICE_MODE_LONG, IDC_DEVICE_MODE_STANDARD},
    };
    for (const auto& c : clicks) {
      ClickButton(dialog, c.click);
      EXPECT_TRUE(WaitFor(
          [&] { return IsChecked(dialog, c.click) && !IsChecked(dialog, c.cleared); }, kPatienceMs))
          << "radio " << c.click;
    }
    shot("device-settings");
    ClickButton(dialog, IDOK);
    EXPECT_EQ(answerBox(IDOK), LoadText(kTextConfirmWriteSettings));
    EXPECT_EQ(answerBox(IDOK), LoadText(kTextSettingsWritten));
    ASSERT_TRUE(closes(dialog));
    EXPECT_EQ(ReadBytes(settingsFile()), Join({kHeader0401, kBuzzerOff, kLongMode, kDemoClock}));
  }
  {
    SCOPED_TRACE("date and time");
    viewer_->menu(IDM_DATE_TIME);
    const HWND dialog = await(ModalKind::Dialog);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(pickFirstDayOfTheRange(GetDlgItem(dialog, IDC_DATE_TIME_PICKER)));
    const struct {
      int field;
      const wchar_t* typed;
      const wchar_t* shown;
    } typing[] = {
        {IDC_DATE_TIME_HOUR, L"25", L"23"},  {IDC_DATE_TIME_HOUR, L"7x", L"23"}, {IDC_DATE_TIME_HOUR, L"", L"23"},
        {IDC_DATE_TIME_HOUR, L"0", L"0"},    {IDC_DATE_TIME_MINUTE, L"75", L"59"}, {IDC_DATE_TIME_MINUTE, L"x", L"59"},
        {IDC_DATE_TIME_MINUTE, L"00", L"0"},
    };
    for (const auto& t : typing) {
      EXPECT_EQ(retype(dialog, t.field, t.typed), t.shown) << "typed \"" << ToUtf8(t.typed) << "\"";
    }
    shot("date-time");
    ClickButton(dialog, IDOK);
    // The card chosen in the first command is offered again.
    ASSERT_NO_FATAL_FAILURE(chooseCard(card().filename().wstring(), "clock-chooser"));
    EXPECT_EQ(answerBox(IDOK), LoadText(kTextConfirmWriteClock));
    EXPECT_EQ(answerBox(IDOK), LoadText(kTextClockWritten));
    ASSERT_TRUE(closes(dialog));
    EXPECT_EQ(ReadBytes(settingsFile()), Join({kHeader0401, kFirstMinuteOfTheCentury, kBuzzerOff, kLongMode}));
    bool hidden = false, readOnly = false;
    EXPECT_TRUE(QueryHiddenReadOnly(settingsFile().wstring(), hidden, readOnly));
    EXPECT_TRUE(hidden && readOnly) << "the recorder's file is kept hidden and read-only";
  }
  {
    SCOPED_TRACE("pscope");
    std::string shown;
    EXPECT_EQ(RunTool(L"\"" + std::wstring(PSCOPE_TOOL) + L"\" settings show \"" + card().wstring() + L"\"",
                      dir_ / "show.txt", shown),
              0)
        << shown;
    EXPECT_EQ(shown.substr(0, shown.find("FIRMINFO.DAT")),
              "KORA.INI 0101 0101010000 01\nKORA.INI 0306 00ffffffff 05\nKORA.INI 1801 00ffffffff 19\n");
  }
  EXPECT_TRUE(closeViewer()) << "nothing loaded: the viewer closes without a question";
}

// No menu item sends the restore; the command still reaches the window. Answered No to
// keeping the old settings, it writes the standard ones; the viewer carries no device
// program, so the restore ends in the warning that part of it failed.
TEST_F(DeviceMenuTest, TheRestoreCommandSentToTheWindowWritesTheStandardSettings) {
  viewer_->menu(IDM_RESTORE_CARD);
  ASSERT_NO_FATAL_FAILURE(chooseCard(viewerFolderName(), "restore-chooser"));
  EXPECT_EQ(answerBox(IDOK), LoadText(kTextConfirmRestore));
  EXPECT_EQ(answerBox(IDNO), LoadText(kTextKeepOldSettings));
  EXPECT_EQ(answerBox(IDOK), LoadText(kTextRestoreIncomplete));
  EXPECT_EQ(ReadBytes(settingsFile()),
            Join({kHeader0401, Record(0x0306, {0x00}), Record(0x0801, {0x00, 0x45}), Record(0x0802, {0x01, 0x00}),
                  Record(0x0803, {0x02, 0x00}), Record(0x0804, {0x00, 0x40})}));
  EXPECT_FALSE(fs::exists(card() / "Pathscope.exe")) << "no copy after a failed extraction";
  EXPECT_TRUE(closeViewer());
}

// The guard spans processes: a second viewer that opens a settings dialog while the
// first shows one is warned and opens it all the same; once the first has closed its
// dialog, the second is not warned again.
TEST_F(DeviceMenuTest, ASecondViewerIsWarnedWhileTheFirstShowsADialog) {
  viewer_->menu(IDM_DATE_TIME);
  const HWND first = await(ModalKind::Dialog);
  ASSERT_NE(first, nullptr);
  const std::unique_ptr<ViewerProcess> second = startViewer();
  ASSERT_NE(second->mainWindow(kPatienceMs), nullptr);
  second->menu(IDM_DATE_TIME);
  EXPECT_EQ(answerBox(IDOK, second.get()), LoadText(kTextDialogOpenElsewhere));
  HWND other = await(ModalKind::Dialog, nullptr, second.get());
  ASSERT_NE(other, nullptr);
  shot("both-open");
  ClickButton(other, IDCANCEL);
  ASSERT_TRUE(closes(other));

  ClickButton(first, IDCANCEL);
  ASSERT_TRUE(closes(first));
  second->menu(IDM_DATE_TIME);
  HWND box = nullptr;
  other = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    box = AwaitProcessDialog(second->id(), ModalKind::MessageBox, nullptr, 0);
    other = AwaitProcessDialog(second->id(), ModalKind::Dialog, nullptr, 0);
    return box != nullptr || other != nullptr;
  }, kPatienceMs));
  EXPECT_EQ(box, nullptr) << "warned again: " << ToUtf8(BoxText(box));
  if (box != nullptr) {
    ClickButton(box, IDOK);
    other = await(ModalKind::Dialog, nullptr, second.get());
  }
  ClickButton(other, IDCANCEL);
  ASSERT_TRUE(closes(other));
}

}  // namespace
