// The picture's zoom and pan arithmetic, everywhere.
#include "playback/ZoomView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Rect = ZoomView::Rect;

const Rect kArea = {100, 20, 640, 480};

// The picture point (in fractions) shown at window point (x, y).
double PictureX(const ZoomView& z, int32_t x) { return z.left() + (double(x) - kArea.x) / kArea.width / z.scale(); }
double PictureY(const ZoomView& z, int32_t y) { return z.top() + (double(y) - kArea.y) / kArea.height / z.scale(); }

void ExpectInsidePicture(const ZoomView& z) {
  EXPECT_GE(z.left(), 0.0);
  EXPECT_GE(z.top(), 0.0);
  EXPECT_LE(z.left() + 1.0 / z.scale(), 1.0 + 1e-12);
  EXPECT_LE(z.top() + 1.0 / z.scale(), 1.0 + 1e-12);
}

TEST(ZoomView, StepsGoFromTheWholePictureToEightTimesAndStopThere) {
  ZoomView z;
  EXPECT_FALSE(z.zoomed());
  EXPECT_FALSE(z.zoomAtCentre(-1)) << "already whole";
  const double scales[] = {std::sqrt(2.0), 2.0, 2 * std::sqrt(2.0), 4.0, 4 * std::sqrt(2.0), 8.0};
  for (double s : scales) {
    EXPECT_TRUE(z.zoomAtCentre(1));
    EXPECT_NEAR(z.scale(), s, 1e-12);
    // Zooming at the centre keeps the view centred.
    EXPECT_NEAR(z.left() + 0.5 / z.scale(), 0.5, 1e-12);
  }
  EXPECT_FALSE(z.zoomAtCentre(1)) << "8 times is the most";
  EXPECT_EQ(z.level(), ZoomView::kMaxLevel);
  EXPECT_TRUE(z.zoomAtCentre(-100));
  EXPECT_FALSE(z.zoomed());
  EXPECT_EQ(z.left(), 0.0);
  z.zoomAtCentre(3);
  EXPECT_TRUE(z.showWhole());
  EXPECT_FALSE(z.showWhole());
  EXPECT_EQ(z.scale(), 1.0);
  EXPECT_EQ(z.top(), 0.0);
}

