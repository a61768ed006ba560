#pragma once
// The picture area of the main window and the engine that plays a recording: loads it
// through the background loader, opens its sound, and on a fixed tick asks for the
// frame that belongs to the current time. While sound plays, the time is the sound's
// position, so picture and sound cannot drift apart; without playable sound the system
// clock stands in. Frames are never queued: a frame not ready in time is replaced by a
// later one.
//
// A load dispatches the owner's messages while it runs. Their handlers may reach the
// player again: opening another recording, a picture or another list is refused
// (ImageException 5511, nothing changed), closing the recording is done when the load
// returns (which then shows nothing), and destroying the player's window ends the load
// early and deletes the player once the load has returned, the opening call then
// throwing an Exception with no text. The owner must outlive every load it starts.
#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <memory>
#include <string>

#include "playback/IPlayerOwner_win.h"
#include "playback/PlaybackHandles_win.h"
#include "playback/PlayerState.h"
#include "playback/MarkedRange.h"
#include "playback/PlaySpeed.h"
#include "playback/PlayerArithmetic.h"
#include "playback/RateClock.h"
#include "playback/RecordingList.h"
#include "playback/ZoomView.h"
#include "playback/ISoundPlayer.h"
#include "recording/ILoadProgress.h"
#include "recording/IVideoInfo.h"
#include "recording/ImageLoader_win.h"
#include "toolkit/GammaCorrection.h"
#include "toolkit/Image.h"
#include "toolkit/Window_win.h"

class ReentrantScope;

class VideoPlayer : public Window, public ILoadProgress, public IRecordingNavigator {
 public:
  // Makes the sound player for the player's window, which is to receive its
  // WM_SOUND_END notices.
  using SoundMaker = std::function<SoundPlayerPtr(HWND notifyWindow)>;
  // The sound device's player.
  static SoundPlayerPtr DeviceSound(HWND notifyWindow);

  // Creates the 640 x 480 child window of owner.ownerWindow(), its sound player (made
  // by makeSound) and its loader. Delete the player by destroying its window. If a part
  // cannot be made, the window goes again and the failure propagates.
  explicit VideoPlayer(IPlayerOwner& owner, const SoundMaker& makeSound = DeviceSound);
  ~VideoPlayer() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // The recording list (the main window fills it before opening a recording).
  int setListFromFolder(const std::wstring& path, int& count);
  int setSingleFile(const std::wstring& path);
  std::optional<std::wstring> pathOf(int index) const { return list_.pathOf(index); }
  bool datesDiffer(int i, int j) const { return list_.datesDiffer(i, j); }
  void jumpToDate(bool backward);
  const RecordingList& list() const { return list_; }
  RecordingList& list() { return list_; }

  // Loads the recording at a list index; false when it cannot be read (nothing shown).
  // Other failures propagate, those of the Exception family as Exception. Leaves the
  // player Paused on the first frame, or NoRecording when the folder vanished meanwhile
  // (the user has been told) or the recording was closed while it loaded. The owner is
  // told it is busy during the load and free again on every way out.
  bool openRecordingAt(int index) override;
  // Loads the picture file named by setPictureName from `folder` as a one-frame
  // recording. Throws Exception (the folder is gone, the file cannot be read).
  void setPictureName(const std::wstring& name) { pictureName_ = name; }
  void openPicture(const std::wstring& folder);
  // Releases the loaded recording; while a load runs, once it has returned.
  void closeRecording();

  void playFrom(int32_t frame);
  void pause();
  void stop() override;
  void resume();
  // Plays on from the frame shown: after a stop, the sound goes on where it stopped.
  void playOn();
  void seek(int32_t frame);
  // Shows `frame` (clamped) and plays on from it if the recording was playing.
  void moveTo(int32_t frame);
  // Moves `frames` from the frame shown; a playing recording pauses first.
  void step(int32_t frames);

  // The speed (an index of playspeed's list) and the direction. At any speed but 1 time
  // forwards the sound is silent and the system clock runs the pictures; a change while
  // playing goes on from the frame shown, the sound in step again at 1 time forwards.
  void setSpeed(int speedIndex, bool backward);
  int speedIndex() const { return speedIndex_; }
  bool backward() const { return backward_; }
  bool soundIsTheClock() const { return speedIndex_ == playspeed::kNormal && !backward_; }
  // The marked range of the open recording, and the loop; opening another recording
  // clears the marks. The marks are set at the frame shown; nothing without a recording.
  const MarkedRange& range() const { return range_; }
  void markStart();
  void markEnd();
  void clearMarks();
  void setLoop(bool loop);

  // The picture's zoom, at its centre, and the whole picture again (the mouse wheel
  // zooms at the pointer, a drag pans, a double-click shows the whole picture).
  void zoomIn();
  void zoomOut();
  void zoomWhole();
  const ZoomView& zoom() const { return zoom_; }

  // Draws "Now Loading...%d%%" at once.
  void showProgress(int percent) override;
  // Dispatches the main window's waiting messages while a load runs, and ends a load
  // whose result nobody will use (the recording closed, the player destroyed).
  void pumpMessages() override;
  // The load goes on without sound; the user is told once.
  void soundLost() override;

