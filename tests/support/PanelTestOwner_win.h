#pragma once
// The stand-in owner of the panel tests: it brings its panels up to date as the main
// window does whenever the player asks.
#include <windows.h>

#include "StandInOwner_win.h"
#include "playback/ConfigPanel_win.h"
#include "playback/ConsolePanel_win.h"
#include "playback/InfoPanel_win.h"
#include "playback/LineChart_win.h"
#include "toolkit/ScopedWin_win.h"

class TestOwner : public StandInOwner {
 public:
  TestOwner() : StandInOwner({0, 0, 900, 320}) {}
  void refreshPlayback() override {
    StandInOwner::refreshPlayback();
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
  void setBusy(bool busy) override {
    StandInOwner::setBusy(busy);
    if (config != nullptr) config->SetAllEnabled(!busy);
  }

  LineChart* chart = nullptr;
  InfoPanel* info = nullptr;
  ConfigPanel* config = nullptr;
};
