// The main window's snapshot commands. What is saved or copied is taken from the player
// before the save chooser opens: the picture of the moment the key was pressed, and
// nothing of the player is touched while the chooser's modal loop runs. The slot is
// that of the picture on screen, so that the name, the band and the bytes all belong to
// what the user sees; a playing recording pauses there, the moment the user chose.
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/MainWindow_win.h"
#include "export/Snapshot.h"
#include "foundation/CommandIds.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/VideoPlayer_win.h"
#include "recording/ImageLoader_win.h"
#include "recording/VideoArchive.h"
#include "toolkit/ClipboardPicture_win.h"
#include "toolkit/Image.h"

bool MainWindow::showsPicture() const {
  return player_ != nullptr && player_->info() != nullptr && player_->picture() != nullptr;
}

void MainWindow::prepareSnapshotItems(HMENU menu) {
  // Items of other menus are not found in `menu` and stay as they are.
  const UINT state = MF_BYCOMMAND | (showsPicture() ? MF_ENABLED : MF_GRAYED);
  for (UINT id : {IDM_SAVE_FRAME, IDM_SAVE_SHOWN_PICTURE, IDM_COPY_PICTURE}) EnableMenuItem(menu, id, state);
}

void MainWindow::pauseAtPicture() {
  if (player_->state() == PlayerState::Playing) player_->pause();
}

void MainWindow::saveFrameCommand() {
  if (!showsPicture()) return;
  pauseAtPicture();
  const int32_t slot = player_->shownSlot();
  std::vector<uint8_t> jpeg;
  try {
    if (!player_->loader()->ReadStoredJpeg(slot, jpeg)) throw IOException(LoadText(kTextSnapshotNoPicture));
  } catch (const Exception& e) {
    showWarning(e.message);
    return;
  }
  savePicture(SaveChooser::Kind::Jpeg, snapshot::PictureName(player_->loader()->archive(), slot), jpeg);
}

void MainWindow::saveShownPictureCommand() {
  if (!showsPicture()) return;
  pauseAtPicture();
  const int32_t slot = player_->shownSlot();
  const VideoArchive& archive = player_->loader()->archive();
  std::vector<uint8_t> png;
  try {
    const std::unique_ptr<Image> shown = player_->shownPicture();
    png = snapshot::BandedPng(*shown, archive, slot);
  } catch (const Exception& e) {
    showWarning(e.message);
    return;
  } catch (const std::bad_alloc&) {
    showWarning(LoadText(kTextSnapshotEncodeFailed));
    return;
  }
  savePicture(SaveChooser::Kind::Png, snapshot::ShownPictureName(archive, slot), png);
}

void MainWindow::savePicture(SaveChooser::Kind kind, const std::wstring& name, const std::vector<uint8_t>& bytes) {
  std::wstring chosen;
  if (!saveChooser_.choose(handle(), kind, name, chosen)) return;
  try {
    snapshot::WritePicture(bytes, chosen);
  } catch (const Exception& e) {
    showWarning(e.message);
  }
}

void MainWindow::copyPictureCommand() {
  if (!showsPicture()) return;
  bool copied = false;
  try {
    const std::unique_ptr<Image> shown = player_->shownPicture();
    copied = CopyPictureToClipboard(handle(), *shown);
  } catch (const std::bad_alloc&) {
    copied = false;
  }
  if (!copied) showWarning(LoadText(kTextCopyFailed));
}
