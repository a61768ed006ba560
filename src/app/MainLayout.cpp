#include "app/MainLayout.h"

#include <algorithm>

namespace mainlayout {

Layout LayOut(int width, int height, bool chartEnabled, bool thumbnailEnabled) {
  Layout l;
  int y = height;
  if (chartEnabled) {
    y -= kBandHeight;
    l.chartBand = true;
    l.chart = {0, y, width, kBandHeight};
  }
  if (thumbnailEnabled) {
    y -= kBandHeight;
    l.thumbnailBand = true;
    l.thumbnail = {0, y, width, kBandHeight};
  }
  y -= kConsoleHeight;
  l.console = {0, y, width, kConsoleHeight};
  l.config = {width - kColumnWidth, y - kConfigHeight, kColumnWidth, kConfigHeight};
  l.info = {width - kColumnWidth, 0, kColumnWidth, kInfoHeight};
  const int playerWidth = width - kColumnWidth - kStripWidth;
  l.player = {kStripWidth, 0, playerWidth, y};
  // Integer division truncates toward zero, also for a player smaller than the picture.
  l.animation = {(playerWidth - kAnimationWidth) / 2, (y - kAnimationHeight) / 2,
                 kAnimationWidth, kAnimationHeight};
  return l;
}

Column ColumnPictures(int clientHeight, int topHeight, int fillerHeight, int bottomHeight) {
  Column c;
  c.top = kInfoHeight;
  c.bottom = clientHeight - bottomHeight - (kBandHeight + kConsoleHeight + kConfigHeight);
  if (fillerHeight <= 0) return c;
  c.drawBottom = true;
  // Each step adds at least one row, so the loop ends.
  for (int y = kInfoHeight + topHeight; y < c.bottom;) {
    const int t = std::min(fillerHeight, c.bottom - y);
    c.tiles.push_back({y, t});
    y += t;
  }
  return c;
}

int FillerColumns(int pictureWidth) { return std::max(0, std::min(kColumnWidth, pictureWidth)); }

}  // namespace mainlayout
