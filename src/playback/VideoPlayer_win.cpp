#include "playback/VideoPlayer_win.h"

#include <mmsystem.h>
#include <shlwapi.h>
#include <vfw.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "foundation/CommandIds.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/ReentrantScope_win.h"
#include "playback/ShownPicture.h"
#include "playback/WaveAudioPlayer_win.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/WindowMessages_win.h"

using player::ClampFrame;

namespace {

constexpr UINT_PTR kTickTimerId = 0;
// Away from 1 time, ticks come when the frame changes but at most about 60 times a
// second: at 8 times, the pictures between are skipped rather than decoded unseen.
constexpr uint32_t kRateTickFloorMs = 16;

// The folder of a path: trailing backslashes dropped, then the last component.
std::wstring FolderOf(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  const size_t cut = path.rfind(L'\\');
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

bool FolderExists(const std::wstring& folder) {
  return !folder.empty() && PathIsDirectoryW(folder.c_str());
}

// Runs its function when the scope ends, however it ends.
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

// Ends a scan whose result nobody will use; it carries nothing to show.
struct LoadAbandoned {};

}  // namespace

SoundPlayerPtr VideoPlayer::DeviceSound(HWND notifyWindow) {
  return SoundPlayerPtr(new WaveAudioPlayer(notifyWindow));
}

VideoPlayer::VideoPlayer(IPlayerOwner& owner, const SoundMaker& makeSound)
    : owner_(owner), drawDib_(DrawDibOpen()) {
  gamma_.SetGamma(1.2);

  WindowCreateParams p;
  p.className = MAKEINTATOM(defaultClass());
  p.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  p.width = 640;
  p.height = 480;
  p.parent = owner.ownerWindow();
  p.instance = classInstance();
  create(p);

  try {
    loader_ = std::make_unique<ImageLoader>(handle());
    sound_ = makeSound(handle());
  } catch (...) {
    // The window goes with the half-built player. The object itself is deleted by the
    // failed construction, so the window's destruction must not delete it too.
    holdDeletion();
    DestroyWindow(handle());
    throw;
  }
}

VideoPlayer::~VideoPlayer() {
  // Normally done on WM_DESTROY; here for an object deleted while its window lives.
  destroyParts();
}

void VideoPlayer::destroyParts() {
  if (partsDestroyed_) return;
  partsDestroyed_ = true;
  closeRecording();
  // The worker ends before its pending pictures are collected, so none can follow.
  loader_.reset();
  if (handle() != nullptr) {
    ImageLoader::DiscardPostedFrames(handle());
    KillTimer(handle(), kTickTimerId);
  }
  sound_.reset();
}

void VideoPlayer::useStretchDIBitsOnly() { drawDib_.reset(); }

LRESULT VideoPlayer::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(handle(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client,
               static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      return 1;
    }
    case WM_TIMER:
      if (wParam != kTickTimerId) break;
      KillTimer(handle(), kTickTimerId);
      onTickMessage();
      return 0;
    case WM_PLAYER_TICK:
      onTickMessage();
      return 0;
    case WM_SOUND_END:
      onSoundEnd();
      return 0;
    case WM_FRAME_READY:
      onFrameReady(wParam, reinterpret_cast<Image*>(lParam));
      return 0;
    case WM_MOUSEWHEEL:
      // Never to the default: it hands the wheel to the main window, which hands a
      // wheel over the picture back here.
      return onWheel(wParam, lParam) ? 0 : 1;
    case WM_LBUTTONDOWN:
      onButtonDown(lParam);
      return 0;
    case WM_MOUSEMOVE:
      onMouseMove(wParam, lParam);
      return 0;
    case WM_LBUTTONUP:
      onButtonUp();
      return 0;
    case WM_CAPTURECHANGED:
      panning_ = false;
      return 0;
    case WM_SETCURSOR:
      if (!zoom_.zoomed() || LOWORD(lParam) != HTCLIENT) break;
      SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
      return TRUE;
    case WM_DESTROY:
      if (load_ == nullptr) {
        destroyParts();
        break;
      }
      // The load below still uses this object and its loader: they go once it has
      // returned. Until then nothing may be left for the dead window.
      loader_->Cancel();
      ImageLoader::DiscardPostedFrames(handle());
      break;
    default:
      break;
  }
  return defaultHandling(message, wParam, lParam);
}

int VideoPlayer::setListFromFolder(const std::wstring& path, int& count) {
  refuseWhileLoading();
  return list_.setListFromFolder(path, count);
}

