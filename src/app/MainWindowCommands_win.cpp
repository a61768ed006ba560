// The main window's commands and the opening and stepping of recordings.
#include <exception>
#include <optional>
#include <vector>

#include "app/AboutDialog_win.h"
#include "app/DeviceMenu_win.h"
#include "app/DroppedRecording.h"
#include "app/FileChooser_win.h"
#include "app/HelpPage_win.h"
#include "app/MainWindow_win.h"
#include "app/ResourceIds.h"
#include "app/ViewMenu_win.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "playback/ConsolePanel_win.h"
#include "playback/DriveSummaryWindow_win.h"
#include "playback/GCircle_win.h"
#include "playback/PlayerFrameSource_win.h"
#include "playback/InfoPanel_win.h"
#include "playback/LineChart_win.h"
#include "playback/PlayerCommands_win.h"
#include "playback/ReentrantScope_win.h"
#include "playback/Thumbnail_win.h"
#include "playback/VideoPlayer_win.h"
#include "recording/ScanFolder.h"

namespace {

// Above this many recordings in a folder the user is asked before the list is used.
constexpr int kManyFiles = 1000;

// The paths a drop carries, in its order.
std::vector<std::wstring> DroppedPaths(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
    paths.push_back(std::move(path));
  }
  return paths;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L'\\');
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

}  // namespace

// ---- what the user is asked ----

int MainWindow::ask(const std::wstring& text, TextId caption, UINT style) {
  return MessageBoxW(handle(), text.c_str(), LoadText(caption).c_str(), style);
}

void MainWindow::showWarning(const std::wstring& text) {
  ask(text, kTextWarningCaption, MB_ICONWARNING);
}

bool MainWindow::chooseFile(std::wstring& chosen) {
  return ChooseRecordingFile(handle(), currentPath_, chosen);
}

void MainWindow::showAboutBox() {
  AboutDialog about;
  about.ShowModal(handle());
}

void MainWindow::showHelpPage() { OpenHelpPage(); }

// ---- commands ----

void MainWindow::runCommand(WORD id) {
  // A command queued before a load began (a second press while the window was still
  // busy with the first) arrives while the load dispatches this window's messages; a
  // second opening begun there would close the recording being loaded.
  if (busy_) return;
  ReentrantScope scope(*this);
  scope.run([&] { carryOut(id); });
  scope.leave();  // the object may be gone now: nothing below touches it
  if (scope.failure()) std::rethrow_exception(scope.failure());
}

void MainWindow::seekTo(int32_t frame) {
  if (busy_) return;
  player_->moveTo(frame);
}

void MainWindow::carryOut(WORD id) {
  if (RunPlayerCommand(id, *player_, *console_)) return;
  if (RunViewCommand(id, menu_, *chart_, *info_, *circle_)) return;
  switch (id) {
    case IDM_OPEN:
      openFileCommand();
      break;
    case IDM_EXIT:
      SendMessageW(handle(), WM_CLOSE, 0, 0);
      break;
    case IDM_HELP:
      helpCommand();
      break;
    case IDM_ABOUT:
      aboutCommand();
      break;
    case IDM_DEVICE_SETTINGS:
    case IDM_DATE_TIME:
    case IDM_RESTORE_CARD:  // no menu item sends it; a WM_COMMAND still does
      stopPlaying();
      RunDeviceMenuCommand(deviceCommands_, id, handle());
      break;
    case IDM_PREVIOUS_RECORDING:
    case IDM_NEXT_RECORDING:
      stepRecording(id == IDM_PREVIOUS_RECORDING);
      break;
    // A date jump needs a recording on the side it goes to, as the buttons show.
    case IDM_PREVIOUS_DATE:
      if (player_->currentIndex() > 0) stepDate(true);
      break;
    case IDM_NEXT_DATE:
      if (player_->currentIndex() < player_->listCount() - 1) stepDate(false);
      break;
    // The keys' steps: as the buttons, and only where a button would be enabled, so
    // that at either end a key does nothing rather than warn.
    case IDM_KEY_PREVIOUS_RECORDING:
      if (player_->info() != nullptr && player_->currentIndex() > 0) stepRecording(true);
      break;
    case IDM_KEY_NEXT_RECORDING:
      if (player_->info() != nullptr && player_->currentIndex() < player_->listCount() - 1) stepRecording(false);
      break;
    case IDM_KEY_PREVIOUS_DATE:
      if (player_->info() != nullptr && player_->list().hasPreviousDate()) stepDate(true);
      break;
    case IDM_KEY_NEXT_DATE:
      if (player_->info() != nullptr && player_->list().hasNextDate()) stepDate(false);
      break;
    case IDM_OPEN_THUMBNAIL:
      openThumbnail();
      break;
    case IDM_SAVE_FRAME:
      saveFrameCommand();
      break;
    case IDM_SAVE_SHOWN_PICTURE:
      saveShownPictureCommand();
      break;
    case IDM_COPY_PICTURE:
      copyPictureCommand();
      break;
    case IDM_VIEW_DRIVE_SUMMARY:
      DriveSummaryWindow::Show(*this, *source_, summary_);
      break;
    case IDM_EXPORT_CLIP:
      exportCommand();
      break;
    default:
      break;
  }
}

