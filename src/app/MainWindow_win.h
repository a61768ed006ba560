#pragma once
// The program's top-level window: owns the video player and the panels around it,
// places them, paints the background pictures between them, carries the menu, and runs
// every command the user gives (menu items and panel buttons alike) through one function
// that decides what may run while a recording loads. It deletes itself when its
// window is destroyed, and its destruction ends the message loop.
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/SaveChooser_win.h"
#include "devicedialogs/DeviceCommands_win.h"
#include "foundation/TextIds.h"
#include "playback/IPlayerOwner_win.h"
#include "playback/MarkedRange.h"
#include "toolkit/Window_win.h"

class AlphaImage;
class Animation;
class ConfigPanel;
class ConsolePanel;
class DriveSummaryWindow;
class ExportProgress;
struct ClipRequest;
class GCircle;
class InfoPanel;
class LineChart;
class PlayerFrameSource;
class Thumbnail;
class VideoPlayer;

class MainWindow : public Window, public IPlayerOwner {
 public:
  // Builds the window with its menu, pictures and children; throws WindowException
  // when the class or the window cannot be made. The object then belongs to its window.
  static MainWindow* Create();
  ~MainWindow() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // IPlayerOwner
  HWND ownerWindow() const override { return handle(); }
  void refreshPlayback() override;
  // The one road of every command (foundation/CommandIds.h). Nothing runs while a
  // recording loads. The window's object outlives the command, which may run a modal
  // loop or a load that dispatches messages, one of which may destroy the window.
  void runCommand(WORD id) override;
  void seekTo(int32_t frame) override;
  // Busy: commands and closing refused, the menus and the configuration panel grayed.
  void setBusy(bool busy) override;
  void recordingChanged() override;
  void resetView() override;
  void showWarning(const std::wstring& text) override;

  void layoutChildren(int width, int height);
  void paintBackground(HDC dc);
  void showChartLayout();
  void updateTitle();
  void startWaitingAnimation();

  // Opens the recording at `path` (its folder's list when it is named as a recording)
  // and plays it; a failure is told and leaves a clean view. `backward`: unreadable
  // recordings are passed over towards the start of the list.
  void openRecording(const std::wstring& path, bool backward);
  // Files or folders dropped on the window: the first recording among them opens as
  // the chooser's would; anything else is ignored, and so is a drop while a recording
  // loads. The drop's memory is released in every case.
  void openDropped(HDROP drop);

  VideoPlayer& player() const { return *player_; }
  InfoPanel& infoPanel() const { return *info_; }
  GCircle& gCircle() const { return *circle_; }
  // The drive summary window while it is open, else null.
  DriveSummaryWindow* driveSummary() const { return summary_; }
  LineChart& chart() const { return *chart_; }
  ConsolePanel& consolePanel() const { return *console_; }
  ConfigPanel& configPanel() const { return *config_; }
  Thumbnail& thumbnailPanel() const { return *thumbnail_; }
  Animation* animation() const { return animation_; }
  const std::wstring& currentPath() const { return currentPath_; }
  const std::wstring& cardPath() const { return deviceCommands_.cardPath(); }
  bool busy() const { return busy_; }
  // The accelerator table of the window's keys, for the message loop.
  HACCEL keys() const { return keys_; }

 protected:
  MainWindow();
  // Creates the window and its children; separate from construction so that a derived
  // object answers the questions asked meanwhile.
  void build();

  // What the user is asked and shown. The viewer shows the system's boxes and dialogs;
  // tests answer them without a click.
  virtual int ask(const std::wstring& text, TextId caption, UINT style);
  virtual bool chooseFile(std::wstring& chosen);
  virtual void showAboutBox();
  virtual void showHelpPage();
  // The export dialog: fills the request's frames and band; false when cancelled.
  virtual bool askExport(std::optional<MarkedRange::Bounds> marked, int32_t count, ClipRequest& request);

 private:
  void createWindow();
  void loadPictures();
  void createChildren();
  void destroyAnimation();
  void stopPlaying();
  // The view after an opening or a date jump failed: the chart layout, a clean chart and
  // thumbnail strip, the title.
  void failureEpilogue();
  // The part of openRecording that the failure epilogue guards. False when the user
  // declined to wait for a large folder.
  bool loadRecording(const std::wstring& path, bool backward);
  void emptyPanels();
  void dropChartCache();
  bool showsRecording() const;
  void repaintChild(HWND child, bool erase);
  // The commands, run by runCommand.
  void carryOut(WORD id);
  void openFileCommand();
  void helpCommand();
  void aboutCommand();
  void stepRecording(bool backward);
  void stepDate(bool backward);
  void openThumbnail();
  // A clip of the marked range or the whole recording, on a worker, told when it ends.
  void exportCommand();
  void onExportDone(WPARAM outcome, LPARAM text);
  void confirmExit();
  // The snapshot commands (MainWindowSnapshots_win.cpp): the frame shown as its stored
  // JPEG, the picture as shown as a PNG with the time band, the picture as shown on the
  // clipboard. Each does nothing while no picture is shown, and their items are grayed.
  bool showsPicture() const;
  void prepareSnapshotItems(HMENU menu);
  void pauseAtPicture();
  void saveFrameCommand();
  void saveShownPictureCommand();
  void copyPictureCommand();
  // Asks where `bytes` go, proposing `name`, and writes them there; a failure is told.
  void savePicture(SaveChooser::Kind kind, const std::wstring& name, const std::vector<uint8_t>& bytes);
  void setMenusEnabled(bool enabled);
  // Checks and grays the playback menu's items for the player's state as it opens.
  void preparePlaybackMenu(HMENU menu);
  LRESULT onCommand(WPARAM wParam, LPARAM lParam);
  LRESULT onSize(WPARAM kind, LPARAM size);

  // The console's position slider back at its start.
  void putSliderAtStart();
  // The thumbnail strip emptied, and what it shows.
  void resetThumbnails();
  bool thumbnailsShown() const;
  std::wstring thumbnailFileName(int index) const;

  // Children delete themselves with their windows.
  VideoPlayer* player_ = nullptr;
  ConfigPanel* config_ = nullptr;
  ConsolePanel* console_ = nullptr;
  InfoPanel* info_ = nullptr;
  GCircle* circle_ = nullptr;
  DriveSummaryWindow* summary_ = nullptr;  // owned top-level window, deletes itself
  LineChart* chart_ = nullptr;
  Thumbnail* thumbnail_ = nullptr;
  std::unique_ptr<PlayerFrameSource> source_;
  std::unique_ptr<AlphaImage> columnTop_;
  std::unique_ptr<AlphaImage> columnFiller_;
  std::unique_ptr<AlphaImage> columnBottom_;
  std::unique_ptr<AlphaImage> leftStrip_;
  Animation* animation_ = nullptr;
  std::wstring currentPath_;
  // Keeps the card folder between device commands; it starts on the program's folder,
  // where the viewer sits when it is run from the card.
  DeviceCommands deviceCommands_;
  bool busy_ = false;
  HMENU menu_ = nullptr;
  HACCEL keys_ = nullptr;  // a resource: freed with the module
  // Where the user saves what is taken away: the pictures folder, then the last choice.
  SaveChooser saveChooser_;
  ExportProgress* export_ = nullptr;  // the export under way; its window owns it
};