int VideoPlayer::setSingleFile(const std::wstring& path) {
  refuseWhileLoading();
  return list_.setSingleFile(path);
}

void VideoPlayer::jumpToDate(bool backward) {
  refuseWhileLoading();
  list_.jumpToDate(backward, *this);
}

// ---- ticks ----

void VideoPlayer::scheduleNextTick() { scheduleNextTick(tickInterval_); }

void VideoPlayer::scheduleNextTick(uint32_t interval) {
  atEnd_ = false;
  currentFrame_ = ClampFrame(firstFrame_ ? int64_t(currentFrame_) + 1 : currentFrame_, frameCount());
  if (loader_) {
    loader_->ArmTimer(interval);
  } else {
    SetTimer(handle(), kTickTimerId, interval, nullptr);
  }
  try {
    requestFrame();
  } catch (const DataMissingException&) {
  }
}

void VideoPlayer::onTickMessage() {
  // A tick already queued when the recording was closed belongs to nothing.
  if (!info_) return;
  if (!firstFrame_) {
    scheduleNextTick();
  } else {
    onTick();
  }
}

void VideoPlayer::noteClock(int64_t clockMs) {
  clockRead_ = true;
  clockMs_ = clockMs;
  clockReadAt_ = timeGetTime();
}

void VideoPlayer::onTick() {
  // The clock read here serves this tick's request only.
  clockRead_ = false;
  const ScopeExit forget([this] { clockRead_ = false; });
  if (!loader_) repaint(false);
  if (state_ == PlayerState::Playing && !soundIsTheClock()) {
    onRateTick();
    return;
  }
  owner_.refreshPlayback();

  // The next tick is placed by the clock when one runs, otherwise a tick interval on.
  uint32_t interval = tickInterval_;
  switch (sound_->getState()) {
    case SoundState::Playing: {
      const int32_t position = sound_->getPosition();
      noteClock(position);
      currentFrame_ = player::FrameAtPosition(position, framePeriod_, frameCount());
      interval = player::MsToNextTick(position, framePeriod_, player::kTickLeadMs);
      if (player::MissedByAJump(currentFrame_, lastAsked_)) {
        // This tick asks for the frame the clock jumped over (shown at once, late), and
        // the next one comes back to the usual rhythm for the frame after it.
        interval = player::MsToTickFor(currentFrame_ + 1, position, framePeriod_, player::kTickLeadMs);
        --currentFrame_;
      }
      break;
    }
    case SoundState::Closed: {
      if (state_ != PlayerState::Playing) return;
      const uint32_t now = timeGetTime();
      currentFrame_ = player::FrameOnClock(now, sound_->playStartTime(), sound_->basePosition(),
                                           framePeriod_);
      const int64_t clock = static_cast<int32_t>(now - sound_->playStartTime()) +
                            int64_t(sound_->basePosition());
      noteClock(clock);
      interval = player::MsToNextTick(clock, framePeriod_, player::kTickLeadMs);
      break;
    }
    default:
      break;  // sound paused or stopped: the frame stays
  }
  if (state_ != PlayerState::Playing) return;
  if (loopedBack()) return;

  if (currentFrame_ < frameCount() - 1) {
    scheduleNextTick(interval);
    return;
  }
  // The last frame has been reached. While the sound still plays, its end notice
  // finishes the recording.
  atEnd_ = true;
  if (sound_->getState() == SoundState::Playing) return;
  // Past the end on the system clock: show the last frame, not an index beyond it.
  currentFrame_ = ClampFrame(currentFrame_, frameCount());
  endOfRecording();
}

bool VideoPlayer::loopedBack() {
  if (!range_.loop()) return false;
  const MarkedRange::Bounds loop = range_.bounds(frameCount());
  if (currentFrame_ < loop.last) return false;
  playFrom(loop.first);
  return true;
}

