#include "toolkit/Window_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

// What happened, in order, across objects and class procedures.
std::vector<std::string> g_log;

class Recorder : public Window {
 public:
  explicit Recorder(std::string name) : name_(std::move(name)) {}
  ~Recorder() override { g_log.push_back(name_ + ":deleted"); }

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    messages.push_back(message);
    if (message == WM_DESTROY) g_log.push_back(name_ + ":WM_DESTROY");
    if (message == WM_PAINT) ++paints;
    if (message == kPing) return 4242;
    if (message == WM_CHAR && wParam >= L'0' && wParam <= L'9') return 0;  // no digits
    if (message == kThrow) throw IOException(L"thrown in a handler");
    return defaultHandling(message, wParam, lParam);
  }

  static constexpr UINT kPing = WM_APP + 1;
  static constexpr UINT kThrow = WM_APP + 2;
  std::vector<UINT> messages;
  int paints = 0;

 private:
  std::string name_;
};

// A class whose procedure notes the messages that reach it and passes them on to
// DefWindowProcW: it shows where a bound window's messages go once its object is gone.
LRESULT CALLBACK LoggingClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) g_log.push_back("class:WM_NCDESTROY");
  if (message == WM_CREATE) g_log.push_back("class:WM_CREATE");
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t* LoggingClass() {
  static ATOM atom = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = LoggingClassProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PathscopeLoggingTestClass";
    return RegisterClassExW(&wc);
  }();
  return MAKEINTATOM(atom);
}

// Hidden unless a test needs painting: without a window manager, showing and hiding a
// top-level window costs Wine seconds.
WindowCreateParams TopLevel(LPCWSTR className, DWORD visible = 0) {
  WindowCreateParams p;
  p.className = className;
  p.title = L"test";
  p.style = WS_OVERLAPPEDWINDOW | visible;
  p.x = 10;
  p.y = 10;
  p.width = 200;
  p.height = 150;
  p.instance = Window::classInstance();
  return p;
}

// A window object whose member function runs while its window may be destroyed, as a
// load that dispatches messages does.
class Holder : public Recorder {
 public:
  using Recorder::Recorder;
  // Holds `holds` times, destroys the window if asked, notes whether the object saw it
  // go, and releases every hold; returns what each release said.
  std::vector<bool> destroyWhileHeld(int holds, bool destroy) {
    for (int i = 0; i < holds; ++i) holdDeletion();
    if (destroy) DestroyWindow(handle());
    g_log.push_back(windowDestroyed() ? "held:gone" : "held:alive");
    std::vector<bool> released;
    for (int i = 0; i < holds; ++i) released.push_back(releaseDeletion());
    return released;
  }
};

size_t Count(const std::vector<UINT>& messages, UINT message) {
  return static_cast<size_t>(std::count(messages.begin(), messages.end(), message));
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return buffer;
}

}  // namespace

TEST(Window, RegistersDefaultWindowOnceWithItsClassData) {
  Recorder a("a");
  const ATOM first = Window::defaultClass();
  ASSERT_NE(first, 0);
  Recorder b("b");
  EXPECT_EQ(Window::defaultClass(), first);

  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  ASSERT_TRUE(GetClassInfoExW(Window::classInstance(), L"DefaultWindow", &wc));
  EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(wc.cbClsExtra, 0);
  EXPECT_EQ(wc.cbWndExtra, 0);
  EXPECT_EQ(wc.hbrBackground, nullptr);
  EXPECT_NE(wc.hCursor, nullptr);
}

TEST(Window, RoutesMessagesToTheObjectOnlyAfterCreateReturns) {
  g_log.clear();
  auto* w = new Recorder("w");
  w->create(TopLevel(LoggingClass()));
  ScopedWindowHandle guard(w->handle());
  // WM_CREATE went to the class procedure, never to the object.
  EXPECT_EQ(g_log, std::vector<std::string>{"class:WM_CREATE"});
  for (UINT m : w->messages) EXPECT_NE(m, static_cast<UINT>(WM_CREATE));

  EXPECT_EQ(Window::lookup(w->handle()), w);
  EXPECT_EQ(SendMessageW(w->handle(), Recorder::kPing, 0, 0), 4242);
  // Unhandled messages get the replaced procedure's answer.
  SetWindowTextW(w->handle(), L"caption");
  EXPECT_EQ(TextOf(w->handle()), L"caption");
}

