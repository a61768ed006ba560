// The main window's commands and the opening and stepping of recordings.
#include <optional>

#include "app/AboutDialog_win.h"
#include "app/DeviceMenu_win.h"
#include "app/FileChooser_win.h"
#include "app/HelpPage_win.h"
#include "app/MainWindow_win.h"
#include "app/ResourceIds.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "playback/ConsolePanel_win.h"
#include "playback/InfoPanel_win.h"
#include "playback/LineChart_win.h"
#include "playback/Thumbnail_win.h"
#include "playback/VideoPlayer_win.h"
#include "recording/ScanFolder.h"

namespace {

// Above this many recordings in a folder the user is asked before the list is used.
constexpr int kManyFiles = 1000;

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
    default:
      break;
  }
}

void MainWindow::stopPlaying() {
  if (player_->state() == PlayerState::Playing) player_->stop();
}

void MainWindow::startPlaying() {
  if (player_->state() == PlayerState::Stopped) {
    player_->resume();
  } else {
    player_->playFrom(player_->currentFrame());
  }
}

// The panels' commands while a recording loads are dropped, as the menus are: a click
// queued for a button before the load disabled it (a second press while the window was
// still busy with the first) reaches it while the load handles the window's messages,
// and a second opening begun there would close the recording being loaded.
void MainWindow::openFile() {
  if (!busy_) openFileCommand();
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
  holdDeletion();
  bool opened = false;
  std::optional<std::wstring> failure;
  try {
    opened = loadRecording(path, backward);
  } catch (const Exception& e) {
    failure = e.message;
  }
  if (releaseDeletion() || windowDestroyed()) return;
  if (opened) return;
  // Declining a large folder leaves the same clean view as a failure, without a message.
  failureEpilogue();
  if (failure && !failure->empty()) showWarning(*failure);
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
  startPlaying();
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
  if (busy_) return;
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
  if (busy_) return;
  try {
    player_->jumpToDate(backward);
    currentPath_ = player_->recordingPath();
    updateTitle();
    startPlaying();
  } catch (const Exception& e) {
    failureEpilogue();
    // An empty text: the player has told the user already.
    if (!e.message.empty()) showWarning(e.message);
  }
}

void MainWindow::openThumbnail(int index) {
  if (busy_) return;
  player_->setPictureName(thumbnailFileName(index));
  try {
    player_->openPicture(currentPath_);
    updateTitle();
  } catch (const Exception& e) {
    updateTitle();
    showWarning(e.message);
  }
}
