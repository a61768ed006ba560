// The date/time and device settings dialogs and the guard around them, driven on the
// virtual display with the choosers and message boxes answered as a user would.
#include <functional>

#include "DeviceDialogTestSupport_win.h"
#include "SummerTimeZone.h"
#include "devicedialogs/DateTimeDialog_win.h"
#include "devicedialogs/DeviceCommands_win.h"
#include "devicedialogs/DeviceDialogIds.h"
#include "devicedialogs/DialogMutex_win.h"
#include "devicedialogs/GThresholdDialog09_win.h"

namespace {

namespace fs = std::filesystem;

const Bytes kOldClock = Record(0x0101, {0x09, 0x12, 0x31, 0x23, 0x59});
const Bytes kOldModeLong = Record(0x1801, {0x00});
const Bytes kOldOther = Record(0x2001, {0x12, 0x34});
const Bytes kOldSettings = Join({kHeader0401, kOldClock, Record(0x0306, {0x01}), kOldModeLong, kOldOther});

// --- the date/time dialog -----------------------------------------------------------

TEST_F(DeviceDialogTest, TypedHoursAndMinutesAreCorrectedWhenTheFieldIsLeft) {
  const struct {
    int field;
    std::wstring typed;
    std::wstring shown;
  } steps[] = {
      {IDC_DATE_TIME_HOUR, L"5", L"5"},     {IDC_DATE_TIME_HOUR, L"25", L"23"},  {IDC_DATE_TIME_HOUR, L"7x", L"23"},
      {IDC_DATE_TIME_HOUR, L"", L"23"},     {IDC_DATE_TIME_HOUR, L" 8", L"8"},   {IDC_DATE_TIME_HOUR, L"-3", L"0"},
      {IDC_DATE_TIME_MINUTE, L"75", L"59"}, {IDC_DATE_TIME_MINUTE, L"", L"59"},  {IDC_DATE_TIME_MINUTE, L"x", L"59"},
      {IDC_DATE_TIME_MINUTE, L"7", L"7"},
  };
  std::vector<std::wstring> shown;
  DateTimeDialog dialog(L"");
  ModalScript script({OnDialog([&](HWND d) {
                        for (const auto& s : steps) {
                          Retype(d, s.field, s.typed);
                          shown.push_back(WindowText(GetDlgItem(d, s.field)));
                        }
                        Click(d, IDCANCEL);
                      })});
  EXPECT_EQ(dialog.ShowModal(owner_), IDCANCEL);
  script.finish();
  ASSERT_EQ(shown.size(), std::size(steps));
  for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], steps[i].shown) << "step " << i;
}

// The picker holds the recorder's range, and the user's keys cannot leave it: the year
// field (at the picker's left) is stepped with the arrow keys. Posted keys are handled
// after any message sent meanwhile, so each read waits for a sign of the last key.
TEST_F(DeviceDialogTest, DatePickerKeepsToTheRecordersCentury) {
  const struct {
    SYSTEMTIME from;
    WPARAM key;
    WORD year;
  } steps[] = {
      {Date(2050, 6, 15), VK_UP, 2051},  {Date(2050, 6, 15), VK_DOWN, 2049}, {Date(2001, 1, 1), VK_DOWN, 2001},
      {Date(2099, 12, 31), VK_UP, 2099}, {Date(2001, 6, 1), VK_DOWN, 2001},
  };
  std::vector<WORD> years;
  SYSTEMTIME range[2] = {};
  DWORD rangeFlags = 0;
  DateTimeDialog dialog(L"");
  ModalScript script({OnDialog([&](HWND d) {
                        const HWND picker = GetDlgItem(d, IDC_DATE_TIME_PICKER);
                        rangeFlags = static_cast<DWORD>(
                            SendMessageW(picker, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
                        for (const auto& s : steps) {
                          PickDate(d, IDC_DATE_TIME_PICKER, s.from);
                          RECT box{};
                          GetClientRect(picker, &box);
                          // The picker places its fields as it paints; a click on one
                          // not yet drawn selects none, and the keys then do nothing.
                          UpdateWindow(picker);
                          ClickAt(picker, 8, box.bottom / 2);
                          PressKey(picker, s.key);
                          // The month stepped behind the key shows that the key has
                          // been handled, even one the picker refused.
                          PressKey(picker, VK_RIGHT);
                          PressKey(picker, s.from.wMonth < 12 ? VK_UP : VK_DOWN);
                          SYSTEMTIME now{};
                          WaitFor([&] {
                            SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&now));
                            return now.wMonth != s.from.wMonth;
                          });
                          years.push_back(now.wYear);
                        }
                        Click(d, IDCANCEL);
                      })});
  dialog.ShowModal(owner_);
  script.finish();
  EXPECT_EQ(rangeFlags, static_cast<DWORD>(GDTR_MIN | GDTR_MAX));
  EXPECT_EQ(range[0].wYear, 2001);
  EXPECT_EQ(range[0].wMonth, 1);
  EXPECT_EQ(range[0].wDay, 1);
  EXPECT_EQ(range[1].wYear, 2099);
  EXPECT_EQ(range[1].wMonth, 12);
  EXPECT_EQ(range[1].wDay, 31);
  ASSERT_EQ(years.size(), std::size(steps));
  for (size_t i = 0; i < years.size(); ++i) EXPECT_EQ(years[i], steps[i].year) << "step " << i;
}

