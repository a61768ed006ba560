#include "toolkit/Animation_win.h"

#include <gtest/gtest.h>

#include "ScreenCapture_win.h"
#include "TestParent_win.h"
#include "Wait_win.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

constexpr uint32_t kMagenta = 0xFF00FF;

struct Stage {
  Stage() : brush(CreateSolidBrush(RGB(255, 0, 255))), parent(ShowTestParent(400, 200, static_cast<HBRUSH>(brush.get()))) {
    animation = new Animation(parent.get(), 30, 40);
  }
  // The animation's area as shown after the parent painted its background under it.
  std::unique_ptr<Image> show() const {
    RedrawWindow(parent.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return CaptureClient(animation->handle());
  }
  ScopedGdiObject brush;
  ScopedWindowHandle parent;
  Animation* animation;
};

bool SameColours(const Image& a, const Image& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (PixelAt(a, x, y) != PixelAt(b, x, y)) return false;
    }
  }
  return true;
}

bool Blank(const Image& image) {
  return CountPixels(image, [](uint32_t c) { return c != kMagenta; }) == 0;
}

}  // namespace

TEST(Animation, DrawsTheWaitingPictureForEveryIndexFromOne) {
  const AlphaImage waiting(285);
  ASSERT_NE(waiting.Picture(), nullptr);
  struct Case {
    int32_t index;
    bool picture;
  };
  Stage stage;
  for (const Case c : {Case{-1, false}, Case{0, false}, Case{1, true}, Case{2, true}, Case{7, true}}) {
    SCOPED_TRACE(c.index);
    stage.animation->setFrameIndex(c.index);
    const auto shown = stage.show();
    if (c.picture) {
      EXPECT_TRUE(SameColours(*shown, *waiting.Picture()));
    } else {
      EXPECT_TRUE(Blank(*shown)) << "nothing drawn and nothing erased";
    }
  }
}

TEST(Animation, BlankUntilTheFirstTickThenThePictureAndTheTimerStopsAtTheSecond) {
  const AlphaImage waiting(285);
  Stage stage;
  Animation& animation = *stage.animation;
  RECT place;
  GetWindowRect(animation.handle(), &place);
  MapWindowPoints(nullptr, stage.parent.get(), reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 30);
  EXPECT_EQ(place.top, 40);
  animation.setFrameIndex(0);
  EXPECT_TRUE(Blank(*stage.show()));

  // What the creator does.
  ASSERT_NE(SetTimer(animation.handle(), Animation::kTimerId, Animation::kTickMs, nullptr), 0u);
  ASSERT_TRUE(WaitFor([&] { return animation.frameIndex() >= 1; }));
  EXPECT_EQ(animation.frameIndex(), 1);
  PumpPending();  // the repaint the tick asked for
  EXPECT_TRUE(SameColours(*CaptureClient(animation.handle()), *waiting.Picture()))
      << "the first tick shows the picture by itself";

  ASSERT_TRUE(WaitFor([&] { return animation.frameIndex() >= 2; }));
  // Once the timer is gone no tick can come: asked first, it stands for the wait.
  EXPECT_FALSE(KillTimer(animation.handle(), Animation::kTimerId)) << "the timer is still set";
  PumpPending();
  EXPECT_EQ(animation.frameIndex(), 2) << "the timer ticked on after the second tick";
  EXPECT_TRUE(SameColours(*stage.show(), *waiting.Picture()));
}
