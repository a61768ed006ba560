#include "toolkit/ImageListView_win.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ScreenCapture_win.h"
#include "TestParent_win.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

constexpr int kW = ImageListView::kThumbWidth;
constexpr int kH = ImageListView::kThumbHeight;

// A thumbnail-sized picture that differs per item and per pixel, so that a shifted or
// foreign copy shows.
std::unique_ptr<Image> Thumbnail(int item) {
  auto image = std::make_unique<Image>(kW, kH);
  uint8_t* p = image->Pixels();
  for (int row = 0; row < kH; ++row) {
    for (int x = 0; x < kW; ++x, p += 4) {
      p[0] = static_cast<uint8_t>(x * 3);
      p[1] = static_cast<uint8_t>(row * 4);
      p[2] = static_cast<uint8_t>(40 * item + 20);
    }
  }
  return image;
}

struct Stage {
  explicit Stage(int items) : parent(ShowTestParent(ImageListView::kWidth + 20, ImageListView::kHeight + 20)) {
    view = new ImageListView(parent.get());
    add(items);
  }
  void add(int items) {
    for (int i = 0; i < items; ++i) {
      const std::wstring caption = i == 5 ? L"x-ray" : L"item" + std::to_wstring(i);
      view->AddItem(Thumbnail(i).get(), caption);
    }
  }
  // Picture `index` of the image list as it would be drawn.
  std::unique_ptr<Image> picture(int index) const {
    return CaptureDrawing(kW, kH, [&](HDC dc) { ImageList_Draw(view->imageList(), index, dc, 0, 0, ILD_NORMAL); });
  }
  int focused() const {
    return static_cast<int>(SendMessageW(view->handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  }
  int scrollPosition() const { return GetScrollPos(view->handle(), SB_HORZ); }
  // One item's share of the view's width, the unit the strip scrolls by.
  int share() const {
    RECT r = {};
    SendMessageW(view->handle(), LVM_GETVIEWRECT, 0, reinterpret_cast<LPARAM>(&r));
    return view->itemCount() > 0 ? (r.right - r.left) / view->itemCount() : 0;
  }

  ScopedWindowHandle parent;
  ImageListView* view;
};

enum class Look { Plain, Framed, Other };

// Whether picture `index` is item `item`'s thumbnail as added, or with the border of the
// frame picture around the thumbnail's inside.
Look LookOf(const Image& shown, int item) {
  static const AlphaImage frame(ImageListView::kFramePictureId);
  const auto thumbnail = Thumbnail(item);
  bool plain = true;
  bool framed = true;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const uint32_t pixel = PixelAt(shown, x, y);
      const bool border = x < 2 || y < 2 || x >= kW - 2 || y >= kH - 2;
      plain = plain && pixel == PixelAt(*thumbnail, x, y);
      framed = framed && pixel == PixelAt(border ? *frame.Picture() : *thumbnail, x, y);
    }
  }
  return plain ? Look::Plain : framed ? Look::Framed : Look::Other;
}

std::set<int> FramedItems(const Stage& stage, int items) {
  std::set<int> framed;
  for (int i = 0; i < items; ++i) {
    const Look look = LookOf(*stage.picture(i), i);
    EXPECT_NE(look, Look::Other) << "picture " << i << " is neither plain nor framed";
    if (look == Look::Framed) framed.insert(i);
  }
  return framed;
}

}  // namespace

TEST(ImageListView, ItemsFormOneRowOneBoundsWidthAndTheGapApart) {
  Stage stage(3);
  ASSERT_EQ(stage.view->itemCount(), 3);
  // Shown and painted: a list view may lay its icons out afresh at the first paint.
  RedrawWindow(stage.parent.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPending();
  RECT bounds = {};
  bounds.left = LVIR_BOUNDS;
  SendMessageW(stage.view->handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds));
  const int width = bounds.right - bounds.left;
  EXPECT_GE(width, kW);
  for (int i = 0; i < 3; ++i) {
    POINT position = {};
    SendMessageW(stage.view->handle(), LVM_GETITEMPOSITION, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&position));
    EXPECT_EQ(position.x, i * (width + 2)) << "item " << i;
    EXPECT_EQ(position.y, 0) << "item " << i;
    EXPECT_EQ(LookOf(*stage.picture(i), i), Look::Plain) << "item " << i;
  }
}

TEST(ImageListView, TheSelectedItemAloneIsFramedOnce) {
  struct Case {
    std::vector<int> selections;
    std::set<int> framed;
    int selected;
  };
  const Case cases[] = {
      {{}, {}, 0},
      {{0}, {0}, 0},  // the first selection has nothing to put back
      {{2}, {2}, 2},
      {{0, 0}, {0}, 0},
      {{0, 0, 1}, {1}, 1},  // framed twice, the frame would stay behind on item 0
      {{1, 2, 1}, {1}, 1},
      {{1, 3}, {1}, 1},  // past the end: ignored like a negative index
      {{1, -1}, {1}, 1},
      {{99}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.selections));
    Stage stage(3);
    for (int index : c.selections) EXPECT_NO_THROW(stage.view->SelectItem(index)) << index;
    EXPECT_EQ(FramedItems(stage, 3), c.framed);
    EXPECT_EQ(stage.view->selected(), c.selected);
    if (!c.framed.empty()) {
      const LRESULT state = SendMessageW(stage.view->handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(c.selected),
                                         LVIS_SELECTED | LVIS_FOCUSED);
      EXPECT_EQ(state, LVIS_SELECTED | LVIS_FOCUSED);
    }
  }
}

