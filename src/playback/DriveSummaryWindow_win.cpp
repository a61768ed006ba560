#include "playback/DriveSummaryWindow_win.h"

#include <algorithm>

#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/DriveMoments.h"

namespace {

constexpr int kWidth = 300;
constexpr int kLineHeight = 18;
constexpr int kTop = 10;
constexpr int kLabelX = 12;
constexpr int kValueX = 110;
constexpr int kLinkX = 200;
constexpr int kLinkWidth = 80;
constexpr COLORREF kSurface = RGB(0x23, 0x27, 0x2C);
constexpr COLORREF kText = RGB(0xE8, 0xEA, 0xEC);
constexpr COLORREF kLabel = RGB(0x7D, 0x86, 0x90);
constexpr COLORREF kLink = RGB(0x35, 0xC4, 0xE6);

HFONT Font(bool underline) {
  return CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic");
}

void Text(HDC dc, int x, int y, COLORREF colour, const std::wstring& text) {
  SetTextColor(dc, colour);
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

DriveSummaryWindow& DriveSummaryWindow::Show(IPlaybackOwner& owner, const IFrameSource& source,
                                             DriveSummaryWindow*& open) {
  if (open == nullptr) open = new DriveSummaryWindow(owner, source, open);
  ShowWindow(open->handle(), SW_SHOWNORMAL);
  SetForegroundWindow(open->handle());
  return *open;
}

DriveSummaryWindow::DriveSummaryWindow(IPlaybackOwner& owner, const IFrameSource& source, DriveSummaryWindow*& open)
    : owner_(owner), source_(source), open_(open), font_(Font(false)), linkFont_(Font(true)) {
  const std::wstring title = LoadText(kTextSummaryTitle);
  RECT outer = {0, 0, kWidth, kTop * 2 + 14 * kLineHeight};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  AdjustWindowRectEx(&outer, style, FALSE, WS_EX_TOOLWINDOW);
  RECT ownerRect = {};
  GetWindowRect(owner.ownerWindow(), &ownerRect);
  WindowCreateParams p;
  p.exStyle = WS_EX_TOOLWINDOW;
  p.className = MAKEINTATOM(defaultClass());
  p.title = title.c_str();
  p.style = style;
  p.x = ownerRect.left + 40;
  p.y = ownerRect.top + 60;
  p.width = outer.right - outer.left;
  p.height = outer.bottom - outer.top;
  p.parent = owner.ownerWindow();  // owned, not a child: it stays above the viewer
  p.instance = classInstance();
  create(p);
  update();
}

DriveSummaryWindow::~DriveSummaryWindow() { open_ = nullptr; }

LRESULT DriveSummaryWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      ScopedPaint paint(handle());
      if (paint.get() != nullptr) this->paint(paint.get());
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      clickAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return TRUE;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (onKey(wParam)) return 0;
      break;
    default:
      break;
  }
  return defaultHandling(message, wParam, lParam);
}

void DriveSummaryWindow::update() {
  const IVideoInfo* info = source_.info();
  lines_ = info != nullptr ? summarytext::Lines(SummarizeDrive(*info)) : std::vector<summarytext::Line>();
  focused_ = -1;
  fitHeight();
  InvalidateRect(handle(), nullptr, TRUE);
  UpdateWindow(handle());
}

// Tall enough for every line (each switch press adds one), at least for a few.
void DriveSummaryWindow::fitHeight() {
  const int rows = std::max<int>(static_cast<int>(lines_.size()), 3);
  RECT outer = {0, 0, kWidth, kTop * 2 + rows * kLineHeight};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_EXSTYLE)));
  SetWindowPos(handle(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT DriveSummaryWindow::linkRect(size_t index) const {
  if (index >= lines_.size() || lines_[index].link.empty()) return RECT{0, 0, 0, 0};
  const int y = kTop + static_cast<int>(index) * kLineHeight;
  return RECT{kLinkX - 2, y - 1, kLinkX + kLinkWidth, y + kLineHeight - 3};
}

void DriveSummaryWindow::paint(HDC dc) const {
  RECT client;
  GetClientRect(handle(), &client);
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  ScopedGdiObject bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (!memory || !bitmap) return;
  ScopedSelection selected(memory.get(), bitmap.get());
  ScopedGdiObject surface(CreateSolidBrush(kSurface));
  FillRect(memory.get(), &client, static_cast<HBRUSH>(surface.get()));
  SetBkMode(memory.get(), TRANSPARENT);
  ScopedSelection font(memory.get(), font_.get());
  if (lines_.empty()) Text(memory.get(), kLabelX, kTop, kLabel, LoadText(kTextSummaryEmpty));
  for (size_t i = 0; i < lines_.size(); ++i) {
    const summarytext::Line& line = lines_[i];
    const int y = kTop + static_cast<int>(i) * kLineHeight;
    Text(memory.get(), kLabelX, y, kLabel, line.label);
    Text(memory.get(), kValueX, y, kText, line.value);
    if (line.link.empty()) continue;
    ScopedSelection underlined(memory.get(), linkFont_.get());
    Text(memory.get(), kLinkX, y, kLink, line.link);
    if (static_cast<int>(i) == focused_) {
      const RECT r = linkRect(i);
      DrawFocusRect(memory.get(), &r);
    }
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void DriveSummaryWindow::follow(size_t index) {
  if (index >= lines_.size() || lines_[index].link.empty()) return;
  focused_ = static_cast<int>(index);
  InvalidateRect(handle(), nullptr, FALSE);
  owner_.seekTo(lines_[index].slot);
}

void DriveSummaryWindow::clickAt(int x, int y) {
  SetFocus(handle());
  for (size_t i = 0; i < lines_.size(); ++i) {
    const RECT r = linkRect(i);
    const POINT p = {x, y};
    if (PtInRect(&r, p)) {
      follow(i);
      return;
    }
  }
}

// To the next (or previous) line that has a link, round the end.
void DriveSummaryWindow::moveFocus(int step) {
  const int n = static_cast<int>(lines_.size());
  int i = focused_;
  for (int k = 0; k < n; ++k) {
    i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (!lines_[static_cast<size_t>(i)].link.empty()) {
      focused_ = i;
      InvalidateRect(handle(), nullptr, FALSE);
      return;
    }
  }
}

bool DriveSummaryWindow::onKey(WPARAM key) {
  switch (key) {
    case VK_TAB:
      moveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
      return true;
    case VK_DOWN:
      moveFocus(1);
      return true;
    case VK_UP:
      moveFocus(-1);
      return true;
    case VK_RETURN:
    case VK_SPACE:
      if (focused_ >= 0) follow(static_cast<size_t>(focused_));
      return true;
    case VK_ESCAPE:
      DestroyWindow(handle());
      return true;
    default:
      return false;
  }
}
