#pragma once
// The small fixed panel beside the console with the sound volume and picture brightness
// sliders, a button beside each that puts its slider back to the standard value, and
// the button that opens a recording. Slider moves reach the player's sound and its
// brightness curve.
#include <windows.h>

#include <cstdint>
#include <string>

#include "playback/PanelWindow_win.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/ImageButtonListener.h"
#include "toolkit/ImageTrackBarListener.h"

class IPlaybackOwner;
class ImageButton;
class ImageTrackBar;
class TrackToolTip;
class VideoPlayer;

class ConfigPanel : public PanelWindow, public ImageButtonListener, public ImageTrackBarListener {
 public:
  static constexpr int32_t kStandardVolume = 16;
  static constexpr int32_t kStandardBrightness = 12;  // tenths of the gamma
  static constexpr int32_t kMinBrightness = 1;
  static constexpr int32_t kMaxBrightness = 50;

  // Creates the child window of the owner's window (the owner places it, 209 x 220)
  // with its controls at their standard values; nothing is asked of the player yet.
  // Delete the panel by destroying its window.
  ConfigPanel(IPlaybackOwner& owner, VideoPlayer& player);
  ~ConfigPanel() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Enables or disables all five controls, or the volume pair only. A control already
  // in the state asked for is not repainted.
  void SetAllEnabled(bool enable);
  void SetVolumeEnabled(bool enable);

  // The brightness slider's tip: the gamma the value stands for, "1.2" for 12.
  static std::wstring BrightnessText(int32_t value);

  // ImageButtonListener
  void OnClick(ImageButton* button) override;
  void OnPress(ImageButton*) override {}
  // ImageTrackBarListener
  void OnTrackChange(ImageTrackBar* bar) override;
  void OnTrackBegin(ImageTrackBar*) override {}
  void OnTrackEnd(ImageTrackBar*) override {}

  ImageTrackBar& volumeSlider() const { return *volume_; }
  ImageTrackBar& brightnessSlider() const { return *brightness_; }
  ImageButton& volumeResetButton() const { return *volumeReset_; }
  ImageButton& brightnessResetButton() const { return *brightnessReset_; }
  ImageButton& openButton() const { return *open_; }
  TrackToolTip& tooltip() const { return *tooltip_; }

 private:
  void createControls();
  struct Range {
    int32_t minimum, maximum;
  };
  ImageTrackBar* addSlider(int y, int trackArt, Range range, int32_t value);
  ImageButton* addButton(int id, int x, int y, int width, int height);
  void addTips();
  void eraseBackground(HDC dc);

  IPlaybackOwner& owner_;
  VideoPlayer& player_;
  // The child windows delete their objects when they go with the panel's window.
  ImageTrackBar* volume_ = nullptr;
  ImageTrackBar* brightness_ = nullptr;
  ImageButton* volumeReset_ = nullptr;
  ImageButton* brightnessReset_ = nullptr;
  ImageButton* open_ = nullptr;
  TrackToolTip* tooltip_ = nullptr;
  AlphaImage background_;
};
