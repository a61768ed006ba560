#include "ViewerDriver_win.h"

#include <cstdio>
#include <vector>

#include "app/ResourceIds.h"

namespace {

// The static control of a message box that holds its text.
constexpr int kBoxTextId = 0xFFFF;

struct Search {
  DWORD process;
  HWND except;
  const wchar_t* className;
  HWND found;
};

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

BOOL CALLBACK TakeWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || window == search->except || !IsWindowVisible(window)) return TRUE;
  if (ClassOf(window) != search->className) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindProcessWindow(DWORD process, const wchar_t* className, HWND except) {
  Search search{process, except, className, nullptr};
  EnumWindows(TakeWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The pixels of a rectangle of the screen in rows of `bits` per pixel, top row first
// when `topDown`; empty for an empty rectangle. `header` describes them.
std::vector<unsigned char> GrabScreen(const RECT& area, WORD bits, bool topDown,
                                      BITMAPINFOHEADER& header) {
  const int w = area.right - area.left;
  const int h = area.bottom - area.top;
  std::vector<unsigned char> pixels;
  if (w <= 0 || h <= 0) return pixels;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = topDown ? -h : h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bits;
  info.bmiHeader.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(w) * bits / 8 + 3) & ~static_cast<size_t>(3);
  pixels.resize(stride * static_cast<size_t>(h));
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  header = info.bmiHeader;
  return pixels;
}

}  // namespace

ViewerProcess::ViewerProcess(const std::wstring& exe, const std::wstring& folder) {
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

ViewerProcess::~ViewerProcess() {
  if (process_ == nullptr) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, kPatienceMs);
  }
  CloseHandle(process_);
}

HWND ViewerProcess::mainWindow(DWORD timeoutMs) {
  if (main_ != nullptr && IsWindow(main_)) return main_;
  WaitFor([&] { return (main_ = FindProcessWindow(id_, L"MainWindow", nullptr)) != nullptr; },
          timeoutMs);
  return main_;
}

HWND ViewerProcess::dialog(DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitFor([&] { return (found = FindProcessWindow(id_, L"#32770", nullptr)) != nullptr; }, timeoutMs);
  return found;
}

std::wstring ViewerProcess::boxText(DWORD timeoutMs) const {
  const HWND box = dialog(timeoutMs);
  if (box == nullptr) return std::wstring();
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, kBoxTextId, text, 1024);
  return text;
}

bool ViewerProcess::press(int button, DWORD timeoutMs) const {
  const HWND box = dialog(timeoutMs);
  if (box == nullptr) return false;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  return WaitFor([&] { return !IsWindow(box); }, timeoutMs);
}

void ViewerProcess::menu(WORD command) {
  // What choosing the item sends: WM_COMMAND with the item's id and no control.
  PostMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

namespace {

// The chooser's name field: an edit in the old layout, a combo box's edit in the
// explorer one; null when it has neither.
HWND NameField(HWND chooser) {
  constexpr int kNameEdit = 0x480;
  constexpr int kNameCombo = 0x47C;
  const HWND field = GetDlgItem(chooser, kNameEdit);
  return field != nullptr ? field : GetDlgItem(chooser, kNameCombo);
}

}  // namespace

bool ViewerProcess::choose(const std::wstring& path, DWORD timeoutMs) const {
  const HWND chooser = dialog(timeoutMs);
  const HWND field = chooser == nullptr ? nullptr : NameField(chooser);
  if (field == nullptr) return false;
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  return press(IDOK, timeoutMs);
}

std::wstring ViewerProcess::proposedName(DWORD timeoutMs) const {
  const HWND chooser = dialog(timeoutMs);
  const HWND field = chooser == nullptr ? nullptr : NameField(chooser);
  if (field == nullptr) return std::wstring();
  wchar_t name[MAX_PATH] = {};
  // Another process's window: WM_GETTEXT is marshalled, GetWindowTextW would not ask it.
  SendMessageW(field, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(name));
  return name;
}

bool ViewerProcess::open(const std::wstring& path) {
  menu(IDM_OPEN);
  return choose(path);
}

void ViewerProcess::click(HWND window, int x, int y) {
  // The button's own idea of where it was pressed: the centre when no point is given.
  if (x < 0 || y < 0) {
    RECT r;
    GetClientRect(window, &r);
    x = r.right / 2;
    y = r.bottom / 2;
  }
  // The pointer waits in the screen's corner, outside the viewer: the button's tip shows
  // where the pointer is, and one left over a panel by an earlier drag would cover the
  // pixels a test then reads from the screen.
  SetCursorPos(0, 0);
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageW(window, WM_MOUSEMOVE, 0, at);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
}

std::wstring ViewerProcess::title() const {
  wchar_t text[1024] = {};
  if (main_ != nullptr) GetWindowTextW(main_, text, 1024);
  return text;
}

HWND ViewerProcess::console() {
  const HWND main = mainWindow();
  RECT c;
  GetClientRect(main, &c);
  return ChildAt(main, 0, c.bottom - 155, c.right, 65);
}

HWND ViewerProcess::slider() { return ChildAt(console(), 249, 26); }

std::wstring ViewerProcess::readout() {
  wchar_t buffer[256] = {};
  GetWindowTextW(console(), buffer, 256);
  return buffer;
}

int32_t ViewerProcess::FrameOf(const std::wstring& readout) {
  if (readout.size() < 6 || readout[0] != L'#') return -1;
  return std::stoi(readout.substr(1, 5)) - 1;
}

HWND ViewerProcess::ChildAt(HWND parent, int x, int y, int width, int height) {
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    if (r.left == x && r.top == y && (width == 0 || r.right - r.left == width) &&
        (height == 0 || r.bottom - r.top == height)) {
      return child;
    }
  }
  return nullptr;
}

