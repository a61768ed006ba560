// The main window's clip export: the dialog, the save chooser, the worker's progress
// window, and what the user is told when it has ended.
#include <memory>
#include <optional>

#include "app/ExportDialog_win.h"
#include "app/ExportProgress_win.h"
#include "app/MainWindow_win.h"
#include "export/ClipExport.h"
#include "export/Snapshot.h"
#include "foundation/Text.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/WindowMessages_win.h"

bool MainWindow::askExport(std::optional<MarkedRange::Bounds> marked, int32_t count, ClipRequest& request) {
  ExportDialog dialog(marked, count);
  if (dialog.ShowModal(handle()) != IDOK) return false;
  request.first = dialog.frames().first;
  request.last = dialog.frames().last;
  request.overlay = dialog.overlay();
  return true;
}

void MainWindow::exportCommand() {
  if (player_->info() == nullptr || player_->loader() == nullptr) return;
  if (export_ != nullptr) {
    // One export at a time: the one under way is shown again.
    SetForegroundWindow(export_->handle());
    showWarning(LoadText(kTextExportRunning));
    return;
  }
  const int32_t count = player_->frameCount();
  std::optional<MarkedRange::Bounds> marked;
  if (player_->range().marked()) marked = player_->range().bounds(count);
  ClipRequest request;
  if (!askExport(marked, count, request)) return;
  const std::wstring name = snapshot::ClipName(player_->loader()->archive(), request.first);
  if (!saveChooser_.choose(handle(), SaveChooser::Kind::Clip, name, request.clipPath)) return;
  request.archivePath = player_->recordingPath();
  export_ = ExportProgress::Start(handle(), WM_EXPORT_DONE, request);
}

void MainWindow::onExportDone(WPARAM outcome, LPARAM text) {
  export_ = nullptr;
  const std::unique_ptr<std::wstring> message(reinterpret_cast<std::wstring*>(text));
  if (outcome == ExportProgress::kFailed) {
    ask(*message, kTextWarningCaption, MB_ICONWARNING);
  } else {
    ask(*message, kTextInformationCaption, MB_ICONINFORMATION);
  }
}
