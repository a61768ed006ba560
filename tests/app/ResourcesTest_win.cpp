// The resources Pathscope.exe carries: read from the built executable itself.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "DialogTemplate_win.h"
#include "app/ResourceIds.h"
#include "devicedialogs/DeviceDialogIds.h"
#include "app/VersionResource_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);  // 1041

// Pathscope.exe loaded for its resources only.
class ExeResources : public testing::Test {
 protected:
  static void SetUpTestSuite() { exe_ = LoadLibraryExW(PATHSCOPE_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE); }
  static void TearDownTestSuite() {
    if (exe_) FreeLibrary(exe_);
    exe_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(exe_, nullptr) << "cannot load " << testing::PrintToString(std::wstring(PATHSCOPE_EXE)); }

  // The bytes of resource (type, id) in language 1041, empty when it has none.
  static std::vector<BYTE> Japanese(LPCWSTR type, WORD id) {
    const HRSRC found = FindResourceExW(exe_, type, MAKEINTRESOURCEW(id), kJapanese);
    if (!found) return {};
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(exe_, found)));
    return std::vector<BYTE>(data, data + SizeofResource(exe_, found));
  }

  static HMODULE exe_;
};
HMODULE ExeResources::exe_ = nullptr;

TEST_F(ExeResources, MenuDialogsAndHelpPageAreJapanese) {
  const struct {
    LPCWSTR type;
    WORD id;
  } resources[] = {
      {RT_MENU, IDR_MAIN_MENU},     {RT_DIALOG, IDD_ABOUT},   {RT_DIALOG, IDD_DATE_TIME},
      {RT_DIALOG, IDD_DEVICE_SETTINGS}, {RT_HTML, IDH_HELP_PAGE}, {RT_VERSION, 1},
  };
  for (const auto& r : resources) EXPECT_FALSE(Japanese(r.type, r.id).empty()) << r.id;
}

struct MenuItem {
  const wchar_t* text;  // null for a separator
  UINT id;
};
struct Popup {
  const wchar_t* text;
  std::vector<MenuItem> items;
};

// The popup of the menu bar titled `title`, and its place; null when there is none.
HMENU FindPopup(HMENU bar, const wchar_t* title, int& place) {
  wchar_t text[256];
  for (int p = 0; p < GetMenuItemCount(bar); ++p) {
    GetMenuStringW(bar, static_cast<UINT>(p), text, 256, MF_BYPOSITION);
    if (std::wstring(text) == title) {
      place = p;
      return GetSubMenu(bar, p);
    }
  }
  place = -1;
  return nullptr;
}

TEST_F(ExeResources, MenuHasTheThreeMenusWithTheirCommands) {
  const std::vector<Popup> expected = {
      {L"ファイル(&F)",
       {{L"開く(&O)...", IDM_OPEN},
        {nullptr, 0},
        {L"書き出し(&E)...\tCtrl+E", IDM_EXPORT_CLIP},
        {L"コマを保存(&S)...\tCtrl+S", IDM_SAVE_FRAME},
        {L"表示中の画像を保存(&P)...\tCtrl+Shift+S", IDM_SAVE_SHOWN_PICTURE},
        {L"画像をコピー(&C)\tCtrl+C", IDM_COPY_PICTURE},
        {nullptr, 0},
        {L"終了(&X)", IDM_EXIT}}},
      {L"設定(&S)", {{L"本体設定(&S)...", IDM_DEVICE_SETTINGS}, {L"日時設定(&C)...", IDM_DATE_TIME}}},
      {L"ヘルプ(&H)", {{L"ヘルプ(&H)...", IDM_HELP}, {nullptr, 0}, {L"バージョン情報(&A)...", IDM_ABOUT}}},
  };
  const HMENU menu = LoadMenuW(exe_, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  wchar_t text[256];
  int last = -1;
  for (size_t p = 0; p < expected.size(); ++p) {
    int place = -1;
    const HMENU sub = FindPopup(menu, expected[p].text, place);
    ASSERT_NE(sub, nullptr) << p;
    EXPECT_GT(place, last) << "in their order";
    last = place;
    ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(expected[p].items.size())) << p;
    for (size_t i = 0; i < expected[p].items.size(); ++i) {
      const MenuItem& item = expected[p].items[i];
      const UINT state = GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION);
      if (item.text == nullptr) {
        EXPECT_TRUE(state & MF_SEPARATOR) << p << "/" << i;
        continue;
      }
      GetMenuStringW(sub, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
      EXPECT_STREQ(text, item.text);
      EXPECT_EQ(GetMenuItemID(sub, static_cast<int>(i)), item.id) << p << "/" << i;
      EXPECT_EQ(state & (MF_GRAYED | MF_DISABLED | MF_CHECKED), 0u) << p << "/" << i;
    }
  }
  // The playback menu sits between the file and the settings menus.
  int file = -1, playback = -1, settings = -1;
  FindPopup(menu, L"ファイル(&F)", file);
  FindPopup(menu, L"再生(&P)", playback);
  FindPopup(menu, L"設定(&S)", settings);
  EXPECT_EQ(playback, file + 1);
  EXPECT_LT(playback, settings);
  DestroyMenu(menu);
}

