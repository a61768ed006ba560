#pragma once
// What the tests of the device dialogs share: a window to own them, the card files and
// the user's gestures, sent from the driver's thread as the system would deliver them.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeviceTestFiles.h"
#include "WindowSearch_win.h"
#include "ModalScript_win.h"
#include "app/Application_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

// COM and the common controls as start-up leaves them, and a window to own the dialogs.
class DeviceDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    InitialiseCom();
    InitialiseCommonControls();
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 80, 700, 560, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(owner_);
    CoUninitialize();
  }

  HWND owner_ = nullptr;
};

inline std::vector<std::wstring> Texts(const std::vector<unsigned>& ids) {
  std::vector<std::wstring> texts;
  for (unsigned id : ids) texts.push_back(LoadText(id));
  return texts;
}

// A click on a button, as the button itself turns a click into its notification.
inline void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Waits until the keys posted to the dialog have been handled: the focus has left
// `from`, and a message sent afterwards has come through (it is taken only once the
// dialog's thread is back in its message loop).
inline void Settle(HWND dialog, HWND from) {
  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  WaitFor([&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus != from;
  });
  SendMessageW(dialog, WM_NULL, 0, 0);
}

// A key as the message loop receives it, so that the dialog manager sees it first.
inline void PressKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

// A click at a point of a control's client area.
inline void ClickAt(HWND control, int x, int y) {
  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Clicks into an edit field, selects what it holds and types `text` over it (an empty
// text deletes it); then leaves the field with Tab.
inline void Retype(HWND dialog, int field, const std::wstring& text) {
  const HWND edit = GetDlgItem(dialog, field);
  ClickAt(edit, 3, 3);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  if (text.empty()) SendMessageW(edit, WM_CHAR, VK_BACK, 1);
  for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
  PressKey(edit, VK_TAB);
  Settle(dialog, edit);
}

inline SYSTEMTIME Date(WORD year, WORD month, WORD day) {
  SYSTEMTIME t{};
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  return t;
}

// Picks a date in the dialog's date picker.
inline bool PickDate(HWND dialog, int picker, const SYSTEMTIME& date) {
  return SendMessageW(GetDlgItem(dialog, picker), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date)) != 0;
}

// The recorder's firmware information file: 16 bytes of its own, then a settings image.
inline Bytes FirmInfoImage(std::initializer_list<Bytes> records) {
  Bytes image(16, 0x5A);
  image.insert(image.end(), kHeader0401.begin(), kHeader0401.end());
  for (const Bytes& r : records) image.insert(image.end(), r.begin(), r.end());
  return image;
}

inline bool HiddenReadOnly(const std::filesystem::path& path) {
  const DWORD a = GetFileAttributesW(path.wstring().c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_HIDDEN) && (a & FILE_ATTRIBUTE_READONLY);
}
