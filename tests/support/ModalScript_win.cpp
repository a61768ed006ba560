#include "ModalScript_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include "WindowSearch_win.h"

namespace {

constexpr int kBoxTextId = 0xFFFF;
constexpr int kSystemBoxIconId = 0x14;
constexpr int kWineBoxIconId = 0x440;
// How long a message box may stand where the script expects another window before the
// script gives up on it.
constexpr DWORD kUnexpectedBoxMs = 3000;

struct Candidates {
  std::vector<HWND> windows;
};

BOOL CALLBACK TakeCandidate(HWND window, LPARAM data) {
  if (IsWindowVisible(window) && IsWindowEnabled(window) && ClassName(window) == L"#32770")
    reinterpret_cast<Candidates*>(data)->windows.push_back(window);
  return TRUE;
}

std::vector<HWND> ActiveDialogs(DWORD thread) {
  Candidates found;
  EnumThreadWindows(thread, TakeCandidate, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

// A message box holds its text (id 0xFFFF), its buttons (IDOK..IDCONTINUE) and maybe
// an icon, nothing else; a program's dialog has controls of its own ids, even where it
// also has unnamed (0xFFFF) ones.
struct BoxParts {
  int texts = 0;
  bool other = false;
};

BOOL CALLBACK CountBoxParts(HWND child, LPARAM data) {
  auto* parts = reinterpret_cast<BoxParts*>(data);
  const int id = GetDlgCtrlID(child);
  if (id == kBoxTextId) {
    ++parts->texts;
  } else if (!(id >= IDOK && id <= IDCONTINUE) && id != kSystemBoxIconId && id != kWineBoxIconId) {
    parts->other = true;
  }
  return TRUE;
}

bool IsMessageBox(HWND window) {
  BoxParts parts;
  EnumChildWindows(window, CountBoxParts, reinterpret_cast<LPARAM>(&parts));
  return parts.texts == 1 && !parts.other;
}

}  // namespace

ModalKind KindOf(HWND window) {
  if (IsMessageBox(window)) return ModalKind::MessageBox;
  return FindChildOfClass(window, L"SysTreeView32") != nullptr ? ModalKind::FolderChooser : ModalKind::Dialog;
}

std::wstring BoxText(HWND box) { return WindowText(GetDlgItem(box, kBoxTextId)); }

ModalStep Press(ModalKind kind, int button) {
  return {kind, [button](HWND window) { PostMessageW(GetDlgItem(window, button), BM_CLICK, 0, 0); }};
}

// How long a selection may take to show before the step asks for it again: the tree may
// not stand yet when the chooser first shows.
constexpr DWORD kSelectionShowsMs = 1000;

// Asks for `folder`, by its path and, every other time, by its item list (the chooser
// does not take some drive roots by path). The request is posted: the chooser posts its
// own first selection to itself as it opens, and a request sent from here would be
// handled before that one, which would then replace it.
void RequestFolder(HWND chooser, const std::wstring& folder, int attempt) {
  if (attempt % 2 == 0) {
    PostMessageW(chooser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    return;
  }
  PIDLIST_ABSOLUTE item = ILCreateFromPathW(folder.c_str());
  if (item == nullptr) return;
  // The list must live until the chooser has handled the request: sent, not posted.
  SendMessageW(chooser, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(item));
  ILFree(item);
}

ModalStep ChooseFolderStep(const std::wstring& folder) {
  // Confirmed only once the tree shows the folder; a selection that never shows is
  // cancelled rather than confirmed, so that nothing is written to whatever folder the
  // chooser shows instead.
  std::wstring name = folder;
  while (!name.empty() && name.back() == L'\\') name.pop_back();
  name = name.substr(name.find_last_of(L'\\') + 1);
  return {ModalKind::FolderChooser, [folder, name](HWND chooser) {
            int attempt = 0;
            const bool shown = WaitFor([&] {
              RequestFolder(chooser, folder, attempt++);
              return WaitFor([&] { return SelectedTreeItemText(FindChildOfClass(chooser, L"SysTreeView32")).find(name) != std::wstring::npos; },
                             kSelectionShowsMs);
            });
            PostMessageW(chooser, WM_COMMAND, shown ? IDOK : IDCANCEL, 0);
          }};
}

ModalStep OnDialog(std::function<void(HWND)> act) { return {ModalKind::Dialog, std::move(act)}; }

ModalStep OnAnyDialog(std::function<void(HWND)> act) { return {ModalKind::Any, std::move(act)}; }

ModalScript::ModalScript(std::vector<ModalStep> steps, DWORD stepDeadlineMs)
    : thread_(&ModalScript::run, this, GetCurrentThreadId(), std::move(steps), stepDeadlineMs) {}

ModalScript::~ModalScript() { finish(); }

void ModalScript::finish() {
  if (thread_.joinable()) thread_.join();
}

std::vector<std::wstring> ModalScript::boxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

std::wstring ModalScript::unexpected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::wstring all;
  for (const auto& text : unexpected_) all += (all.empty() ? L"" : L" | ") + text;
  return all;
}

void ModalScript::log(std::vector<std::wstring>& list, const std::wstring& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  list.push_back(text);
}

HWND ModalScript::await(DWORD thread, ModalKind kind, HWND closed, DWORD deadlineMs) {
  HWND found = nullptr;
  HWND stray = nullptr;
  DWORD straySince = 0;
  WaitFor(
      [&] {
        for (HWND window : ActiveDialogs(thread)) {
          if (window == closed) continue;
          const ModalKind k = KindOf(window);
          if (k == kind || kind == ModalKind::Any) {
            found = window;
            return true;
          }
          if (k == ModalKind::MessageBox && window != stray) {
            stray = window;
            straySince = GetTickCount();
          }
        }
        return stray != nullptr && IsWindow(stray) && GetTickCount() - straySince >= kUnexpectedBoxMs;
      },
      deadlineMs);
  if (found == nullptr && stray != nullptr && IsWindow(stray)) log(unexpected_, BoxText(stray));
  return found;
}

void ModalScript::run(DWORD thread, std::vector<ModalStep> steps, DWORD deadlineMs) {
  HWND closed = nullptr;
  for (ModalStep& step : steps) {
    const HWND window = await(thread, step.kind, closed, deadlineMs);
    if (window == nullptr) break;
    if (step.kind == ModalKind::MessageBox) log(boxes_, BoxText(window));
    step.act(window);
    ++done_;
    // A box or a chooser is gone after its step; a dialog may stay for the next one.
    closed = step.kind == ModalKind::Dialog ? nullptr : window;
    if (closed != nullptr) WaitFor([&] { return !IsWindow(closed); }, deadlineMs);
  }
  // Whatever is still open is cancelled, innermost first, until the thread has none.
  WaitFor(
      [&] {
        const std::vector<HWND> open = ActiveDialogs(thread);
        for (HWND window : open) {
          if (KindOf(window) == ModalKind::MessageBox) log(unexpected_, BoxText(window));
          PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
          WaitFor([&] { return !IsWindow(window) || !IsWindowEnabled(window); });
        }
        return open.empty();
      },
      deadlineMs);
}