// A card folder with the old settings file on it, read-only and hidden as the
// recorder keeps it, that a test may also make vanish.
class Card {
 public:
  Card() {
    fs::create_directory(path());
    WriteBytes(settings(), kOldSettings);
    SetHiddenReadOnly(settings().wstring());
  }
  fs::path path() const { return dir_ / "card"; }
  fs::path settings() const { return path() / "KORA.INI"; }
  std::wstring wpath() const { return path().wstring(); }

 private:
  CardDir dir_;
};

// A handle that keeps others from writing or deleting the settings file, as a
// write-protected card does.
class Protect {
 public:
  explicit Protect(const fs::path& file)
      : handle_(CreateFileW(file.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr)) {}
  ~Protect() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

enum class Trouble { None, WriteProtected, Vanished, SkippedHour };

struct ClockCase {
  const char* name;
  Trouble trouble;
  std::vector<unsigned> boxes;
  bool written;
};

void PrintTo(const ClockCase& c, std::ostream* out) { *out << c.name; }

class ClockWrite : public DeviceDialogTest, public testing::WithParamInterface<ClockCase> {};

TEST_P(ClockWrite, WritesTheClockRecordOrLeavesTheOldFile) {
  const ClockCase& c = GetParam();
  SummerTimeZone zone;
  Card card;
  LocalDateTime when{2001, 1, 1, 0, 0, 0};
  if (c.trouble == Trouble::SkippedHour) {
    ASSERT_TRUE(FindSkippedHour(2010, when));
  }
  std::unique_ptr<Protect> protect;
  if (c.trouble == Trouble::WriteProtected) {
    protect = std::make_unique<Protect>(card.settings());
    ASSERT_TRUE(protect->ok());
  }
  DateTimeDialog dialog(L"");
  ModalScript script({OnDialog([&](HWND d) {
                        PickDate(d, IDC_DATE_TIME_PICKER,
                                 Date(static_cast<WORD>(when.year), static_cast<WORD>(when.month),
                                      static_cast<WORD>(when.day)));
                        Retype(d, IDC_DATE_TIME_HOUR, std::to_wstring(when.hour));
                        Retype(d, IDC_DATE_TIME_MINUTE, std::to_wstring(when.minute));
                        Click(d, IDOK);
                      }),
                      ChooseFolderStep(card.wpath()),
                      {ModalKind::MessageBox,
                       [&](HWND box) {
                         if (c.trouble == Trouble::Vanished) {
                           SetNormalAttributes(card.settings().wstring());
                           std::error_code ec;
                           fs::remove_all(card.path(), ec);
                         }
                         Click(box, IDOK);
                       }},
                      Press(ModalKind::MessageBox, IDOK)});
  EXPECT_EQ(dialog.ShowModal(owner_), IDOK);
  script.finish();
  EXPECT_EQ(script.boxes(), Texts(c.boxes));
  EXPECT_EQ(script.unexpected(), L"");
  EXPECT_EQ(fs::path(dialog.cardPath()), card.path()) << "the card chosen goes back all the same";
  protect.reset();
  if (c.trouble == Trouble::Vanished) {
    EXPECT_FALSE(fs::exists(card.path()));
    return;
  }
  const Bytes clock = Join({Bytes{0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x01}});
  EXPECT_EQ(ReadBytes(card.settings()),
            c.written ? Join({kHeader0401, clock, Record(0x0306, {0x01}), kOldModeLong, kOldOther}) : kOldSettings);
  if (c.trouble != Trouble::WriteProtected) {
    EXPECT_TRUE(HiddenReadOnly(card.settings()));
  }
}

const ClockCase kClockCases[] = {
    {"FirstMinuteOfTheCentury", Trouble::None, {kTextConfirmWriteClock, kTextClockWritten}, true},
    {"WriteProtectedCard", Trouble::WriteProtected, {kTextConfirmWriteClock, kTextSettingsUnwritable}, false},
    {"VanishedCard", Trouble::Vanished, {kTextConfirmWriteClock, kTextSettingsUnwritable}, false},
    {"HourTheClocksSkip", Trouble::SkippedHour, {kTextConfirmWriteClock, kTextSettingsUnwritable}, false},
};

INSTANTIATE_TEST_SUITE_P(DateTimeDialog, ClockWrite, testing::ValuesIn(kClockCases), testing::PrintToStringParamName());

// Stopping on the way keeps the dialog open with nothing written. The hour and minute
// are read only after the confirmation; a field that holds no valid value then (the
// focus came back to it without leaving it again) is refused.
TEST_F(DeviceDialogTest, DateTimeDialogStaysOpenWhenTheUserStops) {
  const struct {
    const char* name;
    bool chooseCard;
    int confirm;
    int field;           // 0: none
    std::wstring text;  // the field's text behind the confirmation
    std::vector<unsigned> boxes;
  } cases[] = {
      {"chooser cancelled", false, 0, 0, L"", {}},
      {"confirmation cancelled", true, IDCANCEL, 0, L"", {kTextConfirmWriteClock}},
      {"hour not a number", true, IDOK, IDC_DATE_TIME_HOUR, L"7x", {kTextConfirmWriteClock, kTextHourOutOfRange}},
      {"minute out of range", true, IDOK, IDC_DATE_TIME_MINUTE, L"75", {kTextConfirmWriteClock, kTextMinuteOutOfRange}},
  };
  for (const auto& c : cases) {
    Card card;
    DateTimeDialog dialog(L"C:\\");
    HWND window = nullptr;
    std::vector<ModalStep> steps{OnDialog([&](HWND d) {
      window = d;
      Click(d, IDOK);
    })};
    steps.push_back(c.chooseCard ? ChooseFolderStep(card.wpath()) : Press(ModalKind::FolderChooser, IDCANCEL));
    if (c.chooseCard) {
      steps.push_back({ModalKind::MessageBox, [&](HWND box) {
                         if (c.field != 0) SetDlgItemTextW(window, c.field, c.text.c_str());
                         Click(box, c.confirm);
                       }});
    }
    if (c.boxes.size() > 1) steps.push_back(Press(ModalKind::MessageBox, IDOK));
    steps.push_back(OnDialog([](HWND d) { Click(d, IDCANCEL); }));
    ModalScript script(steps);
    EXPECT_EQ(dialog.ShowModal(owner_), IDCANCEL) << c.name;
    script.finish();
    EXPECT_EQ(script.stepsDone(), steps.size()) << c.name;
    EXPECT_EQ(script.boxes(), Texts(c.boxes)) << c.name;
    EXPECT_EQ(script.unexpected(), L"") << c.name;
    EXPECT_EQ(ReadBytes(card.settings()), kOldSettings) << c.name;
  }
}

// --- the device settings dialog --------------------------------------------------------

struct Radios {
  bool on, off, standard, longTime;
  bool operator==(const Radios& o) const {
    return on == o.on && off == o.off && standard == o.standard && longTime == o.longTime;
  }
};

void PrintTo(const Radios& r, std::ostream* out) {
  *out << (r.on ? "ON " : "") << (r.off ? "OFF " : "") << (r.standard ? "standard " : "") << (r.longTime ? "long" : "");
}

Radios ShownRadios(HWND d) {
  auto checked = [d](int id) { return SendDlgItemMessageW(d, id, BM_GETCHECK, 0, 0) == BST_CHECKED; };
  return {checked(IDC_DEVICE_BUZZER_ON), checked(IDC_DEVICE_BUZZER_OFF), checked(IDC_DEVICE_MODE_STANDARD),
          checked(IDC_DEVICE_MODE_LONG)};
}

const Bytes kBuzzerOff{0x03, 0x06, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x05};
const Bytes kBuzzerOn{0x03, 0x06, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x04};
const Bytes kModeLong{0x18, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x19};
const Bytes kModeStandard{0x18, 0x01, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x18};

enum class AtStart { ChooseCard, CancelChooser };

TEST_F(DeviceDialogTest, SettingsDialogShowsTheRecordersValuesAndWritesTheChosenOnes) {
  const struct {
    const char* name;
    Bytes firmInfo;  // empty: none on the card
    AtStart atStart;
    Radios shown;
    std::vector<int> clicks;
    std::vector<unsigned> boxes;
    Bytes written;  // the new records, before the old ones the merge keeps
  } cases[] = {
      {"buzzer off, standard; long chosen", FirmInfoImage({Record(0x0306, {0x00}), Record(0x1801, {0x01})}),
       AtStart::ChooseCard, {false, true, true, false}, {IDC_DEVICE_MODE_LONG},
       {kTextConfirmWriteSettings, kTextSettingsWritten}, Join({kBuzzerOff, kModeLong})},
      {"BCD ten is on, no mode record", FirmInfoImage({Record(0x0306, {0x10})}), AtStart::ChooseCard,
       {true, false, true, false}, {}, {kTextConfirmWriteSettings, kTextSettingsWritten},
       Join({kBuzzerOn, kModeStandard})},
      {"no firmware information: warned, then asked again", {}, AtStart::ChooseCard, {true, false, true, false},
       {IDC_DEVICE_BUZZER_OFF}, {kTextSettingsUnreadable, kTextConfirmWriteSettings, kTextSettingsWritten},
       Join({kBuzzerOff, kModeStandard})},
      {"chooser cancelled at start, then asked again", FirmInfoImage({Record(0x0306, {0x00})}),
       AtStart::CancelChooser, {true, false, true, false}, {IDC_DEVICE_BUZZER_OFF, IDC_DEVICE_MODE_LONG},
       {kTextConfirmWriteSettings, kTextSettingsWritten}, Join({kBuzzerOff, kModeLong})},
  };
  for (const auto& c : cases) {
    Card card;
    if (!c.firmInfo.empty()) WriteBytes(card.path() / "FIRMINFO.DAT", c.firmInfo);
    const bool warned = c.boxes.size() > 2;
    const bool askedAgain = warned || c.atStart == AtStart::CancelChooser;
    Radios shown{};
    std::vector<ModalStep> steps;
    steps.push_back(c.atStart == AtStart::ChooseCard ? ChooseFolderStep(card.wpath())
                                                     : Press(ModalKind::FolderChooser, IDCANCEL));
    if (warned) steps.push_back(Press(ModalKind::MessageBox, IDOK));
    steps.push_back(OnDialog([&](HWND d) {
      shown = ShownRadios(d);
      for (int id : c.clicks) Click(d, id);
      Click(d, IDOK);
    }));
    if (askedAgain) steps.push_back(ChooseFolderStep(card.wpath()));
    steps.push_back(Press(ModalKind::MessageBox, IDOK));
    steps.push_back(Press(ModalKind::MessageBox, IDOK));
    GThresholdDialog09 dialog(L"C:\\");
    ModalScript script(steps);
    EXPECT_EQ(dialog.ShowModal(owner_), IDOK) << c.name;
    script.finish();
    EXPECT_EQ(script.stepsDone(), steps.size()) << c.name;
    EXPECT_EQ(script.unexpected(), L"") << c.name;
    EXPECT_EQ(shown, c.shown) << c.name;
    EXPECT_EQ(script.boxes(), Texts(c.boxes)) << c.name;
    EXPECT_EQ(ReadBytes(card.settings()), Join({kHeader0401, c.written, kOldClock, kOldOther})) << c.name;
    EXPECT_TRUE(HiddenReadOnly(card.settings())) << c.name;
    EXPECT_EQ(fs::path(dialog.cardPath()), card.path()) << c.name;
  }
}

TEST_F(DeviceDialogTest, SettingsDialogCancelledWritesNothing) {
  Card card;
  WriteBytes(card.path() / "FIRMINFO.DAT", FirmInfoImage({Record(0x0306, {0x00})}));
  GThresholdDialog09 dialog(L"C:\\");
  ModalScript script({ChooseFolderStep(card.wpath()), OnDialog([](HWND d) {
                        Click(d, IDC_DEVICE_BUZZER_ON);
                        Click(d, IDCANCEL);
                      })});
  EXPECT_EQ(dialog.ShowModal(owner_), IDCANCEL);
  script.finish();
  EXPECT_EQ(script.stepsDone(), 2u);
  EXPECT_EQ(ReadBytes(card.settings()), kOldSettings);
}

// --- the guard and the card path between commands ----------------------------------------

bool GuardNameExists() {
  const HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, DialogMutex::kName);
  if (h == nullptr) return false;
  CloseHandle(h);
  return true;
}