void VideoPlayer::onRateTick() {
  const uint32_t now = timeGetTime();
  const int64_t frame = rateClock_.frameAt(now, framePeriod_);
  const MarkedRange::Bounds ends =
      range_.loop() ? range_.bounds(frameCount()) : MarkedRange::Bounds{0, frameCount() - 1};
  const bool past = backward_ ? frame < ends.first : frame > ends.last;
  if (past && range_.loop()) {
    // Round again from the loop's other end.
    currentFrame_ = backward_ ? ends.last : ends.first;
    startRateClock(now);
  } else {
    currentFrame_ = ClampFrame(frame, frameCount());
  }
  // Away from 1 time forwards the recording stops at its end (or start), and the next
  // one is not opened.
  const bool stops = past && !range_.loop();
  if (stops) state_ = PlayerState::Paused;
  // The next tick is armed before the request: the request is what wakes the loader.
  if (!stops && loader_) loader_->ArmTimer(rateClock_.msToNextTick(now, framePeriod_, kRateTickFloorMs));
  try {
    requestFrame();
  } catch (const DataMissingException&) {
    return;
  }
  owner_.refreshPlayback();
}

void VideoPlayer::startRateClock(uint32_t now) {
  // Half a millisecond inside the frame shown, so that rounding cannot put the clock in
  // its neighbour; backwards at its end, so that it lasts its full time.
  const double start = backward_ ? (currentFrame_ + 1) * framePeriod_ - 0.5 : currentFrame_ * framePeriod_ + 0.5;
  rateClock_.start(now, start, playspeed::RatioAt(speedIndex_), backward_);
}

void VideoPlayer::onSoundEnd() {
  if (!atEnd_ || !sound_->isAtEnd()) return;  // a flush, or the pictures still run
  endOfRecording();
}

void VideoPlayer::endOfRecording() {
  state_ = PlayerState::Paused;
  owner_.refreshPlayback();
  if (list_.currentIndex() < list_.count() - 1) owner_.runCommand(IDM_NEXT_RECORDING);
}

void VideoPlayer::onFrameReady(WPARAM slot, Image* picture) {
  std::unique_ptr<Image> owned(picture);
  // A picture of a recording already closed is dropped; the empty view stays empty.
  if (!info_) return;
  firstFrame_ = true;
  if (owned) {
    picture_ = std::move(owned);
    pictureSlot_ = static_cast<int32_t>(slot);
  }
  repaint(false);
}

void VideoPlayer::requestFrame() {
  if (!info_) return;  // nothing loaded: nothing to ask for, no folder to check
  if (!FolderExists(folder_)) {
    owner_.resetView();
    // The view is empty whatever the owner's reset did, so no later tick asks again and
    // the warning comes once.
    closeRecording();
    owner_.showWarning(LoadText(kTextFolderMoved));
    throw DataMissingException();
  }
  const int32_t slot = player::SlotToRequest(currentFrame_, frameCount(), info_->GetImagesPerSlot());
  lastAsked_ = currentFrame_;
  // While a clock runs, the picture waits in the loader until its frame is due, so that
  // it appears on time rather than as soon as it is decoded.
  bool accepted = false;
  if (loader_ && clockRead_) {
    accepted = loader_->RequestImage(slot, clockReadAt_ + player::MsUntilDue(currentFrame_, framePeriod_, clockMs_));
  } else if (loader_) {
    accepted = loader_->RequestImage(slot);
  }
  clockRead_ = false;
  owner_.frameRequested(slot, accepted);
}

// ---- playback control ----

void VideoPlayer::playOn() {
  if (state_ == PlayerState::Stopped) {
    resume();
  } else {
    playFrom(currentFrame_);
  }
}

void VideoPlayer::playFrom(int32_t frame) {
  if (!info_) return;  // nothing to play (the load failed or the folder vanished)
  state_ = PlayerState::Playing;
  owner_.refreshPlayback();
  currentFrame_ = ClampFrame(frame, frameCount());
  if (!soundIsTheClock()) {
    try {
      sound_->pause();
    } catch (const Exception&) {
    }
    startRateClock(timeGetTime());
    onRateTick();
    return;
  }
  try {
    sound_->play(player::SoundStartMs(currentFrame_, framePeriod_));
  } catch (const Exception&) {
    // No playable sound: the recording runs on the system clock.
  }
  scheduleNextTick();
}

void VideoPlayer::pause() {
  if (state_ != PlayerState::NoRecording) {
    state_ = PlayerState::Paused;
    owner_.refreshPlayback();
  }
  try {
    sound_->pause();
  } catch (const Exception&) {
  }
}

void VideoPlayer::stop() {
  if (state_ != PlayerState::NoRecording) {
    state_ = PlayerState::Stopped;
    owner_.refreshPlayback();
  }
  try {
    sound_->stop();
  } catch (const Exception&) {
  }
}

