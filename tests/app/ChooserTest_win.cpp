// The two choosers, driven on the virtual display as a user would answer them.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ModalScript_win.h"
#include "WindowSearch_win.h"
#include "TempDir.h"
#include "app/Application_win.h"
#include "app/FileChooser_win.h"
#include "app/SaveChooser_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/ChooserSubclass_win.h"
#include "toolkit/FolderChooser_win.h"

namespace {

namespace fs = std::filesystem;

std::wstring Normal(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  CharUpperW(&path[0]);
  return path;
}

// COM and the common controls as start-up leaves them, and a window to own the choosers.
class ChooserTest : public testing::Test {
 protected:
  void SetUp() override {
    InitialiseCom();
    InitialiseCommonControls();
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 100, 80, 700, 560, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
    thread_ = GetCurrentThreadId();
    fs::create_directory(dir_.path() / "sub");
    std::ofstream(dir_.path() / "0001_001.dat") << "x";
  }
  void TearDown() override {
    DestroyWindow(owner_);
    CoUninitialize();
  }

  std::wstring folder() const { return dir_.path().wstring(); }

  HWND owner_ = nullptr;
  DWORD thread_ = 0;
  TempDir dir_{ChooserTempBase()};
};

// --- the file chooser -------------------------------------------------------------

std::wstring ChooserFolder(HWND chooser) {
  wchar_t path[MAX_PATH] = {};
  SendMessageW(chooser, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
  return path;
}

bool InDetailsView(HWND chooser) {
  const HWND view = FindWindowExW(chooser, nullptr, L"SHELLDLL_DefView", nullptr);
  const HWND list = view ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
  return list != nullptr && (GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT;
}

// Types a name into the chooser's file-name field and presses its OK button.
void Enter(HWND chooser, const std::wstring& name) {
  HWND field = GetDlgItem(chooser, edt1);
  if (field == nullptr) field = GetDlgItem(chooser, cmb13);
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  PostMessageW(chooser, WM_COMMAND, IDOK, 0);
}

TEST_F(ChooserTest, StartFolderIsTheFolderOfTheFileOpenedLast) {
  const struct {
    std::wstring current;
    std::wstring start;
  } cases[] = {
      {folder() + L"\\0001_001.dat", folder() + L"\\"},
      {folder(), folder()},
      {folder() + L"\\sub\\", folder() + L"\\sub\\"},
      {folder() + L"\\gone.dat", folder() + L"\\gone.dat"},  // not a file (any more)
  };
  for (const auto& c : cases) EXPECT_EQ(ChooserStartFolder(c.current), c.start) << testing::PrintToString(c.current);
}

// The request handed to the system: the start folder is never the file opened last.
TEST_F(ChooserTest, FileChooserRequestStartsInAFolder) {
  const struct {
    std::wstring current;
    std::wstring initialDir;
  } cases[] = {
      {folder() + L"\\0001_001.dat", folder() + L"\\"},
      {folder(), folder()},
  };
  for (const auto& c : cases) {
    RecordingFileChooser chooser(owner_, c.current);
    const OPENFILENAMEW& r = chooser.request();
    EXPECT_STREQ(r.lpstrInitialDir, c.initialDir.c_str());
    EXPECT_EQ(r.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(r.hwndOwner, owner_);
    EXPECT_EQ(r.nMaxFile, 260u);
    EXPECT_EQ(r.lpstrFile[0], L'\0');
    EXPECT_STREQ(r.lpstrFilter, L"画像ファイル(*.dat)");
    EXPECT_STREQ(r.lpstrFilter + wcslen(r.lpstrFilter) + 1, L"*.dat");
    EXPECT_EQ(r.nFilterIndex, 1u);
    EXPECT_STREQ(r.lpstrDefExt, L"dat");
    EXPECT_EQ(r.lpstrTitle, nullptr);
    EXPECT_EQ(r.Flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST |
                                          OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING));
    EXPECT_NE(r.lpfnHook, nullptr);
  }
}

TEST_F(ChooserTest, FileChooserOpensInTheFolderOfTheCurrentFile) {
  std::wstring seen;
  std::wstring chosen = L"untouched";
  bool ok = true;
  {
    ModalScript script({OnAnyDialog([&](HWND chooser) {
      WaitFor([&] { return !ChooserFolder(chooser).empty(); });
      seen = ChooserFolder(chooser);
      PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    })});
    ok = ChooseRecordingFile(owner_, folder() + L"\\0001_001.dat", chosen);
    script.finish();
    EXPECT_EQ(script.stepsDone(), 1u);
  }
  EXPECT_EQ(Normal(seen), Normal(folder()));
  EXPECT_FALSE(ok);
  EXPECT_EQ(chosen, L"");  // the buffer, empty, comes back also on cancel
}

TEST_F(ChooserTest, FileChooserListsEveryFolderWithDetails) {
  bool detailsAtStart = false, movedIn = false, detailsAfterMove = false;
  {
    ModalScript script({OnAnyDialog([&](HWND chooser) {
      detailsAtStart = WaitFor([&] { return InDetailsView(chooser); }, 20000);
      Enter(chooser, L"sub");
      movedIn = WaitFor([&] { return Normal(ChooserFolder(chooser)) == Normal(folder() + L"\\sub"); }, 20000);
      detailsAfterMove = WaitFor([&] { return InDetailsView(chooser); }, 20000);
      PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    })});
    std::wstring chosen;
    EXPECT_FALSE(ChooseRecordingFile(owner_, folder(), chosen));
    script.finish();
    EXPECT_EQ(script.stepsDone(), 1u);
  }
  EXPECT_TRUE(detailsAtStart);
  EXPECT_TRUE(movedIn);
  EXPECT_TRUE(detailsAfterMove);
}

TEST_F(ChooserTest, FileChooserGivesTheChosenPath) {
  std::wstring chosen;
  bool ok = false;
  {
    ModalScript script({OnAnyDialog([&](HWND chooser) {
      WaitFor([&] { return !ChooserFolder(chooser).empty(); });
      Enter(chooser, L"0001_001.dat");
    })});
    ok = ChooseRecordingFile(owner_, folder(), chosen);
  }
  EXPECT_TRUE(ok);
  EXPECT_EQ(Normal(chosen), Normal(folder() + L"\\0001_001.dat"));
}

// --- the save chooser ---------------------------------------------------------------

std::wstring NameField(HWND chooser) {
  HWND field = GetDlgItem(chooser, edt1);
  if (field == nullptr) field = GetDlgItem(chooser, cmb13);
  wchar_t text[MAX_PATH] = {};
  GetWindowTextW(field, text, MAX_PATH);
  return text;
}

// The first save starts in the pictures folder with the proposed name; the next starts
// where the first was saved, the chosen path keeping the type's extension.
TEST_F(ChooserTest, SaveChooserStartsInThePicturesThenWhereTheUserSavedLast) {
  SaveChooser saver;
  const struct {
    SaveChooser::Kind kind;
    std::wstring proposed;
    std::wstring typed;  // a folder and a name without its extension
    std::wstring startsIn;
    std::wstring saved;
  } steps[] = {
      {SaveChooser::Kind::Clip, L"20260312_081502.avi", folder() + L"\\sub\\clip", PicturesFolder(),
       folder() + L"\\sub\\clip.avi"},
      {SaveChooser::Kind::Png, L"20260312_081502_07.png", L"shown", folder() + L"\\sub", folder() + L"\\sub\\shown.png"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(testing::PrintToString(step.proposed));
    std::wstring seenFolder, seenName, chosen;
    ModalScript script({OnAnyDialog([&](HWND chooser) {
      WaitFor([&] { return !ChooserFolder(chooser).empty(); });
      seenFolder = ChooserFolder(chooser);
      seenName = NameField(chooser);
      Enter(chooser, step.typed);
    })});
    EXPECT_TRUE(saver.choose(owner_, step.kind, step.proposed, chosen));
    script.finish();
    EXPECT_EQ(Normal(seenFolder), Normal(step.startsIn));
    EXPECT_EQ(seenName, step.proposed);
    EXPECT_EQ(Normal(chosen), Normal(step.saved));
  }
  EXPECT_FALSE(PicturesFolder().empty());
}

// --- the folder chooser's subclassing, on a window of the test's own ----------------

std::vector<UINT> g_reached;
bool g_restoredAtDestroy = false;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_reached.push_back(message);
  if (message == WM_DESTROY) {
    g_restoredAtDestroy = GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&RecordingProc) &&
                          !IsChooserPartSubclassed(window);
  }
  if (message == WM_APP) return 77;
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND RecordingWindow() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PathscopeChooserPartTest";
    return RegisterClassExW(&wc);
  }();
  return CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

bool Reached(UINT message) {
  for (UINT m : g_reached) if (m == message) return true;
  return false;
}

TEST(SubclassChooserPart, SwallowsHelpForwardsTheRestAndLeavesAtDestroy) {
  // The replaced procedure lies above 4 GB here, so a copy of it cut to 32 bits fails.
  ASSERT_GT(reinterpret_cast<uintptr_t>(&RecordingProc), uintptr_t{0xFFFFFFFF});
  const struct {
    ChooserPart part;
    UINT message;
    bool forwarded;
  } cases[] = {
      {ChooserPart::Dialog, WM_HELP, false},        {ChooserPart::Dialog, WM_CONTEXTMENU, false},
      {ChooserPart::Dialog, WM_APP, true},          {ChooserPart::Tree, WM_HELP, false},
      {ChooserPart::Tree, WM_CONTEXTMENU, true},    {ChooserPart::Tree, WM_APP, true},
  };
  for (const auto& c : cases) {
    const HWND window = RecordingWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(SubclassChooserPart(window, c.part));
    EXPECT_FALSE(SubclassChooserPart(window, c.part)) << "only once";
    EXPECT_TRUE(IsChooserPartSubclassed(window));
    EXPECT_EQ(GetWindow(window, GW_CHILD), nullptr) << "no hidden children";
    g_reached.clear();
    const LRESULT result = SendMessageW(window, c.message, 0, 0);
    EXPECT_EQ(Reached(c.message), c.forwarded) << c.message;
    if (c.message == WM_APP) {
      EXPECT_EQ(result, 77);
    }
    if (!c.forwarded) {
      EXPECT_EQ(result, 0);
    }
    g_restoredAtDestroy = false;
    DestroyWindow(window);
    EXPECT_TRUE(g_restoredAtDestroy) << c.message;
  }
}

// --- the folder chooser ---------------------------------------------------------------

HWND FindTreeOf(HWND chooser) { return FindChildOfClass(chooser, L"SysTreeView32"); }

TEST_F(ChooserTest, FolderChooserStartsOnThePathAndReturnsIt) {
  struct Seen {
    bool dialogSubclassed = false, treeSubclassed = false, hiddenChildren = true, contextHelp = true;
    bool helpIgnored = false, contextMenuIgnored = false, centred = false, selected = false;
  } seen;
  std::wstring path = folder();
  bool ok = false;
  {
    ModalScript script({OnAnyDialog([&](HWND chooser) {
      seen.dialogSubclassed = IsChooserPartSubclassed(chooser);
      const HWND tree = FindTreeOf(chooser);
      seen.treeSubclassed = tree != nullptr && IsChooserPartSubclassed(tree);
      seen.hiddenChildren = GetDlgItem(chooser, 5504) != nullptr || (tree && GetDlgItem(tree, 5509) != nullptr);
      seen.contextHelp = (GetWindowLongPtrW(chooser, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0;
      HELPINFO help{};
      help.cbSize = sizeof help;
      help.iContextType = HELPINFO_WINDOW;
      help.hItemHandle = chooser;
      seen.helpIgnored = SendMessageW(chooser, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)) == 0 &&
                         FindThreadDialog(thread_, chooser) == nullptr && IsWindow(chooser);
      seen.contextMenuIgnored = SendMessageW(chooser, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(chooser),
                                             MAKELPARAM(300, 300)) == 0 && IsWindow(chooser);
      RECT o, c;
      GetWindowRect(owner_, &o);
      GetWindowRect(chooser, &c);
      seen.centred = c.left == o.left + ((o.right - o.left) - (c.right - c.left)) / 2 &&
                     c.top == o.top + ((o.bottom - o.top) - (c.bottom - c.top)) / 2;
      seen.selected = WaitFor([&] { return SelectedTreeItemText(tree) == dir_.path().filename().wstring(); }, 20000);
      PostMessageW(chooser, WM_COMMAND, IDOK, 0);
    })});
    ok = ChooseFolder(owner_, L"title", path);
    script.finish();
    EXPECT_EQ(script.stepsDone(), 1u);
  }
  EXPECT_TRUE(seen.dialogSubclassed);
  EXPECT_TRUE(seen.treeSubclassed);
  EXPECT_FALSE(seen.hiddenChildren);
  EXPECT_FALSE(seen.contextHelp);
  EXPECT_TRUE(seen.helpIgnored);
  EXPECT_TRUE(seen.contextMenuIgnored);
  EXPECT_TRUE(seen.centred);
  EXPECT_TRUE(seen.selected);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Normal(path), Normal(folder()));
}

enum class Answer { Cancel, ChooseSub, ChooseComputer };

TEST_F(ChooserTest, FolderChooserWritesThePathOnlyForAFileSystemFolder) {
  const struct {
    const char* name;
    Answer answer;
    bool chosen;
    bool warned;
    std::wstring path;
  } cases[] = {
      {"cancel", Answer::Cancel, false, false, folder()},
      {"another folder", Answer::ChooseSub, true, false, folder() + L"\\sub"},
      {"a virtual item", Answer::ChooseComputer, false, true, folder()},
  };
  for (const auto& c : cases) {
    std::wstring path = folder();
    std::wstring warning;
    bool ok = !c.chosen;
    {
      ModalScript script({OnAnyDialog([&](HWND chooser) {
        // The user presses OK once the tree shows the item chosen: the chooser may still
        // be settling its own first selection, which would replace an early choice.
        const HWND tree = FindTreeOf(chooser);
        const std::wstring start = fs::path(folder()).filename().wstring();
        if (c.answer == Answer::ChooseSub) {
          const std::wstring sub = folder() + L"\\sub";
          EXPECT_TRUE(WaitFor([&] {
            SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(sub.c_str()));
            return SelectedTreeItemText(tree) == L"sub";
          }, 20000)) << "the sub-folder was not selected";
        } else if (c.answer == Answer::ChooseComputer) {
          PIDLIST_ABSOLUTE computer = nullptr;
          SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
          EXPECT_TRUE(WaitFor([&] {
            SendMessageW(chooser, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(computer));
            const std::wstring shown = SelectedTreeItemText(tree);
            return !shown.empty() && shown != start;
          }, 20000)) << "the computer was not selected";
          CoTaskMemFree(computer);
        }
        PostMessageW(chooser, WM_COMMAND, c.answer == Answer::Cancel ? IDCANCEL : IDOK, 0);
        if (!c.warned) return;
        HWND box = nullptr;
        WaitFor([&] { return !IsWindow(chooser) && (box = FindThreadDialog(thread_)) != nullptr; });
        if (box == nullptr) return;
        warning = WindowText(GetDlgItem(box, 0xFFFF));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      })});
      ok = ChooseFolder(owner_, L"title", path);
    }
    EXPECT_EQ(ok, c.chosen) << c.name;
    EXPECT_EQ(Normal(path), Normal(c.path)) << c.name;
    EXPECT_EQ(warning, c.warned ? LoadText(kTextFolderNotSelectable) : L"") << c.name;
  }
}

}  // namespace