TEST_F(DeviceDialogTest, GuardWarnsOfAnotherHolderAndTheDialogOpensAllTheSame) {
  ASSERT_FALSE(GuardNameExists()) << "another test holds the guard";
  const struct {
    const char* name;
    bool otherHolder;
    std::vector<unsigned> boxes;
  } cases[] = {
      {"alone", false, {}},
      {"another viewer has a dialog open", true, {kTextDialogOpenElsewhere}},
  };
  for (const auto& c : cases) {
    const HANDLE other = c.otherHolder ? CreateMutexW(nullptr, FALSE, DialogMutex::kName) : nullptr;
    bool nameWhileOpen = false;
    std::vector<ModalStep> steps;
    if (c.otherHolder) steps.push_back(Press(ModalKind::MessageBox, IDOK));
    steps.push_back({ModalKind::FolderChooser, [&](HWND chooser) {
                       nameWhileOpen = GuardNameExists();
                       PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
                     }});
    steps.push_back(OnDialog([](HWND d) { Click(d, IDCANCEL); }));
    DeviceCommands commands(L"C:\\");
    ModalScript script(steps);
    commands.RunSettings(owner_);
    script.finish();
    EXPECT_EQ(script.stepsDone(), steps.size()) << c.name;
    EXPECT_EQ(script.boxes(), Texts(c.boxes)) << c.name;
    EXPECT_TRUE(nameWhileOpen) << c.name;
    if (other != nullptr) CloseHandle(other);
    EXPECT_FALSE(GuardNameExists()) << c.name << ": released with the command";
  }
}