  PlayerState state() const { return state_; }
  int32_t currentFrame() const { return currentFrame_; }
  int currentIndex() const { return list_.currentIndex(); }
  int listCount() const { return list_.count(); }
  const IVideoInfo* info() const { return info_.get(); }
  int32_t frameCount() const { return info_ ? info_->GetSlotCount() : 0; }
  const std::wstring& folder() const { return folder_; }
  const std::wstring& recordingPath() const { return recordingPath_; }
  const Image* picture() const { return picture_.get(); }
  // The slot whose picture is shown (while playing it may trail the current frame);
  // -1 without a picture.
  int32_t shownSlot() const { return pictureSlot_; }
  // The picture as the window shows it (brightness, zoom) at the picture's own size, for
  // the snapshot commands; null when no picture is shown.
  std::unique_ptr<Image> shownPicture() const;
  bool firstFrameArrived() const { return firstFrame_; }
  bool atEnd() const { return atEnd_; }
  bool loading() const { return load_ != nullptr; }
  uint32_t tickInterval() const { return tickInterval_; }
  double framePeriod() const { return framePeriod_; }
  GammaCorrection& gamma() { return gamma_; }
  ISoundPlayer& sound() { return *sound_; }
  ImageLoader* loader() { return loader_.get(); }
  bool drawsWithDrawDib() const { return static_cast<bool>(drawDib_); }
  // Drawing falls back to StretchDIBits when DrawDib is unavailable; tests force it.
  void useStretchDIBitsOnly();

 private:
  // IRecordingNavigator
  bool isPlaying() const override { return state_ == PlayerState::Playing; }
  void continueAfterLoad() override;
  void showDateWarning(TextId text) override;

  void scheduleNextTick();
  void scheduleNextTick(uint32_t interval);
  void onTickMessage();
  void onTick();
  // A tick of playback at another speed or backwards, on the rate clock.
  void onRateTick();
  void startRateClock(uint32_t now);
  // Playing at 1 time forwards past the loop's last frame: back to its first.
  bool loopedBack();
  // Remembers the clock this tick read (and when), for the request it makes.
  void noteClock(int64_t clockMs);
  void onSoundEnd();
  void onFrameReady(WPARAM slot, Image* picture);
  void requestFrame();
  void paint();
  // The kept picture with the brightness table applied, in a buffer reused by paints:
  // only the pixels of `part` (rows counted from the top), which is all that is drawn.
  Image* brightenedCopy(const ZoomView::Rect& part);
  // Where the whole picture is drawn in the window.
  ZoomView::Rect pictureArea() const;
  // Shows the zoom's new view when it changed.
  void zoomChanged(bool changed);
  // The mouse on the picture: the wheel zooms at the pointer (false when the pointer is
  // not over the picture), a drag pans a zoomed picture, a double-click shows it whole.
  bool onWheel(WPARAM wParam, LPARAM lParam);
  void onButtonDown(LPARAM lParam);
  void onMouseMove(WPARAM wParam, LPARAM lParam);
  void onButtonUp();
  void repaint(bool erase);
  void refuseWhileLoading() const;
  // The view emptied for the recording at `path` about to load.
  void prepareLoad(const std::wstring& path, int index);
  // The loaded recording shown, Paused on its first frame.
  void showLoaded(int index);
  // After a failed load: false when the recording cannot be read; throws otherwise.
  bool loadFailed(const std::exception_ptr& failure);
  void endOfRecording();
  void destroyParts();

  IPlayerOwner& owner_;
  SoundPlayerPtr sound_;
  PlayerState state_ = PlayerState::NoRecording;
  int32_t currentFrame_ = 0;
  uint32_t tickInterval_ = player::kInitialTickIntervalMs;
  double framePeriod_ = player::kInitialFramePeriodMs;
  bool atEnd_ = false;
  std::wstring pictureName_;
  bool firstFrame_ = false;
  RecordingList list_;
  ScopedTimerResolution timerResolution_;
  std::unique_ptr<IVideoInfo> info_;
  std::wstring folder_;
  std::wstring recordingPath_;
  std::unique_ptr<Image> picture_;
  std::unique_ptr<Image> paintCopy_;
  int32_t pictureSlot_ = -1;
  GammaCorrection gamma_;
  ScopedDrawDib drawDib_;  // null: StretchDIBits draws
  std::unique_ptr<ImageLoader> loader_;
  bool partsDestroyed_ = false;
  // The load under way, which a closing or a destruction meanwhile abandons.
  ReentrantScope* load_ = nullptr;
  // The clock as the current tick read it: the next request's picture is held until
  // its frame is due by it.
  bool clockRead_ = false;
  int64_t clockMs_ = 0;
  uint32_t clockReadAt_ = 0;
  int32_t lastAsked_ = -1;  // the frame of the latest request
  int speedIndex_ = playspeed::kNormal;
  bool backward_ = false;
  RateClock rateClock_;
  MarkedRange range_;
  ZoomView zoom_;
  // A drag that pans, from where the pointer was last; and the last press, to tell a
  // double-click (the window's class sends none).
  bool panning_ = false;
  POINT panFrom_ = {};
  LONG lastPressTime_ = 0;
  POINT lastPress_ = {-1000, -1000};
};