void VideoPlayer::resume() {
  if (!info_) return;
  if (!soundIsTheClock()) {
    playFrom(currentFrame_);
    return;
  }
  state_ = PlayerState::Playing;
  owner_.refreshPlayback();
  try {
    playFrom(currentFrame_);
  } catch (const Exception&) {
  }
  scheduleNextTick();
}

void VideoPlayer::seek(int32_t frame) {
  if (state_ == PlayerState::NoRecording) return;
  if (state_ == PlayerState::Playing || state_ == PlayerState::Stopped) pause();
  const int32_t f = ClampFrame(frame, frameCount());
  if (f == currentFrame_) return;
  currentFrame_ = f;
  try {
    requestFrame();
    onTick();
    UpdateWindow(handle());
  } catch (const DataMissingException&) {
  }
}

void VideoPlayer::moveTo(int32_t frame) {
  if (!info_) return;
  const bool playing = state_ == PlayerState::Playing;
  seek(frame);
  if (playing) playFrom(currentFrame_);
}

void VideoPlayer::step(int32_t frames) {
  if (!info_) return;
  seek(ClampFrame(int64_t(currentFrame_) + frames, frameCount()));
}

void VideoPlayer::setSpeed(int speedIndex, bool backward) {
  speedIndex = playspeed::Clamped(speedIndex);
  if (speedIndex == speedIndex_ && backward == backward_) return;
  const bool playing = state_ == PlayerState::Playing;
  if (playing) pause();
  speedIndex_ = speedIndex;
  backward_ = backward;
  if (playing) playFrom(currentFrame_);
  owner_.refreshPlayback();
}

void VideoPlayer::markStart() {
  if (!info_) return;
  range_.setStart(currentFrame_);
  owner_.refreshPlayback();
}

void VideoPlayer::markEnd() {
  if (!info_) return;
  range_.setEnd(currentFrame_);
  owner_.refreshPlayback();
}

void VideoPlayer::clearMarks() {
  range_.clearMarks();
  owner_.refreshPlayback();
}

void VideoPlayer::setLoop(bool loop) {
  range_.setLoop(loop);
  owner_.refreshPlayback();
}

// ---- loading ----

bool VideoPlayer::openRecordingAt(int index) {
  refuseWhileLoading();
  const std::optional<std::wstring> path = list_.pathOf(index);
  if (!path) return false;
  prepareLoad(*path, index);

  ReentrantScope scope(*this, [this](bool busy) { owner_.setBusy(busy); });
  load_ = &scope;
  scope.run([&] { loader_->LoadArchive(*path, this); });
  load_ = nullptr;
  if (scope.leave()) throw Exception();  // deleted with its window: nothing is left to show
  if (scope.abandoned()) {
    // Whatever the load came to, the recording was closed meanwhile.
    closeRecording();
    repaint(true);
    return true;
  }
  if (scope.failure()) return loadFailed(scope.failure());
  showLoaded(index);
  return true;
}

void VideoPlayer::prepareLoad(const std::wstring& path, int index) {
  recordingPath_ = path;
  closeRecording();
  repaint(true);
  owner_.refreshPlayback();
  firstFrame_ = false;
  repaint(true);

  framePeriod_ = player::kFramePeriodMs;
  tickInterval_ = player::kTickIntervalMs;
  folder_ = FolderOf(path);
  range_.clearMarks();
  showProgress(10);
  owner_.recordingChanged();
  list_.setCurrentIndex(index);
}

void VideoPlayer::showLoaded(int index) {
  // A date jump refused during the load may have moved the list's position.
  list_.setCurrentIndex(index);

  info_ = loader_->MakeVideoInfo();
  info_->BuildEventList();
  repaint(true);
  owner_.recordingChanged();

  try {
    requestFrame();
  } catch (const DataMissingException&) {
    return;  // told already; the view is empty
  }
  try {
    sound_->open(loader_->archive().SoundPath());
  } catch (const Exception&) {
    // Plays without sound, on the system clock.
  }
  state_ = PlayerState::Paused;
  owner_.refreshPlayback();
}

void VideoPlayer::refuseWhileLoading() const {
  if (load_ != nullptr) throw ImageException(LoadText(kTextImageArchiveUnreadable));
}

bool VideoPlayer::loadFailed(const std::exception_ptr& failure) {
  folder_.clear();
  repaint(true);
  try {
    std::rethrow_exception(failure);
  } catch (const VideoArchiveException&) {
    return false;
  } catch (const Exception& e) {
    throw Exception(e.message);
  }
  // Anything else goes on as it is.
}

