#pragma once
// The main window's stand-in for the tests of the player and the panels: a visible
// top-level window that is their parent and keeps a log of what they ask of it (the
// idea of Wine's message-sequence tables: a test compares the log with the calls it
// expects). Commands are logged by name; the player's own commands (play/pause, stop)
// are also carried out when the test gives the owner its player and console, as the
// main window does. Warnings are kept instead of shown, so nothing waits for a click.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/CommandIds.h"
#include "playback/IPlayerOwner_win.h"
#include "playback/PlayerCommands_win.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/Window_win.h"

class ConsolePanel;

// The log's name of a command; "command N" for an id without one.
inline std::string CommandName(WORD id) {
  const std::pair<WORD, const char*> names[] = {
      {IDM_OPEN, "open"},
      {IDM_PLAY_PAUSE, "play/pause"},
      {IDM_STOP, "stop"},
      {IDM_PREVIOUS_RECORDING, "previous recording"},
      {IDM_NEXT_RECORDING, "next recording"},
      {IDM_PREVIOUS_DATE, "previous date"},
      {IDM_NEXT_DATE, "next date"},
      {IDM_OPEN_THUMBNAIL, "open thumbnail"},
  };
  for (const auto& n : names) {
    if (n.first == id) return n.second;
  }
  return "command " + std::to_string(id);
}

class StandInOwner : public Window, public IPlayerOwner {
 public:
  using Log = std::vector<std::string>;

  explicit StandInOwner(RECT place, HMENU menu = nullptr) {
    WindowCreateParams p;
    p.className = MAKEINTATOM(defaultClass());
    p.style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    p.x = place.left;
    p.y = place.top;
    p.width = place.right - place.left;
    p.height = place.bottom - place.top;
    p.menu = menu;
    p.instance = classInstance();
    create(p);
  }

  HWND ownerWindow() const override { return handle(); }
  void refreshPlayback() override {
    ++refreshes;
    if (onRefresh) onRefresh();
  }
  void runCommand(WORD id) override {
    log.push_back(CommandName(id));
    commands.push_back(CommandName(id));
    if (player != nullptr && console != nullptr) RunPlayerCommand(id, *player, *console);
  }
  void seekTo(int32_t frame) override {
    log.push_back("seek " + std::to_string(frame));
    if (player != nullptr) player->moveTo(frame);
  }
  void setBusy(bool busy) override { log.push_back(busy ? "busy" : "free"); }
  void recordingChanged() override {
    if (onRecordingChanged) onRecordingChanged();
  }
  void resetView() override { log.push_back("reset"); }
  void showWarning(const std::wstring& text) override {
    log.push_back("warning");
    warnings.push_back(text);
  }

  // The entries of the log that are among `names`, in order.
  Log only(std::initializer_list<const char*> names) const {
    Log kept;
    for (const std::string& entry : log) {
      if (std::any_of(names.begin(), names.end(), [&](const char* n) { return entry == n; })) {
        kept.push_back(entry);
      }
    }
    return kept;
  }
  int count(const char* name) const { return static_cast<int>(only({name}).size()); }

  // Runs `f` when dispatched: posted before a load, the load's pump runs it.
  void postHook(std::function<void()> f) {
    hook_ = std::move(f);
    PostMessageW(handle(), kRunHook, 0, 0);
  }
  void clearHook() { hook_ = nullptr; }
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kRunHook) {
      if (hook_) hook_();
      return 0;
    }
    return defaultHandling(message, wParam, lParam);
  }

  Log log;
  Log commands;  // the commands alone
  std::vector<std::wstring> warnings;
  int refreshes = 0;
  // What a refresh and a change of recording do beside being counted: the panel tests
  // bring their panels up to date as the main window does.
  std::function<void()> onRefresh;
  std::function<void()> onRecordingChanged;
  // Given by the test to have the player's own commands carried out.
  VideoPlayer* player = nullptr;
  ConsolePanel* console = nullptr;

 private:
  static constexpr UINT kRunHook = WM_APP + 0x100;
  std::function<void()> hook_;
};