TEST(Window, ObjectIsDeletedAfterWmDestroyAndBeforeWmNcDestroy) {
  g_log.clear();
  auto* w = new Recorder("w");
  w->create(TopLevel(LoggingClass()));
  const HWND hwnd = w->handle();
  g_log.clear();
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(g_log, (std::vector<std::string>{"w:WM_DESTROY", "w:deleted", "class:WM_NCDESTROY"}));
  EXPECT_EQ(Window::lookup(hwnd), nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Window, DefaultWindowObjectsGoWithTheirWindowsChildrenIncluded) {
  g_log.clear();
  auto* parent = new Recorder("parent");
  parent->create(TopLevel(MAKEINTATOM(Window::defaultClass())));
  auto* child = new Recorder("child");
  WindowCreateParams p;
  p.className = MAKEINTATOM(Window::defaultClass());
  p.style = WS_CHILD | WS_VISIBLE;
  p.width = 50;
  p.height = 20;
  p.parent = parent->handle();
  p.instance = Window::classInstance();
  child->create(p);
  const HWND parentHandle = parent->handle();
  const HWND childHandle = child->handle();
  g_log.clear();

  ASSERT_TRUE(DestroyWindow(parentHandle));
  // The parent's WM_DESTROY comes first and its object goes as soon as it is handled;
  // the children are destroyed afterwards.
  EXPECT_EQ(g_log, (std::vector<std::string>{"parent:WM_DESTROY", "parent:deleted", "child:WM_DESTROY",
                                              "child:deleted"}));
  EXPECT_EQ(Window::lookup(parentHandle), nullptr);
  EXPECT_EQ(Window::lookup(childHandle), nullptr);
}

TEST(Window, SubclassedControlKeepsItsOwnBehaviour) {
  auto* edit = new Recorder("edit");
  WindowCreateParams p = TopLevel(L"EDIT");
  p.style = WS_OVERLAPPED | ES_AUTOHSCROLL;
  edit->create(p);
  ScopedWindowHandle guard(edit->handle());
  const HWND hwnd = edit->handle();

  SetWindowTextW(hwnd, L"abc");
  EXPECT_EQ(TextOf(hwnd), L"abc");
  SendMessageW(hwnd, EM_LIMITTEXT, 7, 0);
  EXPECT_EQ(SendMessageW(hwnd, EM_GETLIMITTEXT, 0, 0), 7);
  SendMessageW(hwnd, EM_SETSEL, 3, 3);
  // The object filters digits and lets the control handle the rest.
  for (wchar_t c : std::wstring(L"d1e2")) SendMessageW(hwnd, WM_CHAR, c, 1);
  EXPECT_EQ(TextOf(hwnd), L"abcde");
  EXPECT_EQ(SendMessageW(hwnd, WM_GETDLGCODE, 0, 0),
            CallWindowProcW(reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)), hwnd,
                            WM_GETDLGCODE, 0, 0));
}