void MainWindow::stopPlaying() {
  if (player_->state() == PlayerState::Playing) player_->stop();
}

void MainWindow::openFileCommand() {
  stopPlaying();
  std::wstring chosen;
  if (chooseFile(chosen)) openRecording(chosen, false);
}

void MainWindow::helpCommand() {
  stopPlaying();
  try {
    showHelpPage();
  } catch (const Exception&) {
    showWarning(LoadText(kTextHelpFailed));
  }
}

void MainWindow::aboutCommand() {
  stopPlaying();
  showAboutBox();
}

void MainWindow::confirmExit() {
  stopPlaying();
  if (showsRecording() &&
      ask(LoadText(kTextConfirmExit), kTextConfirmCaption, MB_ICONQUESTION | MB_OKCANCEL) != IDOK) {
    return;
  }
  DestroyWindow(handle());
}

// ---- opening and stepping ----

void MainWindow::openRecording(const std::wstring& path, bool backward) {
  stopPlaying();
  currentPath_ = path;
  // The load dispatches this window's messages; should one of them destroy the
  // window, the object must outlive this call.
  ReentrantScope scope(*this);
  bool opened = false;
  scope.run([&] { opened = loadRecording(path, backward); });
  const bool gone = scope.leave() || scope.abandoned();
  // A failure outside the Exception family goes on to the message loop in any case.
  const std::optional<std::wstring> failure = scope.failureText();
  if (gone || opened) return;
  // Declining a large folder leaves the same clean view as a failure, without a message.
  failureEpilogue();
  if (failure && !failure->empty()) showWarning(*failure);
}

void MainWindow::openDropped(HDROP drop) {
  std::vector<std::wstring> paths;
  if (!busy_) paths = DroppedPaths(drop);
  DragFinish(drop);
  const std::optional<std::wstring> recording = DroppedRecording(paths);
  if (recording) openRecording(*recording, false);
}

void MainWindow::emptyPanels() {
  destroyAnimation();
  showChartLayout();
  console_->useRecordingTips();
  resetThumbnails();
  player_->closeRecording();
  repaintChild(player_->handle(), true);
  refreshPlayback();
  repaintChild(info_->handle(), true);
  if (chart_->isEnabled() && chart_->hasCachedChart()) chart_->dropCache();
  putSliderAtStart();
}

bool MainWindow::loadRecording(const std::wstring& path, bool backward) {
  emptyPanels();
  player_->showProgress(0);
  int count = 0;
  int index = 0;
  if (IsRecordingFileName(FileNameOf(path))) {
    index = player_->setListFromFolder(path, count);
    if (count > kManyFiles &&
        ask(LoadText(kTextManyFilesSlow), kTextWarningCaption, MB_ICONWARNING | MB_OKCANCEL) != IDOK) {
      return false;
    }
  } else {
    index = player_->setSingleFile(path);
  }
  // Unreadable recordings are passed over in the direction of travel, one list and one
  // question for all of them. Each round moves the index towards an end of the list,
  // where the loop stops.
  const int step = backward ? -1 : 1;
  while (!player_->openRecordingAt(index)) {
    const bool atEnd = count == 0 || (backward ? index <= 0 : index >= count - 1);
    if (atEnd) throw VideoArchiveException(LoadText(kTextDataUnreadable));
    index += step;
    putSliderAtStart();
  }
  currentPath_ = player_->pathOf(index).value_or(path);
  chart_->dropCache();
  updateTitle();
  player_->playOn();
  return true;
}

void MainWindow::failureEpilogue() {
  repaintChild(player_->handle(), true);
  showChartLayout();
  chart_->dropCache();
  repaintChild(thumbnail_->handle(), false);
  updateTitle();
}

void MainWindow::stepRecording(bool backward) {
  stopPlaying();
  try {
    const int index = player_->currentIndex() + (backward ? -1 : 1);
    const std::optional<std::wstring> path =
        index >= 0 && index < player_->listCount() ? player_->pathOf(index) : std::nullopt;
    if (!path) throw Exception();
    putSliderAtStart();
    openRecording(*path, backward);
  } catch (const DataMissingException&) {
    resetView();
    showWarning(LoadText(kTextFolderMoved));
  } catch (const Exception&) {
    showWarning(LoadText(backward ? kTextNoPreviousDate : kTextNoNextDate));
  }
}

void MainWindow::stepDate(bool backward) {
  try {
    player_->jumpToDate(backward);
    currentPath_ = player_->recordingPath();
    updateTitle();
    player_->playOn();
  } catch (const Exception& e) {
    failureEpilogue();
    // An empty text: the player has told the user already.
    if (!e.message.empty()) showWarning(e.message);
  }
}

void MainWindow::openThumbnail() {
  player_->setPictureName(thumbnailFileName(thumbnail_->selected()));
  try {
    player_->openPicture(currentPath_);
    updateTitle();
  } catch (const Exception& e) {
    updateTitle();
    showWarning(e.message);
  }
}
