#include "toolkit/TrackToolTip_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WidgetTestSupport_win.h"
#include "toolkit/ChildWidget_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

// The tool records the tooltip receives, as the control reads them.
struct Record {
  UINT message;
  UINT size;
  UINT flags;
  HWND owner;
  UINT_PTR id;
  std::wstring text;
};

class RecordingTip : public TrackToolTip {
 public:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == TTM_ADDTOOLW || message == TTM_TRACKACTIVATE || message == TTM_UPDATETIPTEXTW) {
      const auto* info = reinterpret_cast<const TTTOOLINFOW*>(lParam);
      records.push_back({message, info->cbSize, info->uFlags, info->hwnd, info->uId,
                         info->lpszText != nullptr ? info->lpszText : L""});
    }
    return TrackToolTip::handleMessage(message, wParam, lParam);
  }
  std::vector<Record> records;
};

struct Placed {
  Placed() : tip(new RecordingTip), control(new Window) {
    tip->Create(WidgetHost());
    tipGuard.reset(tip->handle());
    control->create(VisibleChildParams(WidgetHost(), 200, 10, 40, 20));
    controlGuard.reset(control->handle());
  }
  HWND controlHwnd() const { return controlGuard.get(); }
  RecordingTip* tip;
  Window* control;
  ScopedWindowHandle tipGuard;
  ScopedWindowHandle controlGuard;
};

}  // namespace

TEST(TrackToolTip, IsATopmostPopupOwnedByItsWindow) {
  Placed placed;
  const HWND tip = placed.tip->handle();
  EXPECT_EQ(GetWindow(tip, GW_OWNER), WidgetHost());
  EXPECT_NE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  const LONG style = GetWindowLongW(tip, GWL_STYLE);
  EXPECT_NE(style & WS_POPUP, 0);
  EXPECT_EQ(style & (TTS_ALWAYSTIP | TTS_NOPREFIX), TTS_ALWAYSTIP | TTS_NOPREFIX);
  EXPECT_FALSE(IsWindowVisible(tip));
}

// Every call hands the control the second version's record with the control's handle
// as the tool's id: the older common controls refuse a larger record, and the first
// 44 bytes stop short of the text pointer on a 64-bit system.
TEST(TrackToolTip, EveryCallPassesTheSecondVersionsRecordForTheControl) {
  Placed placed;
  const HWND control = placed.controlHwnd();
  placed.tip->AddTrackTool(control, L"7");
  placed.tip->AddButtonTool(L"reset", control);
  placed.tip->UpdateText(control, L"8");
  placed.tip->ShowTrack(control, L"9");
  placed.tip->HideTrack(control);
  const UINT tracked = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRACK;
  const struct {
    UINT message;
    UINT flags;
    const wchar_t* text;
  } expected[] = {
      {TTM_ADDTOOLW, tracked, L"7"}, {TTM_ADDTOOLW, TTF_IDISHWND | TTF_SUBCLASS, L"reset"},
      {TTM_UPDATETIPTEXTW, 0, L"8"}, {TTM_UPDATETIPTEXTW, 0, L"9"},
      {TTM_TRACKACTIVATE, 0, L""},   {TTM_TRACKACTIVATE, 0, L""},
  };
  ASSERT_EQ(placed.tip->records.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    const Record& r = placed.tip->records[i];
    EXPECT_EQ(r.message, expected[i].message);
    EXPECT_EQ(r.size, static_cast<UINT>(TTTOOLINFOW_V2_SIZE));
    EXPECT_EQ(r.flags, expected[i].flags);
    EXPECT_EQ(r.owner, WidgetHost());
    EXPECT_EQ(r.id, reinterpret_cast<UINT_PTR>(control));
    EXPECT_EQ(r.text, expected[i].text);
  }
}

TEST(TrackToolTip, ButtonToolsAreHoverTipsBesideTheTrackingTool) {
  Placed placed;
  const HWND control = placed.controlHwnd();
  placed.tip->AddTrackTool(WidgetHost(), L"track");
  placed.tip->AddButtonTool(L"open", control);
  ASSERT_EQ(SendMessageW(placed.tip->handle(), TTM_GETTOOLCOUNT, 0, 0), 2);
  wchar_t text[80] = {};
  TTTOOLINFOW info = {};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = WidgetHost();
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text;
  ASSERT_TRUE(
      SendMessageW(placed.tip->handle(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
  EXPECT_EQ(info.uFlags & (TTF_IDISHWND | TTF_SUBCLASS | TTF_TRACK),
            static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS));
  EXPECT_STREQ(text, L"open");
}
