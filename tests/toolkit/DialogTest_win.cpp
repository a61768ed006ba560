#include "toolkit/Dialog_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/Window_win.h"

namespace {

constexpr WORD kTemplate = 900;  // LabelDialogTests.rc
constexpr int kEdit = 901;
constexpr UINT kStep = WM_APP + 20;  // the test's next action, posted to the dialog
constexpr UINT_PTR kSafetyTimer = 77;
constexpr INT_PTR kGaveUp = -77;

// A dialog that leaves IDOK and IDCANCEL to the base. On opening it posts itself kStep;
// the step runs `action`. A dialog that is not closed within 30 s ends with kGaveUp, so a
// broken close fails the test instead of hanging it.
class TestDialog : public Dialog {
 public:
  explicit TestDialog(std::function<void(TestDialog&)> action, WORD templateId = kTemplate)
      : Dialog(templateId), action_(std::move(action)) {}

  INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_INITDIALOG) {
      SetTimer(handle(), kSafetyTimer, 30000, nullptr);
      PostMessageW(handle(), kStep, 0, 0);
    } else if (message == WM_TIMER && wParam == kSafetyTimer) {
      EndDialog(handle(), kGaveUp);
    } else if (message == kStep) {
      action_(*this);
      return TRUE;
    }
    return Dialog::DialogProc(message, wParam, lParam);
  }

  // A key pressed and released, as the keyboard delivers it to `target`.
  void press(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  }

 private:
  std::function<void(TestDialog&)> action_;
};

HWND Owner() {
  static HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  return owner;
}

// Message boxes of this thread seen (caption, text) while a call runs, each answered
// with OK from a timer that the box's own modal loop dispatches.
struct MessageBoxWatch {
  static std::vector<std::pair<std::wstring, std::wstring>>& boxes() {
    static std::vector<std::pair<std::wstring, std::wstring>> seen;
    return seen;
  }
  static BOOL CALLBACK look(HWND window, LPARAM) {
    static std::set<HWND> answered;
    wchar_t name[64] = {};
    wchar_t caption[256] = {};
    wchar_t text[1024] = {};
    GetClassNameW(window, name, 64);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window) || !answered.insert(window).second) return TRUE;
    GetWindowTextW(window, caption, 256);
    GetDlgItemTextW(window, 0xFFFF, text, 1024);
    boxes().emplace_back(caption, text);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), &look, 0); }
  MessageBoxWatch() : timer(SetTimer(nullptr, 0, 50, &tick)) { boxes().clear(); }
  ~MessageBoxWatch() { KillTimer(nullptr, timer); }
  UINT_PTR timer;
};

}  // namespace

