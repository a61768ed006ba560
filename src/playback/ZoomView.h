#pragma once
// Which part of the picture the player shows: the whole picture, or a part of it
// magnified up to 8 times, never reaching outside the picture. The view is kept in
// fractions of the picture, so it holds whatever the picture's size and the window's;
// pointer positions are given in the window, with the rectangle the whole picture
// would fill there (the fitted area).
#include <cstdint>

class ZoomView {
 public:
  struct Rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const Rect& o) const {
      return x == o.x && y == o.y && width == o.width && height == o.height;
    }
  };

  // Each step magnifies by the square root of two: six steps from the whole picture
  // to 8 times.
  static constexpr int kMaxLevel = 6;
  // A wheel notch as the system counts it.
  static constexpr int kWheelNotch = 120;

  int level() const { return level_; }
  bool zoomed() const { return level_ > 0; }
  // The magnification, 1 to 8.
  double scale() const;
  // The view's top left corner in fractions of the picture (0 when whole).
  double left() const { return left_; }
  double top() const { return top_; }

  // Zooms `steps` levels in (negative: out) keeping the picture point under (x, y)
  // where it is; a point outside `area` counts as the nearest point inside. False when
  // nothing changed (already at the limit, or no area).
  bool zoomAt(int steps, int32_t x, int32_t y, const Rect& area);
  // Zooms keeping the view's centre.
  bool zoomAtCentre(int steps);
  // The whole picture again; false when it was shown already.
  bool showWhole();
  // Moves the picture by (dx, dy) window pixels under a dragging pointer (the view
  // goes the other way), stopping at the picture's edges. False when nothing moved.
  bool pan(int32_t dx, int32_t dy, const Rect& area);

  // The whole notches in a wheel's turn of `delta` (positive away from the user); a
  // part of a notch is kept for the next turn the same way, and dropped when the
  // wheel turns back.
  int takeWheelNotches(int32_t delta);

  // The picture rows and columns the view shows of a picture of width x height, rows
  // counted from the top: whole pixels covering the view.
  Rect sourceRect(int32_t width, int32_t height) const;
  // Where the source rectangle is drawn so that the view fills `area` exactly: it may
  // reach past `area` by less than a magnified pixel, which the drawing clips.
  Rect destinationRect(const Rect& source, int32_t width, int32_t height, const Rect& area) const;

 private:
  // The view's size in fractions of the picture.
  double span() const { return 1.0 / scale(); }
  void clampToPicture();

  int level_ = 0;
  double left_ = 0.0;
  double top_ = 0.0;
  int32_t wheelRest_ = 0;
};
