#include "toolkit/TrackToolTip_win.h"

#include <commctrl.h>

namespace {

// The tool record for `control` of `tooltip`. Its size is the second version's: the
// older common controls reject a larger record and show no tips, and with 64-bit
// pointers the first version's fields end beyond 44 bytes.
TTTOOLINFOW ToolInfo(HWND tooltip, HWND control, const std::wstring* text) {
  TTTOOLINFOW info = {};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = GetParent(tooltip);  // for a popup: its owner
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.hinst = Window::classInstance();
  // The control copies the text; it never writes through this pointer.
  info.lpszText = text != nullptr ? const_cast<LPWSTR>(text->c_str()) : nullptr;
  return info;
}

LRESULT Send(HWND tooltip, UINT message, WPARAM wParam, const TTTOOLINFOW& info) {
  return SendMessageW(tooltip, message, wParam, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

void TrackToolTip::Create(HWND owner) {
  INITCOMMONCONTROLSEX classes = {};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_BAR_CLASSES;  // the tooltip class comes with these
  InitCommonControlsEx(&classes);

  WindowCreateParams p;
  p.className = TOOLTIPS_CLASSW;
  p.title = nullptr;
  p.style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;
  p.x = CW_USEDEFAULT;
  p.y = CW_USEDEFAULT;
  p.width = CW_USEDEFAULT;
  p.height = CW_USEDEFAULT;
  p.parent = owner;
  p.instance = Window::classInstance();
  create(p);
  SetWindowPos(handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TrackToolTip::AddTrackTool(HWND control, const std::wstring& text) {
  TTTOOLINFOW info = ToolInfo(handle(), control, &text);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRACK;
  Send(handle(), TTM_ADDTOOLW, 0, info);
}

void TrackToolTip::AddButtonTool(const std::wstring& text, HWND button) {
  TTTOOLINFOW info = ToolInfo(handle(), button, &text);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  GetWindowRect(button, &info.rect);
  Send(handle(), TTM_ADDTOOLW, 0, info);
}

void TrackToolTip::ShowTrack(HWND control, const std::wstring& text) {
  Send(handle(), TTM_UPDATETIPTEXTW, 0, ToolInfo(handle(), control, &text));
  Send(handle(), TTM_TRACKACTIVATE, TRUE, ToolInfo(handle(), control, nullptr));
  shownTrack_ = control;
}

void TrackToolTip::HideTrack(HWND control) {
  Send(handle(), TTM_TRACKACTIVATE, FALSE, ToolInfo(handle(), control, nullptr));
  if (shownTrack_ == control) shownTrack_ = nullptr;
}

void TrackToolTip::UpdateText(HWND control, const std::wstring& text) {
  Send(handle(), TTM_UPDATETIPTEXTW, 0, ToolInfo(handle(), control, &text));
  // Some tooltip controls keep showing a tracking tip's old text (and size) until it
  // is activated again; activating a shown tip again is harmless everywhere.
  if (control == shownTrack_) Send(handle(), TTM_TRACKACTIVATE, TRUE, ToolInfo(handle(), control, nullptr));
}

void TrackToolTip::MoveTrack(int x, int y) {
  SendMessageW(handle(), TTM_TRACKPOSITION, 0,
               MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}
