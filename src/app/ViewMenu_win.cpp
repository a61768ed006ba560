#include "app/ViewMenu_win.h"

#include "foundation/CommandIds.h"
#include "playback/DriveValues.h"
#include "playback/GCircle_win.h"
#include "playback/InfoPanel_win.h"
#include "playback/LineChart_win.h"

namespace {

bool* SeriesFlag(drivevalues::ChartSeries& s, WORD id) {
  switch (id) {
    case IDM_VIEW_TOTAL_G:
      return &s.total;
    case IDM_VIEW_AXIS_X:
      return &s.x;
    case IDM_VIEW_AXIS_Y:
      return &s.y;
    case IDM_VIEW_AXIS_Z:
      return &s.z;
    case IDM_VIEW_SPEED:
      return &s.speed;
    case IDM_VIEW_THRESHOLD:
      return &s.threshold;
    default:
      return nullptr;
  }
}

void Check(HMENU menu, WORD id, bool on) {
  if (menu != nullptr) CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

bool RunViewCommand(WORD id, HMENU menu, LineChart& chart, InfoPanel& info, GCircle& circle) {
  if (id == IDM_VIEW_G_CIRCLE) {
    circle.setShown(!circle.shown());
    Check(menu, id, circle.shown());
    return true;
  }
  if (id == IDM_VIEW_FRAME_VALUES) {
    info.setValuesShown(!info.valuesShown());
    Check(menu, id, info.valuesShown());
    return true;
  }
  drivevalues::ChartSeries series = chart.series();
  bool* flag = SeriesFlag(series, id);
  if (flag == nullptr) return false;
  *flag = !*flag;
  chart.setSeries(series);
  Check(menu, id, *flag);
  return true;
}