TEST(ImageListView, ClearingForgetsTheFrameAndTheNextFirstSelectionWorks) {
  Stage stage(3);
  stage.view->SelectItem(2);
  stage.view->Clear();
  EXPECT_EQ(stage.view->itemCount(), 0);
  EXPECT_EQ(ImageList_GetImageCount(stage.view->imageList()), 0);
  EXPECT_EQ(stage.view->selected(), 0);
  stage.add(3);
  EXPECT_NO_THROW(stage.view->SelectItem(1));
  EXPECT_EQ(FramedItems(stage, 3), std::set<int>{1});
}

TEST(ImageListView, AddingNothingAddsNothingAndAnUndrawablePictureFailsWithTheDataText) {
  Stage stage(1);
  stage.view->AddItem(nullptr, L"none");
  EXPECT_EQ(stage.view->itemCount(), 1);
  const Image empty(0, 0);
  try {
    stage.view->AddItem(&empty, L"empty");
    ADD_FAILURE() << "an empty picture was stretched";
  } catch (const ImageListViewException& e) {
    EXPECT_EQ(e.message, LoadText(kTextDataUnreadable));
  }
  EXPECT_EQ(stage.view->itemCount(), 1);
  EXPECT_EQ(ImageList_GetImageCount(stage.view->imageList()), 1);
}

TEST(ImageListView, OnlyTheArrowKeysMoveAlongTheStrip) {
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    bool moves;
  };
  const Case cases[] = {
      {"right arrow", WM_KEYDOWN, VK_RIGHT, true},
      {"End", WM_KEYDOWN, VK_END, false},
      {"Page Down", WM_KEYDOWN, VK_NEXT, false},
      {"letter key", WM_KEYDOWN, 'X', false},
      {"character", WM_CHAR, 'x', false},
      {"wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA * 3)), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stage stage(12);
    stage.view->EnsureSelected(0);
    ASSERT_EQ(stage.focused(), 0);
    const int scrolled = stage.scrollPosition();
    PostMessageW(stage.view->handle(), c.message, c.wParam, c.message == WM_MOUSEWHEEL ? MAKELPARAM(40, 40) : 1);
    if (c.message == WM_KEYDOWN) PostMessageW(stage.view->handle(), WM_KEYUP, c.wParam, 0xC0000001);
    PumpPending();
    EXPECT_EQ(stage.focused() != 0 || stage.scrollPosition() != scrolled, c.moves)
        << "focus " << stage.focused() << ", scrolled " << scrolled << " -> " << stage.scrollPosition();
  }
}

// The strip takes the focus when it paints, so a wheel meant for the picture beside it
// arrives here: it has to go on to the parent rather than stop.
TEST(ImageListView, TheWheelGoesOnToTheParent) {
  static int wheels = 0;
  static WNDPROC parentProc = nullptr;
  wheels = 0;
  Stage stage(12);
  parentProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      stage.parent.get(), GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_MOUSEWHEEL) ++wheels;
        return CallWindowProcW(parentProc, window, message, wParam, lParam);
      })));
  SendMessageW(stage.view->handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA)), MAKELPARAM(40, 40));
  EXPECT_EQ(wheels, 1);
  SetWindowLongPtrW(stage.parent.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(parentProc));
}

TEST(ImageListView, LineScrollsMoveByOneItemShareAndNeverWithoutItems) {
  struct Case {
    int items;
    WORD code;
    int steps;  // expected movement in item shares
  };
  const Case cases[] = {
      {0, SB_LINERIGHT, 0},
      {0, SB_LINELEFT, 0},
      {12, SB_LINERIGHT, 1},
      {12, SB_LINELEFT, 0},  // at the start already
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.items << " items, code " << c.code);
    Stage stage(c.items);
    const int share = stage.share();
    EXPECT_EQ(SendMessageW(stage.view->handle(), WM_HSCROLL, MAKEWPARAM(c.code, 0), 0), 0);
    EXPECT_EQ(stage.scrollPosition(), c.steps * share);
  }
}

TEST(ImageListView, EndOfScrollAndMouseReleasesSnapToAnItemEdge) {
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
  };
  const Case cases[] = {
      {"end of scroll", WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0)},
      {"left button up", WM_LBUTTONUP, 0},
      {"right button up", WM_RBUTTONUP, 0},
      {"mouse move", WM_MOUSEMOVE, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stage stage(12);
    const int share = stage.share();
    SendMessageW(stage.view->handle(), LVM_SCROLL, static_cast<WPARAM>(share + 5), 0);
    ASSERT_EQ(stage.scrollPosition(), share + 5);
    EXPECT_EQ(SendMessageW(stage.view->handle(), c.message, c.wParam, MAKELPARAM(10, 10)), 0);
    EXPECT_EQ(stage.scrollPosition(), 2 * share - 3) << "the next item's edge, 3 pixels in";
  }
}