TEST_F(DeviceDialogTest, CardPathIsKeptOnlyFromDialogsEndedWithOk) {
  Card first;
  Card second;
  WriteBytes(first.path() / "FIRMINFO.DAT", FirmInfoImage({}));
  DeviceCommands commands(L"C:\\");
  const struct {
    const char* name;
    void (DeviceCommands::*command)(HWND);
    std::vector<ModalStep> steps;
    std::wstring cardAfter;
  } cases[] = {
      {"settings written", &DeviceCommands::RunSettings,
       {ChooseFolderStep(first.wpath()), OnDialog([](HWND d) { Click(d, IDOK); }), Press(ModalKind::MessageBox, IDOK),
        Press(ModalKind::MessageBox, IDOK)},
       first.wpath()},
      {"date/time cancelled after choosing another card", &DeviceCommands::RunDateTime,
       {OnDialog([](HWND d) { Click(d, IDOK); }), ChooseFolderStep(second.wpath()),
        Press(ModalKind::MessageBox, IDCANCEL), OnDialog([](HWND d) { Click(d, IDCANCEL); })},
       first.wpath()},
      {"restore chooser cancelled", &DeviceCommands::RunRestore, {Press(ModalKind::FolderChooser, IDCANCEL)}, first.wpath()},
      {"restore stopped after choosing", &DeviceCommands::RunRestore,
       {ChooseFolderStep(second.wpath()), Press(ModalKind::MessageBox, IDCANCEL)}, second.wpath()},
  };
  for (const auto& c : cases) {
    ModalScript script(c.steps);
    (commands.*c.command)(owner_);
    script.finish();
    EXPECT_EQ(script.stepsDone(), c.steps.size()) << c.name;
    EXPECT_EQ(script.unexpected(), L"") << c.name;
    EXPECT_EQ(fs::path(commands.cardPath()), fs::path(c.cardAfter)) << c.name;
  }
}

}  // namespace
