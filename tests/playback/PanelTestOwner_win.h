#pragma once
// The main window's stand-in for the panel tests: a window that owns the player and the
// panels, refreshes the panels as the main window will, and keeps the commands the
// panels ask it for instead of carrying them out.
#include <windows.h>

#include <string>
#include <vector>

#include "playback/ConfigPanel_win.h"
#include "playback/ConsolePanel_win.h"
#include "playback/IPanelOwner_win.h"
#include "playback/IPlayerOwner_win.h"
#include "playback/InfoPanel_win.h"
#include "playback/LineChart_win.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/Window_win.h"

class TestOwner : public Window, public IPlayerOwner, public IPanelOwner {
 public:
  TestOwner() {
    WindowCreateParams p;
    p.className = MAKEINTATOM(defaultClass());
    p.style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    p.width = 900;
    p.height = 320;
    p.instance = classInstance();
    create(p);
  }
  HWND ownerWindow() const override { return handle(); }
  void refreshPlayback() override {
    if (console != nullptr) console->refreshControls();
    if (chart != nullptr && chart->isEnabled()) {
      ScopedWindowDc dc(chart->handle());
      chart->drawChart(dc.get());
    }
    if (info != nullptr) {
      InvalidateRect(info->handle(), nullptr, FALSE);
      UpdateWindow(info->handle());
    }
  }
  void recordingChanged() override {
    if (chart != nullptr) chart->dropCache();
    if (info != nullptr) InvalidateRect(info->handle(), nullptr, FALSE);
  }
  void setBusy(bool) override {}
  void setConfigurationEnabled(bool enabled) override {
    if (config != nullptr) config->SetAllEnabled(enabled);
  }
  void resetView() override {}
  void stepRecording(bool backward) override { commands.push_back(backward ? "step back" : "step on"); }
  void openFile() override { commands.push_back("open"); }
  void stepDate(bool backward) override { commands.push_back(backward ? "date back" : "date on"); }
  void openThumbnail(int index) override { commands.push_back("thumbnail " + std::to_string(index)); }
  void showWarning(const std::wstring&) override { commands.push_back("warning"); }

  LineChart* chart = nullptr;
  InfoPanel* info = nullptr;
  ConsolePanel* console = nullptr;
  ConfigPanel* config = nullptr;
  std::vector<std::string> commands;
};
