#pragma once
// The program's slider: a track picture and a thumb picture over an integer range. The
// mouse drags the thumb (its left edge follows the pointer) while the bar holds the
// capture; a 100 ms tick tells the listener while the button is held, and an optional
// tracking tooltip follows the thumb showing the value. Subclasses may draw the track
// themselves by overriding DrawTrack.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "toolkit/AlphaImage.h"
#include "toolkit/ImageTrackBarListener.h"
#include "toolkit/Window_win.h"

class TrackToolTip;

class ImageTrackBar : public Window {
 public:
  // A visible child of `owner` at the given rectangle, all fields at their defaults.
  void Create(HWND owner, int x, int y, int width, int height);
  // Replaces the pictures by the resource pictures with these ids; fill id 0 leaves the
  // fill picture absent. A missing resource raises WindowException.
  void SetImages(int thumbId, int trackId, int fillId);

  // The maximum is raised to the minimum if lower. A value outside the new range moves
  // to its nearer end without notification; one inside stays, thumb and all.
  void SetRange(int32_t minimum, int32_t maximum);
  // Clamps v to the range, moves the thumb and repaints when it moved; tells the
  // listener when the value changed and `notify` is set.
  void SetValue(int32_t v, bool notify);
  int32_t Value() const { return value_; }
  int32_t Minimum() const { return minimum_; }
  int32_t Maximum() const { return maximum_; }
  // The tooltip's text for the current value: the formatter's, else the decimal value.
  std::wstring ValueText() const;

  // The thumb's left edge for value v; 0 without pictures or with an empty range.
  int PixelFromValue(int32_t v) const;
  // Sets the value whose thumb centre lies at client x (clamped to the range); nothing
  // without pictures, the minimum when the bar is no wider than its thumb.
  void ValueFromPixel(int x, bool notify);

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  ImageTrackBarListener* listener = nullptr;  // not owned; may be none
  bool segmented = false;                     // track drawn by DrawTrack
  TrackToolTip* tooltip = nullptr;            // not owned; driven while dragging
  std::function<std::wstring(int32_t)> formatter;

 protected:
  // Draws the track into a client-sized context: the fill picture (or the track) left
  // of the thumb's centre and the track right of it, the middles stretched, the caps
  // at natural width. Nothing when the thumb is at least as wide as the track.
  virtual void DrawTrack(HDC dc, int width, int height);

  int thumbX() const { return thumbX_; }
  int thumbWidth() const { return thumb_ ? thumb_->Width() : 0; }
  const AlphaImage* thumbPicture() const { return thumb_.get(); }
  const AlphaImage* trackPicture() const { return track_.get(); }
  const AlphaImage* fillPicture() const { return fill_.get(); }
  bool hasPictures() const { return thumb_ && track_; }
  int clientWidth() const;

 private:
  void paint(HDC windowDc, int width, int height);
  void paintInto(HDC dc, int width, int height);
  void moveThumb(int x);
  LRESULT onButtonDown(int x);
  LRESULT onMouseMove(int x);
  LRESULT onButtonUp(int x);
  LRESULT onTimer();
  LRESULT onCaptureChanged(HWND gaining);
  void moveToolTip(int x);
  bool isDragging() const;
  void notifyChange();
  void notifyBegin();
  void notifyEnd();

  std::unique_ptr<AlphaImage> thumb_;
  std::unique_ptr<AlphaImage> track_;
  std::unique_ptr<AlphaImage> fill_;
  int thumbX_ = 0;
  int32_t minimum_ = 0;
  int32_t maximum_ = 100;
  int32_t value_ = 0;
};