// The view menu comes right after the playback menu: its toggles, only the combined G
// checked, and the drive summary.
TEST_F(ExeResources, ViewMenuFollowsThePlaybackMenuWithItsToggles) {
  const HMENU menu = LoadMenuW(exe_, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  int playback = -1, view = -1;
  FindPopup(menu, L"再生(&P)", playback);
  const HMENU sub = FindPopup(menu, L"表示(&V)", view);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(view, playback + 1);
  const struct {
    UINT id;
    bool checked;
  } items[] = {{IDM_VIEW_TOTAL_G, true},   {IDM_VIEW_AXIS_X, false},       {IDM_VIEW_AXIS_Y, false},
               {IDM_VIEW_AXIS_Z, false},   {IDM_VIEW_SPEED, false},        {IDM_VIEW_THRESHOLD, false},
               {0, false},                 {IDM_VIEW_FRAME_VALUES, false}, {IDM_VIEW_G_CIRCLE, false},
               {0, false},                 {IDM_VIEW_DRIVE_SUMMARY, false}};
  ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(std::size(items)));
  for (size_t i = 0; i < std::size(items); ++i) {
    const UINT state = GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION);
    if (items[i].id == 0) {
      EXPECT_TRUE(state & MF_SEPARATOR) << i;
      continue;
    }
    EXPECT_EQ(GetMenuItemID(sub, static_cast<int>(i)), items[i].id) << i;
    EXPECT_EQ((state & MF_CHECKED) != 0, items[i].checked) << i;
    wchar_t text[256];
    GetMenuStringW(sub, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    EXPECT_NE(std::wstring(text).find(L"(&"), std::wstring::npos) << "a mnemonic for item " << i;
  }
  DestroyMenu(menu);
}

// How a menu shows a key after its tab: the key table's names.
std::wstring KeyName(const ACCEL& a, bool shiftedLetter) {
  std::wstring name;
  if (a.fVirt & FCONTROL) name += L"Ctrl+";
  if ((a.fVirt & FSHIFT) || shiftedLetter) name += L"Shift+";
  if (!(a.fVirt & FVIRTKEY)) return name + static_cast<wchar_t>(towupper(a.key));
  const struct {
    WORD key;
    const wchar_t* name;
  } names[] = {{VK_SPACE, L"Space"}, {VK_RIGHT, L"→"},   {VK_LEFT, L"←"},       {VK_UP, L"↑"},
               {VK_DOWN, L"↓"},      {VK_HOME, L"Home"}, {VK_END, L"End"},      {VK_BACK, L"Backspace"},
               {VK_NEXT, L"PgDn"},   {VK_PRIOR, L"PgUp"}, {VK_F1, L"F1"}};
  for (const auto& n : names) {
    if (n.key == a.key) return name + n.name;
  }
  return name + static_cast<wchar_t>(a.key);
}

// The keys the help page's rows name in their first cell ("→ / ←" names two).
std::vector<std::wstring> HelpKeys(const std::wstring& page) {
  std::vector<std::wstring> keys;
  const std::wstring row = L"<tr><td>";
  for (size_t at = page.find(row); at != std::wstring::npos; at = page.find(row, at + 1)) {
    const size_t start = at + row.size();
    const size_t end = page.find(L"</td>", start);
    if (end == std::wstring::npos) break;
    const std::wstring cell = page.substr(start, end - start);
    for (size_t from = 0;;) {
      const size_t cut = cell.find(L" / ", from);
      keys.push_back(cell.substr(from, cut == std::wstring::npos ? std::wstring::npos : cut - from));
      if (cut == std::wstring::npos) break;
      from = cut + 3;
    }
  }
  return keys;
}

