#pragma once
// Where the main window puts its children and its background pictures, as plain
// arithmetic on the client size.
#include <vector>

namespace mainlayout {

// The right column and the strip left of the picture.
constexpr int kColumnWidth = 209;
constexpr int kStripWidth = 21;
constexpr int kBandHeight = 90;      // the chart and the thumbnail strip
constexpr int kConsoleHeight = 65;
constexpr int kConfigHeight = 220;
constexpr int kInfoHeight = 180;
constexpr int kAnimationWidth = 280;
constexpr int kAnimationHeight = 73;
// The smallest outer size the user may drag the window to.
constexpr int kMinTrackWidth = 800;
constexpr int kMinTrackHeight = 640;

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

struct Layout {
  bool chartBand = false;      // the chart takes a band at the bottom
  bool thumbnailBand = false;  // so does the thumbnail strip, above it
  Rect chart;
  Rect thumbnail;
  Rect console;
  Rect config;
  Rect info;
  Rect player;
  Rect animation;  // inside the player
};

// The children's places for a client area of width x height. A band is taken only by
// the panels that are enabled.
Layout LayOut(int width, int height, bool chartEnabled, bool thumbnailEnabled);

// One stretch of the right column's filler picture.
struct Tile {
  int y = 0;
  int height = 0;
  bool operator==(const Tile& o) const { return y == o.y && height == o.height; }
};

// The right column's pictures for a client height: the top picture (topHeight high)
// under the information panel, filler tiles of at most fillerHeight rows down to where
// the bottom picture (bottomHeight high) must end, at the top of the configuration
// panel in the chart layout.
struct Column {
  int top = 0;  // y of the top picture
  std::vector<Tile> tiles;
  int bottom = 0;  // y of the bottom picture
  bool drawBottom = false;  // only with a filler picture to draw
};
Column ColumnPictures(int clientHeight, int topHeight, int fillerHeight, int bottomHeight);

// Columns of the filler picture that are copied: the column's width, or fewer when the
// picture is narrower.
int FillerColumns(int pictureWidth);

}  // namespace mainlayout