int ViewerProcess::exitCode(DWORD timeoutMs) const {
  if (process_ == nullptr || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return static_cast<int>(code);
}

std::wstring ViewerProcess::currentDirectory() const {
  // The 64-bit layouts: the process parameters' address in the process block, and the
  // current directory's counted string in the parameters.
  constexpr size_t kParametersInBlock = 0x20;
  constexpr size_t kDirectoryInParameters = 0x38;
  struct BasicInformation {
    LONG_PTR exitStatus;
    void* block;
    ULONG_PTR affinity;
    LONG_PTR priority;
    ULONG_PTR id;
    ULONG_PTR parent;
  };
  struct CountedString {
    USHORT length;
    USHORT maximum;
    wchar_t* buffer;
  };
  using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  BasicInformation basic{};
  if (query == nullptr || query(process_, 0, &basic, sizeof basic, nullptr) != 0) return L"";
  const auto read = [&](const void* from, void* to, size_t size) {
    SIZE_T got = 0;
    return ReadProcessMemory(process_, from, to, size, &got) && got == size;
  };
  char* parameters = nullptr;
  CountedString directory{};
  if (!read(static_cast<char*>(basic.block) + kParametersInBlock, &parameters, sizeof parameters) ||
      !read(parameters + kDirectoryInParameters, &directory, sizeof directory)) {
    return L"";
  }
  std::wstring text(directory.length / sizeof(wchar_t), L'\0');
  if (!text.empty() && !read(directory.buffer, &text[0], directory.length)) return L"";
  return text;
}

bool SaveScreenshot(const std::wstring& path, HWND window) {
  RECT area{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
  area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (window != nullptr) GetWindowRect(window, &area);
  BITMAPINFOHEADER header{};
  const std::vector<unsigned char> pixels = GrabScreen(area, 24, false, header);
  if (pixels.empty()) return false;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (out == nullptr) return false;
  const bool written = fwrite(&file, sizeof file, 1, out) == 1 &&
                       fwrite(&header, sizeof header, 1, out) == 1 &&
                       fwrite(pixels.data(), pixels.size(), 1, out) == 1;
  return fclose(out) == 0 && written;
}

std::vector<unsigned char> CaptureFromScreen(HWND window) {
  RECT area;
  GetClientRect(window, &area);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
  BITMAPINFOHEADER header{};
  return GrabScreen(area, 32, true, header);
}

// ---- Dragging with the mouse, and the close box handled at once ----

namespace {

void PostMouse(HWND window, UINT message, WPARAM keys, POINT at) {
  POINT screen = at;
  ClientToScreen(window, &screen);
  SetCursorPos(screen.x, screen.y);
  PostMessageW(window, message, keys, MAKELPARAM(at.x, at.y));
}

}  // namespace

void ViewerProcess::pressMouse(HWND window, POINT at) {
  PostMouse(window, WM_MOUSEMOVE, 0, at);
  PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
}

void ViewerProcess::dragMouse(HWND window, POINT at) { PostMouse(window, WM_MOUSEMOVE, MK_LBUTTON, at); }

void ViewerProcess::releaseMouse(HWND window, POINT at) { PostMouse(window, WM_LBUTTONUP, 0, at); }

void ViewerProcess::dragWithMouse(HWND window, POINT from, POINT to) {
  const auto send = [window](POINT at, DWORD buttons) {
    ClientToScreen(window, &at);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
    Sleep(20);
  };
  send(from, 0);
  send(from, MOUSEEVENTF_LEFTDOWN);
  constexpr int kSteps = 4;
  for (int i = 1; i <= kSteps; ++i) {
    send({from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps}, 0);
  }
  send(to, MOUSEEVENTF_LEFTUP);
}

bool ViewerProcess::sendCloseBox(DWORD timeoutMs) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

// ---- The keyboard ----

namespace {

INPUT KeyInput(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

void ViewerProcess::key(WORD virtualKey, bool shift, bool control) {
  const HWND window = mainWindow();
  if (GetForegroundWindow() != window) SetForegroundWindow(window);
  std::vector<INPUT> inputs;
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
  if (control) inputs.push_back(KeyInput(VK_CONTROL, false));
  inputs.push_back(KeyInput(virtualKey, false));
  inputs.push_back(KeyInput(virtualKey, true));
  if (control) inputs.push_back(KeyInput(VK_CONTROL, true));
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ViewerProcess::type(wchar_t c) {
  const SHORT scan = VkKeyScanW(c);
  if (scan == -1) return;
  key(static_cast<WORD>(LOBYTE(scan)), (HIBYTE(scan) & 1) != 0, (HIBYTE(scan) & 2) != 0);
}
