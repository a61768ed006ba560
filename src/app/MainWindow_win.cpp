#include "app/MainWindow_win.h"

#include <algorithm>
#include <cstdio>

#include "app/MainLayout.h"
#include "app/PathFolder.h"
#include "app/ProcessValues.h"
#include "app/ResourceIds.h"
#include "foundation/Exception.h"
#include "foundation/ModuleInstance_win.h"
#include "foundation/PathLimits.h"
#include "foundation/SystemVersion_win.h"
#include "playback/ConfigPanel_win.h"
#include "playback/ConsolePanel_win.h"
#include "playback/DriveSummaryWindow_win.h"
#include "playback/GCircle_win.h"
#include "playback/InfoPanel_win.h"
#include "playback/LineChart_win.h"
#include "playback/PanelWindow_win.h"
#include "playback/PlayerFrameSource_win.h"
#include "playback/PlayTrackBar_win.h"
#include "playback/Thumbnail_win.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/Animation_win.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/WindowMessages_win.h"

namespace {

constexpr wchar_t kClassName[] = L"MainWindow";
constexpr int kIconId = 294;
constexpr int kColumnTopId = 218;
constexpr int kColumnFillerId = 219;
constexpr int kColumnBottomId = 220;
constexpr int kLeftStripId = 284;
// The strip left of the picture stops this far above the client's bottom.
constexpr int kStripShortfall = 155;

std::wstring ProgramFolder() {
  wchar_t path[kPathUnits] = {};
  const DWORD n = GetModuleFileNameW(ModuleInstance(), path, static_cast<DWORD>(kPathUnits));
  std::wstring folder(path, n < kPathUnits ? n : 0);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  folder = FolderPart(folder);
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

ATOM RegisterMainClass() {
  static ATOM atom = 0;
  if (atom != 0) return atom;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = Window::classInstance();
  wc.hIcon = LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(kIconId));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kClassName;
  atom = RegisterClassExW(&wc);
  if (atom == 0) throw WindowException(GetLastError());
  return atom;
}

// The window's own visibility, whether or not its parent is shown yet.
bool HasVisibleStyle(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

void Place(HWND window, const mainlayout::Rect& r) {
  if (window != nullptr) MoveWindow(window, r.x, r.y, r.width, r.height, TRUE);
}

// The G circle: the largest square, up to 150 pixels, centred in the right column's
// free space between the information and the configuration panel.
mainlayout::Rect CircleSquare(const mainlayout::Layout& l) {
  const int top = l.info.y + l.info.height;
  const int free = l.config.y - top;
  const int side = std::max(0, std::min(free - 6, 150));
  return {l.info.x + (l.info.width - side) / 2, top + (free - side) / 2, side, side};
}

}  // namespace

MainWindow* MainWindow::Create() {
  MainWindow* window = new MainWindow();
  window->build();
  return window;
}

MainWindow::MainWindow() : currentPath_(ProgramFolder()), deviceCommands_(currentPath_) {}

MainWindow::~MainWindow() = default;

void MainWindow::build() {
  try {
    createWindow();
  } catch (...) {
    delete this;  // no window owns the object yet
    throw;
  }
  // Recordings and folders may be dropped on the window.
  DragAcceptFiles(handle(), TRUE);
  loadPictures();
  createChildren();
  console_->refreshControls();
  if (GetFocus() == nullptr) SetFocus(handle());
  showChartLayout();
}

void MainWindow::createWindow() {
  RegisterMainClass();
  menu_ = LoadMenuW(ModuleInstance(), MAKEINTRESOURCEW(IDR_MAIN_MENU));
  keys_ = LoadAcceleratorsW(ModuleInstance(), MAKEINTRESOURCEW(IDR_MAIN_KEYS));
  const bool vista = SystemVersion().dwMajorVersion == 6;
  const int width = vista ? 890 : 882;
  const int height = vista ? 697 : 693;
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  WindowCreateParams params;
  params.exStyle = WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE;
  params.className = kClassName;
  params.title = ApplicationName().c_str();
  params.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  params.x = (desktop.right - width) / 2;
  params.y = (desktop.bottom - height) / 2;
  params.width = width;
  params.height = height;
  params.menu = menu_;
  params.instance = Window::classInstance();
  create(params);
}

void MainWindow::loadPictures() {
  columnTop_ = std::make_unique<AlphaImage>(kColumnTopId);
  columnFiller_ = std::make_unique<AlphaImage>(kColumnFillerId);
  columnBottom_ = std::make_unique<AlphaImage>(kColumnBottomId);
  leftStrip_ = std::make_unique<AlphaImage>(kLeftStripId);
}

void MainWindow::createChildren() {
  player_ = new VideoPlayer(*this);
  source_ = std::make_unique<PlayerFrameSource>(*player_);
  config_ = new ConfigPanel(*this, *player_);
  console_ = new ConsolePanel(*this, *player_);
  info_ = new InfoPanel(*this, *source_);
  chart_ = new LineChart(*this, *source_);
  circle_ = new GCircle(*this, *source_);
  thumbnail_ = new Thumbnail(*this);
  const struct {
    const Window* child;
    int id;
  } ids[] = {{player_, IDC_PLAYER},       {config_, IDC_CONFIG_PANEL}, {console_, IDC_CONSOLE_PANEL},
             {info_, IDC_INFO_PANEL},     {chart_, IDC_CHART},         {thumbnail_, IDC_THUMBNAIL_STRIP}};
  for (const auto& child : ids) SetControlId(*child.child, child.id);
}

// ---- the panels' operations ----

void MainWindow::putSliderAtStart() { console_->slider().SetValue(0, false); }

void MainWindow::setBusy(bool busy) {
  busy_ = busy;
  if (config_ != nullptr) config_->SetAllEnabled(!busy);
  setMenusEnabled(!busy);
}

void MainWindow::setMenusEnabled(bool enabled) {
  const HMENU menu = handle() != nullptr ? GetMenu(handle()) : nullptr;
  if (menu == nullptr) return;
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    EnableMenuItem(menu, static_cast<UINT>(position),
                   MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
  }
  DrawMenuBar(handle());
}

void MainWindow::preparePlaybackMenu(HMENU menu) {
  // Items of other menus are not found in `menu` and stay as they are.
  const bool loaded = player_ != nullptr && player_->info() != nullptr;
  const UINT enabled = MF_BYCOMMAND | (loaded ? MF_ENABLED : MF_GRAYED);
  for (UINT id : {IDM_PLAY_PAUSE, IDM_STOP}) EnableMenuItem(menu, id, enabled);
  for (UINT id = IDM_FRAME_FORWARD; id <= IDM_SPEED_LAST; ++id) EnableMenuItem(menu, id, enabled);
  EnableMenuItem(menu, IDM_EXPORT_CLIP, enabled);
  if (player_ == nullptr) return;
  CheckMenuRadioItem(menu, IDM_SPEED_FIRST, IDM_SPEED_LAST,
                     static_cast<UINT>(IDM_SPEED_FIRST + player_->speedIndex()), MF_BYCOMMAND);
  CheckMenuItem(menu, IDM_REVERSE, MF_BYCOMMAND | (player_->backward() ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menu, IDM_LOOP, MF_BYCOMMAND | (player_->range().loop() ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::resetThumbnails() {
  thumbnail_->Reset();
  repaintChild(thumbnail_->handle(), false);
  thumbnail_->UpdateButtons();
}

bool MainWindow::thumbnailsShown() const {
  return thumbnail_->added() > 0 || thumbnail_->complete();
}

std::wstring MainWindow::thumbnailFileName(int index) const {
  ImageLoader* loader = thumbnail_->loader();
  if (loader == nullptr || index >= thumbnail_->total() || index >= loader->EntryCount()) {
    return std::wstring();
  }
  return loader->EntryFileName(index);
}

// ---- layout and painting ----

void MainWindow::layoutChildren(int width, int height) {
  const mainlayout::Layout l = mainlayout::LayOut(
      width, height, chart_ != nullptr && chart_->isEnabled(), thumbnail_->isEnabled());
  if (l.chartBand) Place(chart_->handle(), l.chart);
  if (l.thumbnailBand) Place(thumbnail_->handle(), l.thumbnail);
  Place(console_->handle(), l.console);
  Place(config_->handle(), l.config);
  Place(info_->handle(), l.info);
  if (circle_ != nullptr) Place(circle_->handle(), CircleSquare(l));
  Place(player_->handle(), l.player);
  if (animation_ != nullptr) Place(animation_->handle(), l.animation);
}

void MainWindow::paintBackground(HDC dc) {
  RECT client;
  GetClientRect(handle(), &client);
  if (!columnTop_ || !columnFiller_ || !columnBottom_ || !leftStrip_) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  const int w = client.right - client.left;
  const int h = client.bottom - client.top;
  const int x = w - mainlayout::kColumnWidth;
  const mainlayout::Column column = mainlayout::ColumnPictures(
      h, columnTop_->Height(), columnFiller_->Height(), columnBottom_->Height());
  columnTop_->DrawAt(dc, x, column.top);
  const int columns = mainlayout::FillerColumns(columnFiller_->Width());
  for (const mainlayout::Tile& tile : column.tiles) {
    columnFiller_->Draw(dc, x, tile.y, columns, tile.height, 0, columns, tile.height);
  }
  if (column.drawBottom) columnBottom_->DrawAt(dc, x, column.bottom);
  leftStrip_->DrawSized(dc, 0, 0, mainlayout::kStripWidth, h - kStripShortfall);
}

void MainWindow::repaintChild(HWND child, bool erase) {
  if (child == nullptr) return;
  InvalidateRect(child, nullptr, erase ? TRUE : FALSE);
  UpdateWindow(child);
}

void MainWindow::showChartLayout() {
  if (!chart_->isEnabled()) chart_->setEnabled(true);
  if (!HasVisibleStyle(chart_->handle())) {
    ShowWindow(chart_->handle(), SW_SHOW);
    UpdateWindow(chart_->handle());
  }
  if (!console_->isEnabled()) console_->setEnabled(true);
  if (thumbnail_->isEnabled()) thumbnail_->setEnabled(false);
  if (HasVisibleStyle(thumbnail_->handle())) {
    ShowWindow(thumbnail_->handle(), SW_HIDE);
    UpdateWindow(thumbnail_->handle());
  }
  RECT client;
  GetClientRect(handle(), &client);
  MoveWindow(chart_->handle(), client.left, client.bottom - mainlayout::kBandHeight,
             client.right - client.left, mainlayout::kBandHeight, TRUE);
  config_->SetVolumeEnabled(true);
  console_->setControlsShown(true);
}

void MainWindow::refreshPlayback() {
  if (console_ != nullptr) console_->refreshControls();
  if (GetFocus() == nullptr) SetFocus(handle());
  if (chart_ != nullptr && chart_->isEnabled()) {
    ScopedWindowDc dc(chart_->handle());
    chart_->drawChart(dc.get());
  }
  if (info_ != nullptr) repaintChild(info_->handle(), false);
  if (circle_ != nullptr) circle_->refresh();
}

void MainWindow::recordingChanged() {
  dropChartCache();
  if (summary_ != nullptr) summary_->update();
  if (info_ != nullptr) repaintChild(info_->handle(), true);
}

void MainWindow::dropChartCache() {
  if (chart_ != nullptr && chart_->isEnabled()) chart_->dropCache();
}

bool MainWindow::showsRecording() const {
  return player_->info() != nullptr || thumbnailsShown();
}

void MainWindow::updateTitle() {
  std::wstring title = ApplicationName();
  if (showsRecording()) {
    wchar_t text[1024] = {};
    swprintf(text, 1024, L"%ls - %ls", currentPath_.c_str(), ApplicationName().c_str());
    title = text;
  }
  SetWindowTextW(handle(), title.c_str());
  repaintChild(info_->handle(), true);
  repaintChild(console_->handle(), true);
  ScopedWindowDc dc(handle());
  if (dc.get() != nullptr) paintBackground(dc.get());
}

void MainWindow::resetView() {
  player_->closeRecording();
  repaintChild(player_->handle(), true);
  refreshPlayback();
  resetThumbnails();
  dropChartCache();
  showChartLayout();
  updateTitle();
  repaintChild(handle(), true);
  if (summary_ != nullptr) summary_->update();
}

void MainWindow::startWaitingAnimation() {
  if (animation_ == nullptr) {
    RECT r;
    GetWindowRect(player_->handle(), &r);
    animation_ = new Animation(player_->handle(),
                               (r.right - r.left - mainlayout::kAnimationWidth) / 2,
                               (r.bottom - r.top - mainlayout::kAnimationHeight) / 2);
  }
  animation_->setFrameIndex(0);
  SetTimer(animation_->handle(), Animation::kTimerId, Animation::kTickMs, nullptr);
}

void MainWindow::destroyAnimation() {
  if (animation_ == nullptr) return;
  Animation* animation = animation_;
  animation_ = nullptr;
  DestroyWindow(animation->handle());
}

// ---- messages ----

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  wchar_t trace[256];
  swprintf(trace, 256, L"message:%d\n", static_cast<int>(message));
  OutputDebugStringW(trace);
  switch (message) {
    case WM_DESTROY:
      // Also while a load runs: the loop must end with the window, or the process
      // lives on without one.
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      return onSize(wParam, lParam);
    case WM_ACTIVATE:
    case WM_MOUSEACTIVATE:
      return 0;
    case WM_PAINT: {
      ScopedPaint paint(handle());
      return 0;
    }
    case WM_CLOSE:
      if (!busy_) confirmExit();
      return 0;
    case WM_ERASEBKGND:
      paintBackground(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_GETMINMAXINFO: {
      MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = mainlayout::kMinTrackWidth;
      info->ptMinTrackSize.y = mainlayout::kMinTrackHeight;
      return 0;
    }
    case WM_COMMAND:
      return onCommand(wParam, lParam);
    case WM_INITMENUPOPUP:
      preparePlaybackMenu(reinterpret_cast<HMENU>(wParam));
      prepareSnapshotItems(reinterpret_cast<HMENU>(wParam));
      break;
    case WM_EXPORT_DONE:
      onExportDone(wParam, lParam);
      return 0;
    case WM_DROPFILES:
      openDropped(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      // The wheel comes to the window with the focus; over the picture it is the
      // picture's (which answers 0 when it took it).
      if (player_ != nullptr && SendMessageW(player_->handle(), WM_MOUSEWHEEL, wParam, lParam) == 0) return 0;
      break;
    case WM_ENTERIDLE:
      // A menu opened while a recording loads closes again. Only a menu: a box owned by
      // this window idles here too, and an Escape posted at each idle would spin.
      if (!busy_ || wParam != MSGF_MENU) break;
      PostMessageW(handle(), WM_KEYDOWN, VK_ESCAPE, 0);
      return 0;
    default:
      break;
  }
  return defaultHandling(message, wParam, lParam);
}

LRESULT MainWindow::onSize(WPARAM kind, LPARAM size) {
  // A minimised window reports a client of no size; the children keep their places.
  if (kind == SIZE_MINIMIZED) return 0;
  if (player_ != nullptr) layoutChildren(LOWORD(size), HIWORD(size));
  return 0;
}

LRESULT MainWindow::onCommand(WPARAM wParam, LPARAM lParam) {
  // Controls notify with their window in lParam; the panels' buttons give their
  // commands to runCommand directly, so only the menu's count here.
  if (lParam == 0) runCommand(LOWORD(wParam));
  return 0;
}
