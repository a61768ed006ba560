#include "playback/ConsolePanel_win.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "foundation/CommandIds.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/FrameReadout.h"
#include "playback/IPlaybackOwner_win.h"
#include "playback/MarkedRange.h"
#include "playback/PlayButton_win.h"
#include "playback/PlayTrackBar_win.h"
#include "playback/VideoPlayer_win.h"
#include "recording/IVideoInfo.h"
#include "toolkit/ImageButton_win.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/TrackToolTip_win.h"

namespace {

// Normal, pressed and disabled pictures of each button.
constexpr int kStopArt[3] = {10018, 10019, 10020};
constexpr int kNextArt[3] = {10006, 10007, 10008};
constexpr int kPreviousArt[3] = {10003, 10004, 10005};
constexpr int kPreviousDateArt[3] = {10009, 10010, 10011};
constexpr int kNextDateArt[3] = {10012, 10013, 10014};

constexpr int kSliderThumbArt = 10031;
constexpr int kSliderTrackArt = 10027;
constexpr int kSliderFillArt = 295;
constexpr int kSliderCreationWidth = 526;

constexpr int kLeftArt = 223;
constexpr int kMiddleArt = 221;
constexpr int kRightArt = 222;
constexpr int kDisabledMiddleArt = 424;
constexpr int kDisabledRightArt = 425;

// The readout's place right of the slider, its lines and colour (the interface's text
// colour on the panel surface).
// The readout's row: the panel surface above the slider, from the slider's left edge to
// its right end; the frame at the left, the speed at the right.
constexpr int kReadoutInset = 6;
constexpr int kReadoutTop = 6;
constexpr int kReadoutHeight = 16;
constexpr COLORREF kReadoutColour = RGB(0xE8, 0xEA, 0xEC);

HFONT MakeReadoutFont() {
  return CreateFontW(13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN,
                     L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF");  // the Gothic face
}

bool HasPicture(const AlphaImage& image) { return image.Picture() != nullptr; }

// Draws `middle` stretched from x = from to the left edge of `right`, then `right` at
// the client's right edge.
void DrawMiddleAndRight(HDC dc, const RECT& client, int from, const AlphaImage& middle,
                        const AlphaImage& right) {
  const int x = client.right - right.Width();
  if (from < x) middle.DrawSized(dc, from, 0, x - from, middle.Height());
  right.DrawAt(dc, x, 0);
}

}  // namespace

ConsolePanel::ConsolePanel(IPlaybackOwner& owner, VideoPlayer& player)
    : owner_(owner),
      player_(player),
      left_(kLeftArt),
      middle_(kMiddleArt),
      right_(kRightArt),
      disabledMiddle_(kDisabledMiddleArt),
      disabledRight_(kDisabledRightArt),
      font_(MakeReadoutFont()) {
  createPanel(owner.ownerWindow(), WS_CLIPCHILDREN, [this] {
    createControls();
    addTips();
  });
}

ConsolePanel::~ConsolePanel() = default;

void ConsolePanel::createControls() {
  play_ = MakeControl<PlayButton>(handle(), 23, 11, 40, 40);
  play_->drawEdge = false;
  play_->listener = this;
  SetControlId(*play_, IDM_PLAY_PAUSE);
  stop_ = addButton(IDM_STOP, 67, 18, 26, kStopArt);
  stop_->drawEdge = false;
  next_ = addButton(IDM_NEXT_RECORDING, 220, 22, 22, kNextArt);
  previous_ = addButton(IDM_PREVIOUS_RECORDING, 198, 22, 22, kPreviousArt);
  previousDate_ = addButton(IDM_PREVIOUS_DATE, 107, 17, 30, kPreviousDateArt);
  nextDate_ = addButton(IDM_NEXT_DATE, 140, 17, 30, kNextDateArt);

  slider_ = MakeControl<PlayTrackBar>(handle(), kSliderX, kSliderY, kSliderCreationWidth,
                                      kSliderHeight);
  slider_->SetImages(kSliderThumbArt, kSliderTrackArt, kSliderFillArt);
  slider_->segmented = true;
  slider_->listener = this;
  SetControlId(*slider_, IDC_POSITION_SLIDER);
}

ImageButton* ConsolePanel::addButton(int id, int x, int y, int size, const int (&art)[3]) {
  ImageButton* button = MakeControl<ImageButton>(handle(), x, y, size, size);
  SetControlId(*button, id);
  button->SetImages(art[0], art[1], art[2]);
  button->listener = this;
  return button;
}

void ConsolePanel::addTips() {
  tooltip_ = MakeControl<TrackToolTip>(handle());
  const struct {
    TextId text;
    ImageButton* button;
  } tips[] = {
      {kTextTipPlayPause, play_},         {kTextTipStop, stop_},
      {kTextTipStepForward, next_},       {kTextTipStepBack, previous_},
      {kTextTipPreviousDate, previousDate_}, {kTextTipNextDate, nextDate_},
  };
  for (const auto& tip : tips) tooltip_->AddButtonTool(LoadText(tip.text), tip.button->handle());
}

void ConsolePanel::useRecordingTips() {
  tooltip_->UpdateText(next_->handle(), LoadText(kTextTipNext));
  tooltip_->UpdateText(previous_->handle(), LoadText(kTextTipPrevious));
}

LRESULT ConsolePanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      onSize(wParam, lParam);
      return 0;
    case WM_PAINT: {
      // Everything is drawn with the background.
      ScopedPaint validate(handle());
      return 0;
    }
    case WM_ERASEBKGND:
      eraseBackground(reinterpret_cast<HDC>(wParam));
      refreshControls();
      return 0;
    default:
      return defaultHandling(message, wParam, lParam);
  }
}