// Every key of the accelerator table is shown after the tab of its command's menu item
// and named in the help page's key table; every key a menu item shows has its entry.
TEST_F(ExeResources, EveryKeyIsShownInTheMenuAndTheHelpPage) {
  const HACCEL keys = LoadAcceleratorsW(exe_, MAKEINTRESOURCEW(IDR_MAIN_KEYS));
  ASSERT_NE(keys, nullptr);
  std::vector<ACCEL> table(static_cast<size_t>(CopyAcceleratorTableW(keys, nullptr, 0)));
  CopyAcceleratorTableW(keys, table.data(), static_cast<int>(table.size()));
  const HMENU menu = LoadMenuW(exe_, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  ASSERT_NE(menu, nullptr);
  const std::vector<BYTE> page = Japanese(RT_HTML, IDH_HELP_PAGE);
  std::wstring help(page.size(), L'\0');
  help.resize(static_cast<size_t>(MultiByteToWideChar(932, 0, reinterpret_cast<const char*>(page.data()),
                                                      static_cast<int>(page.size()), help.data(),
                                                      static_cast<int>(help.size()))));
  const std::vector<std::wstring> helpKeys = HelpKeys(help);
  int place = -1;
  const HMENU playback = FindPopup(menu, L"再生(&P)", place);
  ASSERT_NE(playback, nullptr);
  // The keys of taking the picture away are shown in the file menu.
  const HMENU file = FindPopup(menu, L"ファイル(&F)", place);
  ASSERT_NE(file, nullptr);
  std::vector<UINT> shown;
  for (const ACCEL& a : table) {
    // An upper-case letter with a command of its own is that letter typed with Shift.
    bool shifted = false;
    if (!(a.fVirt & FVIRTKEY) && iswupper(a.key)) {
      for (const ACCEL& other : table) {
        shifted |= !(other.fVirt & FVIRTKEY) && other.key == towlower(a.key) && other.cmd != a.cmd;
      }
    }
    const std::wstring name = KeyName(a, shifted);
    wchar_t text[256] = {};
    const HMENU holder = GetMenuStringW(playback, a.cmd, nullptr, 0, MF_BYCOMMAND) > 0 ? playback : file;
    ASSERT_GT(GetMenuStringW(holder, a.cmd, text, 256, MF_BYCOMMAND), 0) << a.cmd;
    const std::wstring item(text);
    const size_t tab = item.find(L'\t');
    ASSERT_NE(tab, std::wstring::npos) << a.cmd;
    EXPECT_EQ(item.substr(tab + 1), name) << a.cmd;
    EXPECT_NE(std::find(helpKeys.begin(), helpKeys.end(), name), helpKeys.end()) << a.cmd;
    shown.push_back(a.cmd);
  }
  for (int i = 0; i < GetMenuItemCount(playback); ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(playback, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    const UINT id = GetMenuItemID(playback, i);
    if (std::wstring(text).find(L'\t') == std::wstring::npos) continue;
    EXPECT_NE(std::find(shown.begin(), shown.end(), id), shown.end()) << id;
  }
  DestroyMenu(menu);
}

// What a control must be: the style bits named in `style` must all be set, and the
// bits in `absent` all clear (0xF in `typeMask` compares the button type exactly).
struct ExpectedItem {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  int x, y, cx, cy;
  DWORD style;
  DWORD absent;
  DWORD typeMask;
};

struct ExpectedDialog {
  WORD id;
  const wchar_t* caption;
  int cx, cy;
  std::vector<ExpectedItem> items;
};

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kType = BS_TYPEMASK;

const std::wstring kRights =
    L"Pathscope drive recorder viewer\nCopyright (C) 2026 The Pathscope Project\nAll rights reserved.";

std::vector<ExpectedDialog> ExpectedDialogs() {
  return {
      {IDD_ABOUT, L"バージョン情報", 172, 161,
       {
           {IDOK, L"Button", L"OK", 61, 139, 50, 14, kShown | BS_DEFPUSHBUTTON, 0, kType},
           {IDC_ABOUT_NAME, L"Static", L"Pathscope", 7, 17, 158, 8, kShown | SS_CENTER, 0, 0},
           {IDC_ABOUT_VERSION, L"Static", L"バージョン情報", 7, 29, 158, 11, kShown | SS_CENTER, 0, 0},
           {IDC_ABOUT_RIGHTS, L"Static", kRights.c_str(), 7, 100, 158, 34, kShown | SS_CENTER, 0, 0},
           {IDC_ABOUT_LINK, L"Static", L"https://pathscope.example.org/support/", 43, 126, 87, 8,
            WS_CHILD | SS_CENTER | SS_NOTIFY, WS_VISIBLE, 0},
       }},
      {IDD_DATE_TIME, L"日時設定", 194, 109,
       {
           {IDC_DATE_TIME_TEXT, L"Static",
            L"本体の日時を設定します。\nここでは、現在の日時ではなく、エンジンを始動させ本体の電源がＯＮになる"
            L"日付・時刻を想定して設定して下さい。",
            7, 7, 177, 29, kShown, 0, 0},
           {IDC_UNNAMED, L"Button", L"日時", 7, 39, 180, 39, kShown | BS_GROUPBOX, 0, kType},
           {IDC_DATE_TIME_PICKER, L"SysDateTimePick32", L"", 35, 55, 53, 12, kShown | WS_TABSTOP, 0, 0},
           {IDC_DATE_TIME_HOUR, L"Edit", L"", 95, 55, 25, 12, kShown | WS_TABSTOP, ES_NUMBER, 0},
           {IDC_DATE_TIME_HOUR_SPIN, L"msctls_updown32", L"", 114, 65, 9, 14,
            kShown | UDS_AUTOBUDDY | UDS_SETBUDDYINT, 0, 0},
           {IDC_UNNAMED, L"Static", L"時", 121, 57, 9, 8, kShown, 0, 0},
           {IDC_DATE_TIME_MINUTE, L"Edit", L"", 134, 55, 25, 12, kShown | WS_TABSTOP, ES_NUMBER, 0},
           {IDC_DATE_TIME_MINUTE_SPIN, L"msctls_updown32", L"", 147, 66, 9, 14,
            kShown | UDS_AUTOBUDDY | UDS_SETBUDDYINT, 0, 0},
           {IDC_UNNAMED, L"Static", L"分", 159, 57, 9, 8, kShown, 0, 0},
           {IDOK, L"Button", L"OK", 43, 88, 50, 14, kShown | BS_DEFPUSHBUTTON, 0, kType},
           {IDCANCEL, L"Button", L"キャンセル", 101, 88, 50, 14, kShown | BS_PUSHBUTTON, 0, kType},
       }},
      {IDD_DEVICE_SETTINGS, L"本体設定", 193, 175,
       {
           {IDC_UNNAMED, L"Static", L"本体ブザーのON/OFFを設定します。 ", 30, 17, 132, 10, kShown, 0, 0},
           {IDC_UNNAMED, L"Button", L"ブザー設定", 30, 27, 132, 48, kShown | BS_GROUPBOX, 0, kType},
           {IDC_DEVICE_BUZZER_ON, L"Button", L"ON", 52, 40, 27, 10, kShown | BS_AUTORADIOBUTTON | WS_GROUP, 0, kType},
           {IDC_DEVICE_BUZZER_OFF, L"Button", L"OFF", 52, 57, 30, 10, kShown | BS_AUTORADIOBUTTON, WS_GROUP, kType},
           {IDC_UNNAMED, L"Static", L"本体の記録モードを設定します。", 30, 84, 132, 10, kShown, 0, 0},
           {IDC_UNNAMED, L"Button", L"記録モード設定", 30, 96, 132, 49, kShown | BS_GROUPBOX, 0, kType},
           {IDC_DEVICE_MODE_STANDARD, L"Button", L"標準モード", 52, 109, 48, 10,
            kShown | BS_AUTORADIOBUTTON | WS_GROUP, 0, kType},
           {IDC_DEVICE_MODE_LONG, L"Button", L"長時間モード", 52, 124, 56, 10, kShown | BS_AUTORADIOBUTTON, WS_GROUP,
            kType},
           {IDOK, L"Button", L"OK", 37, 150, 50, 14, kShown | BS_DEFPUSHBUTTON | WS_GROUP, 0, kType},
           {IDCANCEL, L"Button", L"キャンセル", 99, 150, 50, 14, kShown | BS_PUSHBUTTON, 0, kType},
       }},
  };
}

void ExpectItem(const DialogItem& got, const ExpectedItem& want, const std::string& where) {
  EXPECT_EQ(got.id, want.id) << where;
  EXPECT_EQ(_wcsicmp(got.className.c_str(), want.className), 0)
      << where << " class " << testing::PrintToString(got.className);
  EXPECT_EQ(got.text, want.text) << where;
  EXPECT_EQ(got.x, want.x) << where;
  EXPECT_EQ(got.y, want.y) << where;
  EXPECT_EQ(got.cx, want.cx) << where;
  EXPECT_EQ(got.cy, want.cy) << where;
  const DWORD plain = want.style & ~want.typeMask;
  EXPECT_EQ(got.style & plain, plain) << where << std::hex << " style " << got.style;
  EXPECT_EQ(got.style & want.absent, 0u) << where << std::hex << " style " << got.style;
  if (want.typeMask) {
    EXPECT_EQ(got.style & want.typeMask, want.style & want.typeMask) << where;
  }
}

TEST_F(ExeResources, DialogTemplatesHoldTheirControlsInOrder) {
  for (const ExpectedDialog& want : ExpectedDialogs()) {
    const std::vector<BYTE> bytes = Japanese(RT_DIALOG, want.id);
    ASSERT_FALSE(bytes.empty()) << want.id;
    DialogTemplate got;
    ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), got)) << want.id;
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(got.style & frame, frame) << want.id;
    EXPECT_EQ(got.caption, want.caption) << want.id;
    EXPECT_EQ(got.cx, want.cx) << want.id;
    EXPECT_EQ(got.cy, want.cy) << want.id;
    EXPECT_EQ(got.fontSize, 11) << want.id;
    EXPECT_EQ(got.fontFace, L"MS UI Gothic") << want.id;
    ASSERT_EQ(got.items.size(), want.items.size()) << want.id;
    for (size_t i = 0; i < want.items.size(); ++i) {
      ExpectItem(got.items[i], want.items[i], "dialog " + std::to_string(want.id) + " item " + std::to_string(i));
    }
  }
}

