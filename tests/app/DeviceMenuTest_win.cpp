// The main window's command ids of the recorder's card, each mapped to its device
// command: told apart by the windows the command opens, answered with Cancel.
#include <string>
#include <vector>

#include "DeviceDialogTestSupport_win.h"
#include "ModalScript_win.h"
#include "app/DeviceMenu_win.h"
#include "app/ResourceIds.h"
#include "devicedialogs/DeviceCommands_win.h"
#include "devicedialogs/DeviceDialogIds.h"

namespace {

// A device command's window as the log names it: a dialog by its controls, the chooser
// by its owner.
std::string Describe(HWND window, HWND mainWindow) {
  if (KindOf(window) == ModalKind::FolderChooser) {
    const HWND owner = GetWindow(window, GW_OWNER);
    return owner == mainWindow ? "chooser" : "chooser over the " + Describe(owner, mainWindow);
  }
  if (GetDlgItem(window, IDC_DATE_TIME_PICKER) != nullptr) return "date/time dialog";
  if (GetDlgItem(window, IDC_DEVICE_BUZZER_ON) != nullptr) return "settings dialog";
  return "other window";
}

// The device dialogs' fixture: a window to own the commands' windows, COM as start-up
// leaves it.
class DeviceMenuIdsTest : public DeviceDialogTest {};

TEST_F(DeviceMenuIdsTest, EachCardCommandIdRunsItsOwnCommandAndNoOtherIdRunsOne) {
  const struct {
    WORD id;
    bool isDeviceCommand;
    std::vector<ModalKind> windows;
    std::vector<std::string> seen;
  } cases[] = {
      // The settings dialog asks for the card as it opens.
      {IDM_DEVICE_SETTINGS,
       true,
       {ModalKind::FolderChooser, ModalKind::Dialog},
       {"chooser over the settings dialog", "settings dialog"}},
      {IDM_DATE_TIME, true, {ModalKind::Dialog}, {"date/time dialog"}},
      {IDM_RESTORE_CARD, true, {ModalKind::FolderChooser}, {"chooser"}},
      {IDM_OPEN, false, {}, {}},
      {IDM_EXIT, false, {}, {}},
      {IDM_HELP, false, {}, {}},
      {IDM_ABOUT, false, {}, {}},
  };
  for (const auto& c : cases) {
    DeviceCommands commands(L"C:\\");
    std::vector<std::string> seen;
    const auto logAndCancel = [&](ModalKind kind) {
      return ModalStep{kind, [&](HWND window) {
                         seen.push_back(Describe(window, owner_));
                         PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                       }};
    };
    std::vector<ModalStep> steps;
    for (ModalKind kind : c.windows) steps.push_back(logAndCancel(kind));
    // Where nothing may open, a second's watch for a dialog, which would be logged; the
    // script cancels anything else left open.
    if (c.windows.empty()) steps.push_back(logAndCancel(ModalKind::Dialog));
    ModalScript script(steps, c.windows.empty() ? 1000 : 60000);
    EXPECT_EQ(RunDeviceMenuCommand(commands, c.id, owner_), c.isDeviceCommand) << c.id;
    script.finish();
    EXPECT_EQ(seen, c.seen) << c.id;
    EXPECT_EQ(script.unexpected(), L"") << c.id;
    EXPECT_EQ(commands.cardPath(), L"C:\\") << c.id;
  }
}

}  // namespace