// A minimised parent reports 0 x 0, and a narrow one less than the slider's margin:
// the slider keeps its size in the first case and shrinks to nothing in the second.
void ConsolePanel::onSize(WPARAM kind, LPARAM size) {
  if (kind == SIZE_MINIMIZED) return;
  const int width = std::max(0, int(LOWORD(size)) - kSliderMargin);
  MoveWindow(slider_->handle(), kSliderX, kSliderY, width, kSliderHeight, TRUE);
}

void ConsolePanel::eraseBackground(HDC dc) {
  RECT client;
  GetClientRect(handle(), &client);
  if (isEnabled() && HasPicture(left_) && HasPicture(middle_) && HasPicture(right_)) {
    DrawMiddleAndRight(dc, client, left_.Width(), middle_, right_);
    left_.DrawAt(dc, 0, 0);
    drawReadout(dc);
  } else if (!isEnabled() && HasPicture(left_) && HasPicture(disabledMiddle_) &&
             HasPicture(disabledRight_)) {
    // The disabled middle starts under the left piece's last quarter.
    left_.DrawAt(dc, 0, 0);
    DrawMiddleAndRight(dc, client, left_.Width() - left_.Width() / 4, disabledMiddle_,
                       disabledRight_);
  } else {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void ConsolePanel::refreshControls() {
  if (!isEnabled()) return;
  const int32_t frame = player_.currentFrame();
  refreshButtons(player_.state(), frame);
  refreshSlider(player_.frameCount(), frame);
  refreshReadout();
}

void ConsolePanel::refreshReadout() {
  const IVideoInfo* info = player_.info();
  std::wstring frame;
  std::wstring speed;
  if (info != nullptr && info->GetSlotCount() > 0) {
    // While playing the numbers would change 28 times a second: they show when it stops.
    if (player_.state() != PlayerState::Playing) frame = readout::FrameLine(*info, player_.currentFrame());
    speed = readout::SpeedLine(player_.speedIndex(), player_.backward(), player_.range().loop());
  }
  if (frame == frameLine_ && speed == speedLine_) return;
  frameLine_ = std::move(frame);
  speedLine_ = std::move(speed);
  // The panel's window text is the readout too: what a screen reader (or a program
  // watching the viewer) reads.
  SetWindowTextW(handle(), (frameLine_ + L"\n" + speedLine_).c_str());
  const RECT area = readoutArea();
  InvalidateRect(handle(), &area, TRUE);
}

RECT ConsolePanel::readoutArea() const {
  RECT client;
  GetClientRect(handle(), &client);
  const int left = kSliderX + kReadoutInset;
  const int right = std::max(left, int(client.right) - kSliderMargin + kSliderX - kReadoutInset);
  return {left, kReadoutTop, right, kReadoutTop + kReadoutHeight};
}

void ConsolePanel::drawReadout(HDC dc) const {
  if (frameLine_.empty() && speedLine_.empty()) return;
  const RECT area = readoutArea();
  ScopedSelection font(dc, font_.get());
  const COLORREF colour = SetTextColor(dc, kReadoutColour);
  const int mode = SetBkMode(dc, TRANSPARENT);
  const struct {
    const std::wstring* text;
    UINT align;
  } parts[] = {{&frameLine_, DT_LEFT}, {&speedLine_, DT_RIGHT}};
  for (const auto& part : parts) {
    RECT r = area;
    DrawTextW(dc, part.text->c_str(), static_cast<int>(part.text->size()), &r,
              DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | part.align);
  }
  SetBkMode(dc, mode);
  SetTextColor(dc, colour);
}

void ConsolePanel::refreshButtons(PlayerState state, int32_t frame) {
  const bool loaded = state == PlayerState::Playing || state == PlayerState::Paused ||
                      state == PlayerState::Stopped;
  // Without a recording the play look returns, so that a closed recording does not
  // leave a disabled pause button behind.
  play_->setPlaying(state == PlayerState::Playing);
  play_->setEnabled(loaded);
  const int index = player_.currentIndex();
  const RecordingList& list = player_.list();
  stop_->setEnabled(loaded && frame > 0);
  next_->setEnabled(loaded && index < list.count() - 1);
  previous_->setEnabled(loaded && index > 0);
  // The very test the jump makes, so an enabled button always finds a date.
  nextDate_->setEnabled(loaded && list.hasNextDate());
  previousDate_->setEnabled(loaded && list.hasPreviousDate());
}

void ConsolePanel::refreshSlider(int32_t frameCount, int32_t frame) {
  slider_->SetRange(0, frameCount - 1);
  // The marks of a closed recording go with it.
  std::vector<int32_t> events;
  const IVideoInfo* info = player_.info();
  if (frameCount > 0 && info != nullptr) info->CopyEventSlots(events);
  slider_->setEvents(std::move(events));
  const MarkedRange& range = player_.range();
  if (frameCount > 0 && range.marked()) {
    const MarkedRange::Bounds band = range.bounds(frameCount);
    slider_->setBand(band.first, band.last);
  } else {
    slider_->setBand(-1, -1);
  }
  slider_->SetValue(frame, false);
}

void ConsolePanel::setControlsShown(bool shown) {
  using Controls = std::initializer_list<Window*>;
  const Controls all = {play_, stop_, previousDate_, nextDate_, previous_, next_, slider_};
  for (Window* control : all) control->setEnabled(shown);
  for (Window* control : Controls{previous_, next_, slider_}) {
    ShowWindow(control->handle(), shown ? SW_SHOW : SW_HIDE);
  }
}

void ConsolePanel::OnClick(ImageButton* button) {
  owner_.runCommand(static_cast<WORD>(GetDlgCtrlID(button->handle())));
}

void ConsolePanel::OnTrackChange(ImageTrackBar* bar) { player_.seek(bar->Value()); }

void ConsolePanel::OnTrackBegin(ImageTrackBar*) { stateAtDragStart_ = player_.state(); }

// A drag pauses the player as it seeks; it plays on only if it played before.
void ConsolePanel::OnTrackEnd(ImageTrackBar*) {
  if (stateAtDragStart_ == PlayerState::Playing) player_.playOn();
}
