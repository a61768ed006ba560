// Where the main window puts its children and its background pictures.
#include <gtest/gtest.h>

#include <vector>

#include "app/MainLayout.h"

using mainlayout::Rect;
using mainlayout::Tile;

namespace {

struct LayoutCase {
  const char* name;
  int width, height;
  bool chart, thumbnail;
  Rect chartRect, thumbnailRect, console, config, info, player, animation;
};

const LayoutCase kLayouts[] = {
    // The chart layout the viewer uses: right column at 591, player 570 wide and 445 high.
    {"chart band", 800, 600, true, false, {0, 510, 800, 90}, {}, {0, 445, 800, 65},
     {591, 225, 209, 220}, {591, 0, 209, 180}, {21, 0, 570, 445}, {145, 186, 280, 73}},
    {"both bands", 800, 600, true, true, {0, 510, 800, 90}, {0, 420, 800, 90},
     {0, 355, 800, 65}, {591, 135, 209, 220}, {591, 0, 209, 180}, {21, 0, 570, 355},
     {145, 141, 280, 73}},
    {"no band", 1000, 700, false, false, {}, {}, {0, 635, 1000, 65}, {791, 415, 209, 220},
     {791, 0, 209, 180}, {21, 0, 770, 635}, {245, 281, 280, 73}},
    // A player narrower than the waiting picture: the halving truncates toward zero.
    {"narrow", 480, 300, true, false, {0, 210, 480, 90}, {}, {0, 145, 480, 65},
     {271, -75, 209, 220}, {271, 0, 209, 180}, {21, 0, 250, 145}, {-15, 36, 280, 73}},
};

TEST(MainLayout, PlacesEveryChildForTheClientSize) {
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.name);
    const mainlayout::Layout l = mainlayout::LayOut(c.width, c.height, c.chart, c.thumbnail);
    EXPECT_EQ(l.chartBand, c.chart);
    EXPECT_EQ(l.thumbnailBand, c.thumbnail);
    if (c.chart) EXPECT_EQ(l.chart, c.chartRect);
    if (c.thumbnail) EXPECT_EQ(l.thumbnail, c.thumbnailRect);
    EXPECT_EQ(l.console, c.console);
    EXPECT_EQ(l.config, c.config);
    EXPECT_EQ(l.info, c.info);
    EXPECT_EQ(l.player, c.player);
    EXPECT_EQ(l.animation, c.animation);
  }
}

struct ColumnCase {
  const char* name;
  int height, top, filler, bottom;
  std::vector<Tile> tiles;
  int bottomY;
  bool drawBottom;
};

const ColumnCase kColumns[] = {
    // The bottom picture (40 high) ends at 425, where the configuration panel begins.
    {"tiles then a part", 800, 100, 30, 40, {{280, 30}, {310, 30}, {340, 30}, {370, 15}}, 385, true},
    {"one full tile", 800, 100, 60, 40, {{280, 60}, {340, 45}}, 385, true},
    {"no room", 600, 100, 30, 40, {}, 185, true},
    // Without a filler picture neither the filler nor the bottom picture is drawn.
    {"no filler", 800, 100, 0, 40, {}, 385, false},
};

TEST(MainLayout, FillsTheRightColumnDownToTheConfigurationPanel) {
  for (const ColumnCase& c : kColumns) {
    SCOPED_TRACE(c.name);
    const mainlayout::Column col = mainlayout::ColumnPictures(c.height, c.top, c.filler, c.bottom);
    EXPECT_EQ(col.top, 180);
    EXPECT_EQ(col.tiles, c.tiles);
    EXPECT_EQ(col.bottom, c.bottomY);
    EXPECT_EQ(col.drawBottom, c.drawBottom);
  }
}

TEST(MainLayout, CopiesNoMoreFillerColumnsThanThePictureHas) {
  const struct {
    int pictureWidth, columns;
  } cases[] = {{300, 209}, {209, 209}, {100, 100}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(mainlayout::FillerColumns(c.pictureWidth), c.columns) << c.pictureWidth;
}

}  // namespace