TEST(ZoomView, ThePicturePointUnderThePointerStaysThereUnlessTheEdgeStopsIt) {
  const struct {
    const char* what;
    std::vector<int> steps;
    int32_t x, y;
    double left, top;  // expected afterwards
  } cases[] = {
      {"centre", {2}, 420, 260, 0.25, 0.25},
      {"top left corner", {2, 2, 2}, 100, 20, 0.0, 0.0},
      {"bottom right corner", {1, 1}, 739, 499, 0.5 - 0.5 / 640, 0.5 - 0.5 / 480},
      {"quarter", {2}, 260, 140, 0.125, 0.125},
      {"out again", {4, -2}, 260, 140, 0.125, 0.125},
      // Outside the picture's area counts as its nearest edge.
      {"left of the area", {2}, 0, 260, 0.0, 0.25},
      {"below the area", {2}, 420, 900, 0.25, 0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ZoomView z;
    for (int step : c.steps) {
      const double u = PictureX(z, c.x);
      const double v = PictureY(z, c.y);
      EXPECT_TRUE(z.zoomAt(step, c.x, c.y, kArea));
      if (c.x >= kArea.x && c.x < kArea.x + kArea.width) {
        EXPECT_NEAR(PictureX(z, c.x), u, 1e-12);
      }
      if (c.y >= kArea.y && c.y < kArea.y + kArea.height) {
        EXPECT_NEAR(PictureY(z, c.y), v, 1e-12);
      }
      ExpectInsidePicture(z);
    }
    EXPECT_NEAR(z.left(), c.left, 1e-12);
    EXPECT_NEAR(z.top(), c.top, 1e-12);
  }
  // Zooming out near an edge pulls the view back inside.
  ZoomView z;
  z.zoomAt(4, 739, 499, kArea);
  z.zoomAt(-3, 100, 20, kArea);
  ExpectInsidePicture(z);
  EXPECT_NEAR(z.left(), 1.0 - 1.0 / z.scale(), 1e-12);
  EXPECT_FALSE(z.zoomAt(1, 0, 0, Rect{0, 0, 0, 0})) << "no area, no zoom";
}

TEST(ZoomView, PanningMovesTheViewAgainstTheDragAndStopsAtTheEdges) {
  ZoomView z;
  EXPECT_FALSE(z.pan(50, 50, kArea)) << "the whole picture does not move";
  z.zoomAtCentre(2);  // twice: the view is half the picture, at 0.25
  const struct {
    int32_t dx, dy;
    bool moved;
    double left, top;
  } drags[] = {
      {64, 0, true, 0.2, 0.25},      // a tenth of the area: a twentieth of the picture
      {0, -48, true, 0.2, 0.3},
      {1000, 0, true, 0.0, 0.3},     // stops at the left edge
      {10, 0, false, 0.0, 0.3},      // nothing left to show on that side
      {-5000, -5000, true, 0.5, 0.5},
      {-1, -1, false, 0.5, 0.5},
  };
  for (const auto& d : drags) {
    SCOPED_TRACE(std::to_string(d.dx) + ", " + std::to_string(d.dy));
    EXPECT_EQ(z.pan(d.dx, d.dy, kArea), d.moved);
    EXPECT_NEAR(z.left(), d.left, 1e-12);
    EXPECT_NEAR(z.top(), d.top, 1e-12);
  }
}

TEST(ZoomView, WheelTurnsCountWholeNotchesAndKeepTheRestInOneDirection) {
  const struct {
    const char* what;
    std::vector<int32_t> deltas;
    std::vector<int> notches;
  } cases[] = {
      {"notches", {120, 240, -120}, {1, 2, -1}},
      {"fine wheel", {40, 40, 40, 40}, {0, 0, 1, 0}},
      {"turning back drops the rest", {100, -100, -20}, {0, 0, -1}},
      {"a huge turn", {120 * 1000, -2147483647 - 1}, {6, -6}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ZoomView z;
    std::vector<int> got;
    for (int32_t d : c.deltas) got.push_back(z.takeWheelNotches(d));
    EXPECT_EQ(got, c.notches);
  }
}

TEST(ZoomView, TheVisiblePixelsAreDrawnSoThatTheViewFillsTheArea) {
  // The whole picture: exactly the picture onto exactly the area.
  ZoomView whole;
  EXPECT_EQ(whole.sourceRect(640, 480), (Rect{0, 0, 640, 480}));
  EXPECT_EQ(whole.destinationRect(Rect{0, 0, 640, 480}, 640, 480, kArea), kArea);
  EXPECT_EQ(whole.sourceRect(0, 0), (Rect{0, 0, 0, 0}));

  ZoomView twice;
  twice.zoomAtCentre(2);
  EXPECT_EQ(twice.sourceRect(640, 480), (Rect{160, 120, 320, 240}));
  EXPECT_EQ(twice.destinationRect(Rect{160, 120, 320, 240}, 640, 480, kArea), kArea);

  // Every view of pictures of several sizes: whole pixels covering the view, drawn
  // over the whole area and past it by less than one magnified pixel.
  const struct {
    int32_t width, height;
  } pictures[] = {{640, 480}, {200, 300}, {7, 5}, {1, 1}};
  for (const auto& p : pictures) {
    for (int level = 1; level <= ZoomView::kMaxLevel; ++level) {
      ZoomView z;
      z.zoomAt(level, kArea.x, kArea.y, kArea);
      for (int move = 0; move < 40; ++move) {
        SCOPED_TRACE(std::to_string(p.width) + "x" + std::to_string(p.height) + " level " +
                     std::to_string(level) + " move " + std::to_string(move));
        const Rect s = z.sourceRect(p.width, p.height);
        ASSERT_GE(s.x, 0);
        ASSERT_GE(s.y, 0);
        ASSERT_GE(s.width, 1);
        ASSERT_GE(s.height, 1);
        ASSERT_LE(s.x + s.width, p.width);
        ASSERT_LE(s.y + s.height, p.height);
        const Rect d = z.destinationRect(s, p.width, p.height, kArea);
        const double kx = kArea.width * z.scale() / p.width;
        const double ky = kArea.height * z.scale() / p.height;
        EXPECT_LE(d.x, kArea.x);
        EXPECT_LE(d.y, kArea.y);
        EXPECT_GE(d.x + d.width, kArea.x + kArea.width);
        EXPECT_GE(d.y + d.height, kArea.y + kArea.height);
        EXPECT_LT(kArea.x - d.x, kx + 1);
        EXPECT_LT(d.x + d.width - kArea.x - kArea.width, kx + 1);
        EXPECT_LT(kArea.y - d.y, ky + 1);
        EXPECT_LT(d.y + d.height - kArea.y - kArea.height, ky + 1);
        z.pan(-37, -23, kArea);
      }
    }
  }
}

}  // namespace
