#include "playback/ConfigPanel_win.h"

#include <cwchar>
#include <initializer_list>

#include "foundation/CommandIds.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/IPlaybackOwner_win.h"
#include "playback/ISoundPlayer.h"
#include "playback/VideoPlayer_win.h"
#include "toolkit/ImageButton_win.h"
#include "toolkit/ImageTrackBar_win.h"
#include "toolkit/TrackToolTip_win.h"

namespace {

constexpr int kBackgroundArt = 10024;
constexpr int kSliderThumbArt = 291;
constexpr int kVolumeTrackArt = 403;
constexpr int kBrightnessTrackArt = 10001;
constexpr int kVolumeResetArt = 290;
constexpr int kBrightnessResetArt = 289;
constexpr int kOpenArt[3] = {10021, 10022, 10023};

constexpr int kSliderX = 40;
constexpr int kSliderWidth = 151;
constexpr int kSliderHeight = 16;
constexpr int kVolumeY = 48;
constexpr int kBrightnessY = 113;

}  // namespace

ConfigPanel::ConfigPanel(IPlaybackOwner& owner, VideoPlayer& player)
    : owner_(owner), player_(player), background_(kBackgroundArt) {
  createPanel(owner.ownerWindow(), WS_CLIPCHILDREN, [this] {
    createControls();
    addTips();
  });
}

ConfigPanel::~ConfigPanel() = default;

std::wstring ConfigPanel::BrightnessText(int32_t value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%3.1f", value / 10.0);
  return text;
}

// The values are set before the listeners, so building the panel calls nothing on the
// player.
void ConfigPanel::createControls() {
  volume_ = addSlider(kVolumeY, kVolumeTrackArt, {0, kMaxVolume}, kStandardVolume);
  brightness_ = addSlider(kBrightnessY, kBrightnessTrackArt, {kMinBrightness, kMaxBrightness},
                          kStandardBrightness);
  brightness_->formatter = BrightnessText;

  const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  volumeReset_ = addButton(IDC_VOLUME_RESET, 14, kVolumeY, 17, 15);
  volumeReset_->SetImages(kVolumeResetArt, 0, 0);
  brightnessReset_ = addButton(IDC_BRIGHTNESS_RESET, 14, kBrightnessY, 16, 16);
  brightnessReset_->SetImages(kBrightnessResetArt, 0, 0);
  for (ImageButton* reset : {volumeReset_, brightnessReset_}) {
    reset->drawEdge = false;
    reset->cursor = hand;
  }
  open_ = addButton(IDM_OPEN, 57, 178, 102, 28);
  open_->SetImages(kOpenArt[0], kOpenArt[1], kOpenArt[2]);

  volume_->listener = this;
  brightness_->listener = this;
  SetControlId(*volume_, IDC_VOLUME_SLIDER);
  SetControlId(*brightness_, IDC_BRIGHTNESS_SLIDER);
}

ImageTrackBar* ConfigPanel::addSlider(int y, int trackArt, Range range, int32_t value) {
  ImageTrackBar* slider = MakeControl<ImageTrackBar>(handle(), kSliderX, y, kSliderWidth,
                                                     kSliderHeight);
  slider->SetImages(kSliderThumbArt, trackArt, 0);
  slider->SetRange(range.minimum, range.maximum);
  slider->SetValue(value, false);
  return slider;
}

ImageButton* ConfigPanel::addButton(int id, int x, int y, int width, int height) {
  ImageButton* button = MakeControl<ImageButton>(handle(), x, y, width, height);
  SetControlId(*button, id);
  button->listener = this;
  return button;
}

void ConfigPanel::addTips() {
  tooltip_ = MakeControl<TrackToolTip>(handle());
  for (ImageTrackBar* slider : {volume_, brightness_}) {
    slider->tooltip = tooltip_;
    tooltip_->AddTrackTool(slider->handle(), slider->ValueText());
  }
  tooltip_->AddButtonTool(LoadText(kTextDefaultVolume), volumeReset_->handle());
  tooltip_->AddButtonTool(LoadText(kTextDefaultBrightness), brightnessReset_->handle());
  tooltip_->AddButtonTool(LoadText(kTextOpenFile), open_->handle());
}

LRESULT ConfigPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      return 0;
    case WM_ERASEBKGND:
      eraseBackground(reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      return defaultHandling(message, wParam, lParam);
  }
}

// The controls are drawn again over the new background.
void ConfigPanel::eraseBackground(HDC dc) {
  if (background_.Picture() != nullptr) {
    background_.DrawAt(dc, 0, 0);
  } else {
    RECT client;
    GetClientRect(handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  }
  using Controls = std::initializer_list<Window*>;
  for (Window* control : Controls{volume_, brightness_, volumeReset_, brightnessReset_, open_}) {
    UpdateWindow(control->handle());
  }
}

void ConfigPanel::SetAllEnabled(bool enable) {
  SetVolumeEnabled(enable);
  brightnessReset_->setEnabled(enable);
  brightness_->setEnabled(enable);
  open_->setEnabled(enable);
}

void ConfigPanel::SetVolumeEnabled(bool enable) {
  volumeReset_->setEnabled(enable);
  volume_->setEnabled(enable);
}

void ConfigPanel::OnClick(ImageButton* button) {
  if (button == open_) {
    owner_.runCommand(IDM_OPEN);
  } else if (button == volumeReset_) {
    volume_->SetValue(kStandardVolume, true);
  } else if (button == brightnessReset_) {
    brightness_->SetValue(kStandardBrightness, true);
  }
}

void ConfigPanel::OnTrackChange(ImageTrackBar* bar) {
  if (bar == volume_) {
    player_.sound().setVolume(bar->Value());
  } else if (bar == brightness_) {
    player_.gamma().SetGamma(bar->Value() / 10.0);
    InvalidateRect(player_.handle(), nullptr, FALSE);
    UpdateWindow(player_.handle());
  }
}
