#include "app/ExportProgress_win.h"

#include <commctrl.h>

#include <cstdio>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/Dialog_win.h"
#include "recording/VideoArchive.h"
#include "toolkit/WindowMessages_win.h"

// Tells the window how far the export is (posted, never sent: the worker never waits for
// the interface) and passes the Cancel button's request back.
class ExportProgress::Reporter : public IClipProgress {
 public:
  Reporter(HWND window, const std::atomic<bool>& cancel) : window_(window), cancel_(cancel) {}
  bool Continue(int done, int total) override {
    if (done != last_) {
      PostMessageW(window_, WM_EXPORT_PROGRESS, static_cast<WPARAM>(done), static_cast<LPARAM>(total));
      last_ = done;
    }
    return !cancel_;
  }

 private:
  HWND window_;
  const std::atomic<bool>& cancel_;
  int last_ = -1;
};

ExportProgress::ExportProgress(HWND owner, UINT doneMessage, const ClipRequest& request)
    : owner_(owner), doneMessage_(doneMessage), request_(request) {}

ExportProgress::~ExportProgress() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

ExportProgress* ExportProgress::Start(HWND owner, UINT doneMessage, const ClipRequest& request) {
  auto* window = new ExportProgress(owner, doneMessage, request);
  try {
    WindowCreateParams p;
    p.exStyle = WS_EX_DLGMODALFRAME;
    p.className = MAKEINTATOM(defaultClass());
    p.title = L"";
    p.style = WS_POPUP | WS_CAPTION;
    // The children's place, 12 pixels from every edge, as a dialog of the system's.
    RECT frame = {0, 0, 354, 74};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION, FALSE, WS_EX_DLGMODALFRAME);
    p.x = 0;
    p.y = 0;
    p.width = frame.right - frame.left;
    p.height = frame.bottom - frame.top;
    p.parent = owner;
    p.instance = classInstance();
    window->create(p);
  } catch (...) {
    delete window;
    throw;
  }
  SetWindowTextW(window->handle(), LoadText(kTextExportProgressTitle).c_str());
  Dialog::CenterOver(window->handle(), owner);
  window->createChildren();
  ShowWindow(window->handle(), SW_SHOW);
  window->worker_ = std::thread([window] { window->run(); });
  return window;
}

void ExportProgress::createChildren() {
  const HINSTANCE instance = classInstance();
  bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 12, 12, 330, 18, handle(),
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)), instance, nullptr);
  count_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 12, 38, 220, 20, handle(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCountId)), instance, nullptr);
  CreateWindowExW(0, L"BUTTON", LoadText(kTextExportCancelButton).c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                  252, 36, 90, 26, handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCancelId)), instance,
                  nullptr);
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (HWND child = GetWindow(handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

// The worker thread: it reaches the window only by posting.
void ExportProgress::run() {
  Outcome outcome = kFailed;
  try {
    VideoArchive archive;
    archive.Load(request_.archivePath, nullptr);
    Reporter reporter(handle(), cancel_);
    outcome = ExportClip(archive, request_, &reporter) == ClipOutcome::kWritten ? kWritten : kCancelled;
  } catch (const Exception& e) {
    failure_ = e.message;
  } catch (...) {
    failure_ = LoadText(kTextExportWriteFailed);
  }
  PostMessageW(handle(), WM_EXPORT_END, static_cast<WPARAM>(outcome), 0);
}

void ExportProgress::finish(Outcome outcome) {
  if (worker_.joinable()) worker_.join();
  std::wstring text = outcome == kWritten     ? LoadText(kTextExportDone)
                      : outcome == kCancelled ? LoadText(kTextExportCancelled)
                                              : failure_;
  auto* message = new std::wstring(std::move(text));
  if (!PostMessageW(owner_, doneMessage_, static_cast<WPARAM>(outcome), reinterpret_cast<LPARAM>(message))) {
    delete message;
  }
  DestroyWindow(handle());
}

LRESULT ExportProgress::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_EXPORT_PROGRESS: {
      SendMessageW(bar_, PBM_SETRANGE32, 0, lParam);
      SendMessageW(bar_, PBM_SETPOS, wParam, 0);
      wchar_t text[64];
      std::swprintf(text, 64, LoadText(kTextExportFramesWritten).c_str(), static_cast<int>(wParam),
                    static_cast<int>(lParam));
      SetWindowTextW(count_, text);
      return 0;
    }
    case WM_EXPORT_END:
      finish(static_cast<Outcome>(wParam));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kCancelId) {
        cancel_ = true;
        EnableWindow(reinterpret_cast<HWND>(lParam), FALSE);
        return 0;
      }
      break;
    case WM_CLOSE:
      cancel_ = true;
      return 0;
    // The face of the system's dialogs, behind the children too.
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(handle(), &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    default:
      break;
  }
  return defaultHandling(message, wParam, lParam);
}