TEST(Dialog, EnterAndEscapeCloseWithOkAndCancel) {
  struct Case {
    const char* name;
    bool toEdit;  // the key goes to the focused edit control, else to the dialog itself
    WPARAM key;
    INT_PTR result;
  };
  const Case cases[] = {
      {"Enter in the edit", true, VK_RETURN, IDOK},
      {"Escape in the edit", true, VK_ESCAPE, IDCANCEL},
      {"Enter on the dialog", false, VK_RETURN, IDOK},
      {"Escape on the dialog", false, VK_ESCAPE, IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND seen = nullptr;
    TestDialog dialog([&](TestDialog& d) {
      seen = d.handle();
      EXPECT_EQ(Dialog::lookup(d.handle()), &d);
      EXPECT_EQ(d.owner(), Owner());
      d.press(c.toEdit ? GetDlgItem(d.handle(), kEdit) : d.handle(), c.key);
    });
    EXPECT_EQ(dialog.ShowModal(Owner()), c.result);
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(Dialog::lookup(seen), nullptr) << "the entry goes with the window";
  }
}

TEST(Dialog, NestedDialogsAreEachRoutedToTheirOwnObject) {
  INT_PTR innerResult = 0;
  HWND outerWindow = nullptr;
  HWND innerWindow = nullptr;
  TestDialog outer([&](TestDialog& o) {
    outerWindow = o.handle();
    TestDialog inner([&](TestDialog& i) {
      innerWindow = i.handle();
      EXPECT_EQ(Dialog::lookup(o.handle()), &o);
      EXPECT_EQ(Dialog::lookup(i.handle()), &i);
      EXPECT_EQ(i.owner(), o.handle());
      i.press(i.handle(), VK_ESCAPE);
    });
    innerResult = inner.ShowModal(o.handle());
    EXPECT_EQ(Dialog::lookup(o.handle()), &o) << "the outer dialog is still routed";
    o.press(o.handle(), VK_RETURN);
  });
  EXPECT_EQ(outer.ShowModal(Owner()), IDOK);
  EXPECT_EQ(innerResult, IDCANCEL);
  ASSERT_NE(innerWindow, nullptr);
  EXPECT_NE(innerWindow, outerWindow);
  EXPECT_EQ(Dialog::lookup(innerWindow), nullptr);
  EXPECT_EQ(Dialog::lookup(outerWindow), nullptr);
}

TEST(Dialog, AFailingHandlerDoesNotUnwindThroughTheDialogManager) {
  int steps = 0;
  TestDialog dialog([&](TestDialog& d) {
    if (++steps == 1) {
      PostMessageW(d.handle(), kStep, 0, 0);
      throw IOException(L"thrown in a dialog");
    }
    d.press(d.handle(), VK_RETURN);
  });
  EXPECT_EQ(dialog.ShowModal(Owner()), IDOK) << "the dialog goes on after a failure";
  EXPECT_EQ(steps, 2);
  try {
    Window::rethrowPendingFailure();
    ADD_FAILURE() << "the failure was lost";
  } catch (const IOException& e) {
    EXPECT_EQ(e.message, L"thrown in a dialog");
  }
}

TEST(Dialog, AMissingTemplateShowsOneWarningWithTheSystemsTextAndGivesMinusOne) {
  MessageBoxWatch watch;
  TestDialog dialog([](TestDialog&) {}, 9999);
  EXPECT_EQ(dialog.ShowModal(Owner()), -1);
  ASSERT_EQ(watch.boxes().size(), 1u);
  EXPECT_EQ(watch.boxes()[0].first, LoadText(kTextWarningCaption));
  EXPECT_EQ(watch.boxes()[0].second, WindowException(ERROR_RESOURCE_NAME_NOT_FOUND).message);
  EXPECT_FALSE(watch.boxes()[0].second.empty());
}

TEST(Dialog, CenterOverCentresTheWindowRectangleWithTruncatedHalves) {
  struct Case {
    RECT reference;  // left, top, right, bottom
    SIZE window;
    POINT expected;
  };
  const Case cases[] = {
      {{100, 50, 500, 350}, {200, 100}, {200, 150}},
      {{100, 50, 500, 350}, {400, 300}, {100, 50}},     // same size: same place
      {{0, 0, 100, 100}, {51, 10}, {24, 45}},           // odd difference: halves round down
      {{300, 200, 400, 300}, {203, 151}, {249, 175}},   // larger: left of and above the origin
      {{0, 0, 100, 100}, {203, 151}, {-51, -25}},       // negative halves go towards zero
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.reference.left << "," << c.reference.top << " " << c.window.cx << "x"
                                    << c.window.cy);
    const RECT& r = c.reference;
    ScopedWindowHandle reference(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, r.left, r.top, r.right - r.left,
                                                 r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                                                 nullptr));
    ScopedWindowHandle window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 7, 9, c.window.cx, c.window.cy,
                                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    Dialog::CenterOver(window.get(), reference.get());
    RECT moved;
    GetWindowRect(window.get(), &moved);
    EXPECT_EQ(moved.left, c.expected.x);
    EXPECT_EQ(moved.top, c.expected.y);
    EXPECT_EQ(moved.right - moved.left, c.window.cx) << "the size stays";
    EXPECT_EQ(moved.bottom - moved.top, c.window.cy);
  }
}