TEST_F(ExeResources, HiddenSupportLinkNamesTheSupportAddress) {
  const std::vector<BYTE> bytes = Japanese(RT_DIALOG, IDD_ABOUT);
  DialogTemplate about;
  ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), about));
  ASSERT_EQ(about.items.size(), 5u);
  EXPECT_EQ(about.items[4].text, LoadText(kTextSupportAddress));
}

TEST_F(ExeResources, VersionHasOneJapaneseUnicodeTranslationAndShowsAsOneZeroZero) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(PATHSCOPE_EXE, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(PATHSCOPE_EXE, 0, size, block.data()));
  void* table = nullptr;
  UINT bytes = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &table, &bytes));
  ASSERT_EQ(bytes, 4u);
  EXPECT_EQ(static_cast<const WORD*>(table)[0], 0x0411);
  EXPECT_EQ(static_cast<const WORD*>(table)[1], 0x04B0);
  void* value = nullptr;
  UINT units = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\FileVersion", &value, &units));
  EXPECT_STREQ(static_cast<const wchar_t*>(value), L"1, 0, 0, 0");
  EXPECT_EQ(VersionTextOf(PATHSCOPE_EXE), L"1.0.0");
}

TEST(VersionText, FallsBackToTheNoVersionText) {
  const std::wstring none = LoadText(kTextNoVersionInfo);
  ASSERT_EQ(none, L"バージョン情報がありません");
  EXPECT_EQ(VersionText(), none);  // this test program carries no version resource
  EXPECT_EQ(VersionTextOf(L"C:\\no such folder\\none.exe"), none);
}

BOOL CALLBACK CountName(HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

TEST_F(ExeResources, ManifestDeclaresNoDependency) {
  int manifests = 0;
  EnumResourceNamesW(exe_, RT_MANIFEST, CountName, reinterpret_cast<LONG_PTR>(&manifests));
  EXPECT_EQ(manifests, 1);
  const HRSRC found = FindResourceW(exe_, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const char*>(LockResource(LoadResource(exe_, found)));
  const std::string text(data, SizeofResource(exe_, found));
  EXPECT_NE(text.find("<assembly"), std::string::npos);
  EXPECT_EQ(text.find("<dependency"), std::string::npos);
  EXPECT_EQ(text.find("Common-Controls"), std::string::npos);
}

}  // namespace