void VideoPlayer::openPicture(const std::wstring& folder) {
  refuseWhileLoading();
  closeRecording();
  repaint(true);
  owner_.refreshPlayback();
  repaint(true);

  tickInterval_ = player::kTickIntervalMs;
  folder_ = folder;
  if (!FolderExists(folder_)) {
    folder_.clear();
    throw Exception(LoadText(kTextFolderMoved));
  }
  showProgress(0);
  std::wstring path = folder_;
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  path += pictureName_;
  try {
    loader_->OpenPlainFile(path);
  } catch (const Exception& e) {
    folder_.clear();
    repaint(true);
    throw Exception(e.message);
  }
  info_ = loader_->MakeVideoInfo();
  info_->BuildEventList();
  repaint(true);
  loader_->ArmTimer(tickInterval_);
  try {
    requestFrame();
  } catch (const DataMissingException&) {
    return;
  }
  state_ = PlayerState::Paused;
  owner_.refreshPlayback();
}

void VideoPlayer::closeRecording() {
  if (load_ != nullptr) {
    load_->abandon();
    return;
  }
  if (loader_) loader_->Cancel();
  if (sound_ != nullptr) sound_->close();
  state_ = PlayerState::NoRecording;
  currentFrame_ = 0;
  atEnd_ = false;
  info_.reset();
  folder_.clear();
  picture_.reset();
  paintCopy_.reset();
  pictureSlot_ = -1;
  zoom_.showWhole();
  if (loader_) loader_->CloseArchive();
}

void VideoPlayer::continueAfterLoad() {
  if (!firstFrame_) {
    scheduleNextTick();
  } else {
    onTick();
  }
}

void VideoPlayer::showDateWarning(TextId text) { owner_.showWarning(LoadText(text)); }

// ---- drawing ----

void VideoPlayer::repaint(bool erase) {
  InvalidateRect(handle(), nullptr, erase ? TRUE : FALSE);
  UpdateWindow(handle());
}

