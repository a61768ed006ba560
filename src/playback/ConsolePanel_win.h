#pragma once
// The strip of playback controls under the picture: play/pause, stop, previous and next
// date, previous and next recording, and the position slider with its switch marks. A
// button's click is its command, carried out by the owner; a drag of the slider seeks
// the player. The controls take their state from the player whenever the owner
// refreshes the playback views.
#include <windows.h>

#include <cstdint>
#include <string>

#include "playback/PanelWindow_win.h"
#include "playback/PlayerState.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/ImageButtonListener.h"
#include "toolkit/ImageTrackBarListener.h"
#include "toolkit/ScopedWin_win.h"

class IPlaybackOwner;
class ImageButton;
class PlayButton;
class PlayTrackBar;
class TrackToolTip;
class VideoPlayer;

class ConsolePanel : public PanelWindow, public ImageButtonListener, public ImageTrackBarListener {
 public:
  // The slider's left edge and the room the panel keeps right of it.
  static constexpr int kSliderX = 249;
  static constexpr int kSliderY = 26;
  static constexpr int kSliderHeight = 30;
  static constexpr int kSliderMargin = 344;

  // Creates the child window of the owner's window (the owner places it), its controls
  // and their tips. Delete the panel by destroying its window.
  ConsolePanel(IPlaybackOwner& owner, VideoPlayer& player);
  ~ConsolePanel() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Brings the buttons, the slider's range, marks and value in line with the player.
  // Nothing while the panel is disabled.
  void refreshControls();
  // Enables and shows the navigation controls, or disables and hides them.
  void setControlsShown(bool shown);
  // Once a recording is open the two step buttons move between recordings: their tips
  // say so.
  void useRecordingTips();

  // ImageButtonListener
  void OnClick(ImageButton* button) override;
  void OnPress(ImageButton*) override {}
  // ImageTrackBarListener
  void OnTrackChange(ImageTrackBar* bar) override;
  void OnTrackBegin(ImageTrackBar* bar) override;
  void OnTrackEnd(ImageTrackBar* bar) override;

  PlayButton& playButton() const { return *play_; }
  ImageButton& stopButton() const { return *stop_; }
  ImageButton& nextButton() const { return *next_; }
  ImageButton& previousButton() const { return *previous_; }
  ImageButton& nextDateButton() const { return *nextDate_; }
  ImageButton& previousDateButton() const { return *previousDate_; }
  PlayTrackBar& slider() const { return *slider_; }
  TrackToolTip& tooltip() const { return *tooltip_; }
  // The readout right of the slider as drawn now: the frame shown (while not playing)
  // and the speed (when not 1 time forwards).
  const std::wstring& frameLine() const { return frameLine_; }
  const std::wstring& speedLine() const { return speedLine_; }

 private:
  void createControls();
  ImageButton* addButton(int id, int x, int y, int size, const int (&art)[3]);
  void addTips();
  void refreshButtons(PlayerState state, int32_t frame);
  void refreshSlider(int32_t frameCount, int32_t frame);
  void refreshReadout();
  RECT readoutArea() const;
  void drawReadout(HDC dc) const;
  void onSize(WPARAM kind, LPARAM size);
  void eraseBackground(HDC dc);

  IPlaybackOwner& owner_;
  VideoPlayer& player_;
  // The child windows delete their objects when they go with the panel's window.
  PlayButton* play_ = nullptr;
  ImageButton* stop_ = nullptr;
  ImageButton* next_ = nullptr;
  ImageButton* previous_ = nullptr;
  ImageButton* previousDate_ = nullptr;
  ImageButton* nextDate_ = nullptr;
  PlayTrackBar* slider_ = nullptr;
  TrackToolTip* tooltip_ = nullptr;
  PlayerState stateAtDragStart_ = PlayerState::NoRecording;
  std::wstring frameLine_;
  std::wstring speedLine_;
  ScopedGdiObject font_;
  AlphaImage left_;
  AlphaImage middle_;
  AlphaImage right_;
  AlphaImage disabledMiddle_;
  AlphaImage disabledRight_;
};