TEST(Window, AttachBindsAnExistingControl) {
  ScopedWindowHandle box(CreateWindowExW(0, L"BUTTON", L"check", WS_OVERLAPPED | BS_AUTOCHECKBOX, 0,
                                         0, 100, 30, nullptr, nullptr, GetModuleHandleW(nullptr),
                                         nullptr));
  ASSERT_TRUE(box);
  auto* w = new Recorder("box");
  w->attach(box.get());
  EXPECT_EQ(Window::lookup(box.get()), w);
  SendMessageW(box.get(), BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(SendMessageW(box.get(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_NE(std::find(w->messages.begin(), w->messages.end(), static_cast<UINT>(BM_GETCHECK)),
            w->messages.end());

  // Binding the same handle again keeps the first object.
  Recorder second("second");
  second.attach(box.get());
  EXPECT_EQ(Window::lookup(box.get()), w);
  EXPECT_EQ(SendMessageW(box.get(), Recorder::kPing, 0, 0), 4242);
  EXPECT_TRUE(second.messages.empty());

  Recorder none("none");
  none.attach(nullptr);
  EXPECT_EQ(none.handle(), nullptr);
}

TEST(Window, DeletingABoundObjectHandsTheWindowBackToItsOwnProcedure) {
  auto* edit = new Recorder("edit");
  WindowCreateParams p = TopLevel(L"EDIT");
  p.style = WS_OVERLAPPED;
  edit->create(p);
  ScopedWindowHandle guard(edit->handle());
  const HWND hwnd = guard.get();
  delete edit;
  EXPECT_EQ(Window::lookup(hwnd), nullptr);
  // The control still works and no message reaches the deleted object.
  SetWindowTextW(hwnd, L"still an edit");
  EXPECT_EQ(TextOf(hwnd), L"still an edit");
  EXPECT_EQ(SendMessageW(hwnd, Recorder::kPing, 0, 0), 0);
}

TEST(Window, EnablingChangesAndRepaintsOnlyOnAChange) {
  auto* w = new Recorder("w");
  w->create(TopLevel(MAKEINTATOM(Window::defaultClass()), WS_VISIBLE));
  ScopedWindowHandle guard(w->handle());
  UpdateWindow(w->handle());
  PumpPending();
  EXPECT_TRUE(w->isEnabled());

  w->paints = 0;
  w->setEnabled(true);
  EXPECT_EQ(w->paints, 0);

  w->setEnabled(false);
  EXPECT_FALSE(w->isEnabled());
  EXPECT_NE(GetWindowLongW(w->handle(), GWL_STYLE) & WS_DISABLED, 0);
  EXPECT_EQ(w->paints, 1);

  w->setEnabled(false);
  PumpPending();
  EXPECT_EQ(w->paints, 1);

  w->setEnabled(true);
  EXPECT_TRUE(w->isEnabled());
  EXPECT_EQ(w->paints, 2);
}

TEST(Window, CreationFailureThrowsAndBindsNothing) {
  Recorder w("w");
  WindowCreateParams p = TopLevel(L"NoSuchClassAnywhere");
  EXPECT_THROW(w.create(p), WindowException);
  EXPECT_EQ(w.handle(), nullptr);
}

TEST(Window, AnExceptionFromAHandlerStopsAtTheRoutingAndIsKeptForTheLoop) {
  auto* w = new Recorder("w");
  w->create(TopLevel(MAKEINTATOM(Window::defaultClass())));
  ScopedWindowHandle guard(w->handle());
  EXPECT_EQ(SendMessageW(w->handle(), Recorder::kThrow, 0, 0), 0);
  EXPECT_EQ(SendMessageW(w->handle(), Recorder::kPing, 0, 0), 4242);
  try {
    Window::rethrowPendingFailure();
    ADD_FAILURE() << "nothing was kept";
  } catch (const IOException& e) {
    EXPECT_EQ(e.message, L"thrown in a handler");
  }
  EXPECT_NO_THROW(Window::rethrowPendingFailure());
}

TEST(Window, AHeldObjectOutlivesItsWindowUntilTheLastHoldEnds) {
  auto* w = new Holder("h");
  w->create(TopLevel(MAKEINTATOM(Window::defaultClass())));
  const HWND hwnd = w->handle();
  EXPECT_EQ(w->destroyWhileHeld(1, false), std::vector<bool>{false});
  EXPECT_EQ(Window::lookup(hwnd), w) << "a hold alone changes nothing";

  g_log.clear();
  EXPECT_EQ(w->destroyWhileHeld(2, true), (std::vector<bool>{false, true}));
  // The object saw its window go and was deleted only at the last release.
  EXPECT_EQ(g_log, (std::vector<std::string>{"h:WM_DESTROY", "held:gone", "h:deleted"}));
  EXPECT_EQ(Window::lookup(hwnd), nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(MessagePump, PumpsOneWindowWithItsChildrenOrEveryWindow) {
  auto* parent = new Recorder("parent");
  parent->create(TopLevel(MAKEINTATOM(Window::defaultClass())));
  ScopedWindowHandle parentGuard(parent->handle());
  auto* child = new Recorder("child");
  WindowCreateParams p;
  p.className = MAKEINTATOM(Window::defaultClass());
  p.style = WS_CHILD;
  p.parent = parent->handle();
  p.instance = Window::classInstance();
  child->create(p);
  auto* other = new Recorder("other");
  other->create(TopLevel(MAKEINTATOM(Window::defaultClass())));
  ScopedWindowHandle otherGuard(other->handle());

  for (Recorder* r : {parent, child, other}) PostMessageW(r->handle(), Recorder::kPing, 0, 0);
  EXPECT_TRUE(PumpPending(parent->handle()));
  EXPECT_EQ(Count(parent->messages, Recorder::kPing), 1u);
  EXPECT_EQ(Count(child->messages, Recorder::kPing), 1u);
  EXPECT_EQ(Count(other->messages, Recorder::kPing), 0u) << "another window's message was taken";
  EXPECT_TRUE(PumpPending());
  EXPECT_EQ(Count(other->messages, Recorder::kPing), 1u);
}

TEST(MessagePump, AFailureInAHandlerLeavesEveryPumpAndLaterMessagesWait) {
  auto* w = new Recorder("w");
  w->create(TopLevel(MAKEINTATOM(Window::defaultClass())));
  ScopedWindowHandle guard(w->handle());
  const std::function<void()> pumps[] = {
      [] { PumpPending(); },
      [] { PumpUntil([] { return false; }, 30000); },
      [] { RunMessageLoop(); },
  };
  for (size_t i = 0; i < std::size(pumps); ++i) {
    SCOPED_TRACE("pump " + std::to_string(i));
    w->messages.clear();
    PostMessageW(w->handle(), Recorder::kThrow, 0, 0);
    PostMessageW(w->handle(), Recorder::kPing, 0, 0);
    try {
      pumps[i]();
      ADD_FAILURE() << "the handler's failure was lost";
    } catch (const IOException& e) {
      EXPECT_EQ(e.message, L"thrown in a handler");
    }
    EXPECT_EQ(Count(w->messages, Recorder::kPing), 0u) << "pumped on past a failure";
    EXPECT_TRUE(PumpPending());
    EXPECT_EQ(Count(w->messages, Recorder::kPing), 1u);
  }
}

TEST(MessagePump, AQuitMetWhilePumpingIsLeftForTheMainLoop) {
  auto* w = new Recorder("w");
  w->create(TopLevel(MAKEINTATOM(Window::defaultClass())));
  ScopedWindowHandle guard(w->handle());
  PostMessageW(w->handle(), Recorder::kPing, 0, 0);
  PostQuitMessage(7);
  EXPECT_FALSE(PumpPending());
  EXPECT_EQ(Count(w->messages, Recorder::kPing), 1u);
  EXPECT_FALSE(PumpUntil([] { return false; }, 30000)) << "a quit must end a wait";
  EXPECT_EQ(RunMessageLoop(), 7);
}