void VideoPlayer::paint() {
  ScopedPaint paint(handle());
  RECT client;
  GetClientRect(handle(), &client);
  if (!picture_) {
    FillRect(paint.get(), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return;
  }
  // Brightness applies to a copy, so that a change shows at once on a paused picture.
  // The copy's buffer is kept from paint to paint: a fresh picture-sized allocation 28
  // times a second costs more in page faults than the copying itself.
  const ZoomView::Rect area = pictureArea();
  const ZoomView::Rect part = zoom_.sourceRect(picture_->Width(), picture_->Height());
  Image* copy = brightenedCopy(part);
  // Zoomed, the visible pixels are drawn a little past the picture's area, which the
  // clipping trims.
  const ZoomView::Rect to = zoom_.destinationRect(part, copy->Width(), copy->Height(), area);
  if (zoom_.zoomed()) IntersectClipRect(paint.get(), area.x, area.y, area.x + area.width, area.y + area.height);
  BITMAPINFO info = {};
  BITMAPINFOHEADER& header = info.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = copy->Width();
  header.biHeight = copy->Height();
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(((copy->Width() * 4 + 3) & ~3) * copy->Height());

  bool drawn = false;
  if (drawDib_) {
    // DrawDib counts source rows from the top.
    drawn = DrawDibDraw(drawDib_.get(), paint.get(), to.x, to.y, to.width, to.height, &header,
                        copy->Pixels(), part.x, part.y, part.width, part.height, 0) != FALSE;
  }
  if (!drawn) {
    // StretchDIBits counts the source rows of a bottom-up picture from the bottom.
    SetStretchBltMode(paint.get(), HALFTONE);
    StretchDIBits(paint.get(), to.x, to.y, to.width, to.height, part.x,
                  copy->Height() - part.y - part.height, part.width, part.height, copy->Pixels(),
                  &info, DIB_RGB_COLORS, SRCCOPY);
  }
  owner_.framePainted(pictureSlot_);
}

Image* VideoPlayer::brightenedCopy(const ZoomView::Rect& part) {
  if (!paintCopy_ || paintCopy_->Width() != picture_->Width() ||
      paintCopy_->Height() != picture_->Height()) {
    paintCopy_ = std::make_unique<Image>(picture_->Width(), picture_->Height());
  }
  const bool plain = gamma_.Gamma() == 1.0;
  // Rows are stored bottom-up; each row's visible columns are one run of bytes.
  const size_t rowBytes = size_t(picture_->Width()) * 4;
  const size_t runBytes = size_t(part.width) * 4;
  for (int32_t y = part.y; y < part.y + part.height; ++y) {
    const size_t start = size_t(picture_->Height() - 1 - y) * rowBytes + size_t(part.x) * 4;
    const uint8_t* from = picture_->Pixels() + start;
    uint8_t* to = paintCopy_->Pixels() + start;
    if (plain) {
      std::memcpy(to, from, runBytes);
    } else {
      gamma_.CorrectPixels(from, to, size_t(part.width));
    }
  }
  return paintCopy_.get();
}

std::unique_ptr<Image> VideoPlayer::shownPicture() const {
  return picture_ ? ShownPicture(*picture_, gamma_, zoom_) : nullptr;
}

ZoomView::Rect VideoPlayer::pictureArea() const {
  RECT client;
  GetClientRect(handle(), &client);
  const player::FitRect fit = player::FitFourByThree(client.right - client.left, client.bottom - client.top);
  return {fit.x, fit.y, fit.width, fit.height};
}

// ---- zoom and pan ----

void VideoPlayer::zoomIn() { zoomChanged(zoom_.zoomAtCentre(1)); }

void VideoPlayer::zoomOut() { zoomChanged(zoom_.zoomAtCentre(-1)); }

void VideoPlayer::zoomWhole() { zoomChanged(zoom_.showWhole()); }

void VideoPlayer::zoomChanged(bool changed) {
  if (changed && picture_) repaint(false);
}

bool VideoPlayer::onWheel(WPARAM wParam, LPARAM lParam) {
  // The wheel's position is on the screen.
  POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ScreenToClient(handle(), &at);
  RECT client;
  GetClientRect(handle(), &client);
  if (!PtInRect(&client, at)) return false;
  // Without a picture there is nothing to zoom, and no turn is kept for later.
  if (!picture_) return true;
  const int notches = zoom_.takeWheelNotches(static_cast<short>(HIWORD(wParam)));
  if (notches != 0) zoomChanged(zoom_.zoomAt(notches, at.x, at.y, pictureArea()));
  return true;
}

void VideoPlayer::onButtonDown(LPARAM lParam) {
  const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  const LONG time = GetMessageTime();
  const bool second = static_cast<DWORD>(time - lastPressTime_) <= GetDoubleClickTime() &&
                      std::abs(at.x - lastPress_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                      std::abs(at.y - lastPress_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  lastPressTime_ = time;
  lastPress_ = at;
  if (second) {
    // A third press starts a new pair.
    lastPress_ = {-1000, -1000};
    zoomWhole();
    return;
  }
  if (!zoom_.zoomed()) return;
  panning_ = true;
  panFrom_ = at;
  SetCapture(handle());
}

void VideoPlayer::onMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!panning_) return;
  if ((wParam & MK_LBUTTON) == 0) {
    onButtonUp();
    return;
  }
  const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  const bool moved = zoom_.pan(at.x - panFrom_.x, at.y - panFrom_.y, pictureArea());
  panFrom_ = at;
  zoomChanged(moved);
}

void VideoPlayer::onButtonUp() {
  if (!panning_) return;
  panning_ = false;
  if (GetCapture() == handle()) ReleaseCapture();
}

void VideoPlayer::showProgress(int percent) {
  wchar_t text[256] = {};
  swprintf(text, 256, L"Now Loading...%d%%", percent);
  ScopedWindowDc dc(handle());
  if (dc.get() == nullptr) return;
  RECT client;
  GetClientRect(handle(), &client);
  FillRect(dc.get(), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int length = static_cast<int>(wcslen(text));
  SIZE extent = {};
  GetTextExtentPoint32W(dc.get(), text, length, &extent);
  TextOutW(dc.get(), player::CentredOffset(client.left, client.right, extent.cx),
           player::CentredOffset(client.top, client.bottom, extent.cy), text, length);
}

void VideoPlayer::pumpMessages() {
  const auto abandoned = [this] { return load_ != nullptr && load_->abandoned(); };
  if (abandoned()) throw LoadAbandoned();
  const HWND window = owner_.ownerWindow();
  if (window != nullptr) PumpPending(window);
  if (abandoned()) throw LoadAbandoned();
}

void VideoPlayer::soundLost() { owner_.showWarning(LoadText(kTextSoundRestoreFailed)); }
