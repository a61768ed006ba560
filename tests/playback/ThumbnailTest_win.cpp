// The thumbnail strip in a window on the display, with its own loader reading a simulator
// recording on the real worker thread, and a stand-in owner that keeps what it was asked.
// Every picture buffer of the recording's size is counted, so that a picture lost on the
// way (never freed) shows as a count that does not come back.
#include "playback/Thumbnail_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "PlaybackTestSupport.h"
#include "ScreenCapture_win.h"
#include "StandInInfo.h"
#include "StandInOwner_win.h"
#include "TempDir.h"
#include "foundation/CommandIds.h"
#include "foundation/LocalTime.h"
#include "recording/FrameEntry.h"
#include "toolkit/MessagePump_win.h"

namespace {

constexpr int kPictureWidth = 160;
constexpr int kPictureHeight = 120;
constexpr size_t kPictureBytes = size_t(kPictureWidth) * kPictureHeight * 4;
constexpr DWORD kPatienceMs = 30000;
constexpr int kPanelWidth = 700;
std::atomic<int> g_livePictures{0};

}  // namespace

// Every array allocation carries its size in front, so that the buffers of decoded
// pictures (the only arrays of exactly their size) can be counted while they live.
namespace {
constexpr size_t kSizeSlot = 16;
void* CountedAllocate(size_t bytes) {
  auto* block = static_cast<unsigned char*>(std::malloc(bytes + kSizeSlot));
  if (block == nullptr) throw std::bad_alloc();
  *reinterpret_cast<size_t*>(block) = bytes;
  if (bytes == kPictureBytes) ++g_livePictures;
  return block + kSizeSlot;
}
void CountedFree(void* p) {
  if (p == nullptr) return;
  unsigned char* block = static_cast<unsigned char*>(p) - kSizeSlot;
  if (*reinterpret_cast<size_t*>(block) == kPictureBytes) --g_livePictures;
  std::free(block);
}
}  // namespace
void* operator new[](size_t bytes) { return CountedAllocate(bytes); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }

namespace {

// The main window's stand-in: the panel's parent, keeping which thumbnail was selected
// each time it was given the command to open one.
class TestOwner : public StandInOwner {
 public:
  TestOwner() : StandInOwner({40, 40, 40 + kPanelWidth, 40 + Thumbnail::kHeight}) {}
  void runCommand(WORD id) override {
    StandInOwner::runCommand(id);
    if (id == IDM_OPEN_THUMBNAIL && panel != nullptr) opened.push_back(panel->selected());
  }
  Thumbnail* panel = nullptr;
  std::vector<int> opened;
};

int64_t TimeOf(const LocalDateTime& local) { return CalendarTimeOrZero(local); }

const LocalDateTime kStart{2026, 5, 4, 8, 15, 2};

// One folder with one silent recording of small pictures.
struct Recording {
  Recording() {
    WriteDatedRecordings(folder.path(), {{"0001_001.DAT", kStart}}, 12);
    path = (folder / "0001_001.DAT").wstring();
  }
  TempDir folder;
  std::wstring path;
};

// The owner with the panel filling its client area.
struct Stage {
  Stage() : owner(new TestOwner) {
    panel = new Thumbnail(*owner);
    owner->panel = panel;
    MoveWindow(panel->handle(), 0, 0, kPanelWidth, Thumbnail::kHeight, TRUE);
    PumpPending();
  }
  ~Stage() {
    if (IsWindow(window)) DestroyWindow(window);
    PumpPending();
  }
  // Opens the recording in the panel's loader with every entry naming the recording as
  // its file, so that each thumbnail is read from the entry's own file.
  void open(const Recording& r) {
    panel->loader()->LoadArchive(r.path, nullptr);
    for (int s = 0; s < panel->loader()->EntryCount(); ++s) {
      const_cast<FrameEntry*>(panel->loader()->archive().Entry(s))->sourcePath = r.path;
    }
  }
  void begin(int count) { panel->Begin(panel->loader()->MakeVideoInfo(), count); }
  bool loadAll() {
    return PumpUntil([&] { return panel->complete(); }, kPatienceMs);
  }
  std::wstring caption(int item) const {
    wchar_t text[64] = {};
    LVITEMW lv = {};
    lv.iSubItem = 0;
    lv.pszText = text;
    lv.cchTextMax = 64;
    SendMessageW(panel->strip().handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return text;
  }
  // "FPNL": which of first, previous, next and last are enabled ('-' when disabled).
  std::string enabled() const {
    std::string s;
    s += panel->firstButton().isEnabled() ? 'F' : '-';
    s += panel->previousButton().isEnabled() ? 'P' : '-';
    s += panel->nextButton().isEnabled() ? 'N' : '-';
    s += panel->lastButton().isEnabled() ? 'L' : '-';
    return s;
  }
  // A user's click on an enabled button; a disabled one takes no mouse, so its listener
  // is told directly, to show that the panel itself also refuses the move.
  void press(ImageButton& button) {
    if (!button.isEnabled()) {
      panel->OnClick(&button);
      return;
    }
    SendMessageW(button.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(button.handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    PumpPending();
  }

  TestOwner* owner;
  HWND window = owner->handle();
  Thumbnail* panel;
};

// Picture `item` of the strip as the image list draws it.
std::unique_ptr<Image> DrawnPicture(Thumbnail& panel, int item) {
  return CaptureDrawing(ImageListView::kThumbWidth, ImageListView::kThumbHeight, [&](HDC dc) {
    ImageList_Draw(panel.strip().imageList(), item, dc, 0, 0, ILD_NORMAL);
  });
}

// Waits, without dispatching anything, until the loader has posted a picture to the panel.
bool PictureQueued(Stage& s) {
  MSG msg;
  const DWORD start = GetTickCount();
  while (!PeekMessageW(&msg, s.panel->handle(), WM_FRAME_READY, WM_FRAME_READY, PM_NOREMOVE)) {
    if (GetTickCount() - start > kPatienceMs) return false;
    Sleep(1);
  }
  return true;
}

// Counts the calls that ask the system to destroy one window, for as long as it lives.
class DestroyCalls {
 public:
  explicit DestroyCalls(HWND window) {
    watched_ = window;
    count_ = 0;
    hook_ = SetWindowsHookExW(WH_CBT, &DestroyCalls::hook, nullptr, GetCurrentThreadId());
  }
  ~DestroyCalls() { UnhookWindowsHookEx(hook_); }
  DestroyCalls(const DestroyCalls&) = delete;
  DestroyCalls& operator=(const DestroyCalls&) = delete;
  int count() const { return count_; }

 private:
  static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == watched_) ++count_;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_;
  static HWND watched_;
  static int count_;
};
HWND DestroyCalls::watched_ = nullptr;
int DestroyCalls::count_ = 0;

}  // namespace

TEST(Thumbnail, CaptionsGiveTheLocalTimeOrDashes) {
  const struct {
    const char* what;
    int64_t time;
    const wchar_t* caption;
  } cases[] = {
      {"a time", TimeOf(kStart), L"2026/05/04 08:15:02"},
      {"midnight", TimeOf({2009, 12, 31, 0, 0, 0}), L"2009/12/31 00:00:00"},
      {"no time", 0, Thumbnail::kNoTimeCaption},
  };
  for (const auto& c : cases) EXPECT_EQ(Thumbnail::Caption(c.time), c.caption) << c.what;
}

// Each load runs the protocol end to end on the worker: one picture per step, then the
// first thumbnail selected, the owner asked once, and the buttons enabled as the
// selection allows.
TEST(Thumbnail, LoadsEveryThumbnailThenSelectsTheFirst) {
  Recording recording;
  const struct {
    int count;
    const char* buttons;
  } cases[] = {{1, "----"}, {3, "--NL"}, {5, "--NL"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    Stage stage;
    stage.open(recording);
    EXPECT_EQ(stage.enabled(), "----");
    stage.begin(c.count);
    ASSERT_TRUE(stage.loadAll());
    PumpFor(200);  // late answers to repeated requests are ignored
    EXPECT_EQ(stage.panel->added(), c.count);
    EXPECT_EQ(stage.panel->strip().itemCount(), c.count);
    EXPECT_EQ(stage.panel->selected(), 0);
    EXPECT_EQ(stage.panel->strip().selected(), 0);
    EXPECT_EQ(stage.owner->opened, std::vector<int>{0}) << "the owner is asked once";
    EXPECT_EQ(stage.enabled(), c.buttons);
    const auto info = stage.panel->loader()->MakeVideoInfo();
    for (int i = 0; i < c.count; ++i) {
      EXPECT_EQ(stage.caption(i), Thumbnail::Caption(info->GetEntry(i)->time)) << i;
    }
  }
}

// With no readable picture every thumbnail is the placeholder, captioned from the
// metadata: dashes where it has no time or no record.
TEST(Thumbnail, MissingPicturesShowThePlaceholderAndMissingTimesDashes) {
  Stage stage;  // nothing opened: every request is answered without a picture
  const int64_t t = TimeOf(kStart);
  stage.panel->Begin(std::make_unique<StandInInfo>(std::vector<std::optional<FrameEntry>>{
                         StandInInfo::At(t), StandInInfo::At(0), std::nullopt, StandInInfo::At(t + 61)}),
                     4);
  ASSERT_TRUE(stage.loadAll());
  const wchar_t* captions[] = {L"2026/05/04 08:15:02", Thumbnail::kNoTimeCaption, Thumbnail::kNoTimeCaption,
                               L"2026/05/04 08:16:03"};
  const AlphaImage placeholder(Thumbnail::kPlaceholderPicture);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(stage.caption(i), captions[i]) << i;
    // Item 0 carries the selection frame.
    if (i > 0) {
      EXPECT_EQ(ColourHash(*DrawnPicture(*stage.panel, i)), ColourHash(*placeholder.Picture())) << i;
    }
  }
}

// A strip takes at most 600 thumbnails and says when it has left some out.
TEST(Thumbnail, TakesAtMostSixHundredThumbnails) {
  Stage stage;
  const struct {
    int count;
    int total;
    bool all;
  } cases[] = {{-1, 0, true}, {0, 0, true}, {3, 3, true}, {600, 600, true}, {601, 600, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    EXPECT_EQ(stage.panel->Begin(std::make_unique<StandInInfo>(), c.count), c.all);
    EXPECT_EQ(stage.panel->total(), c.total);
    stage.panel->Reset();
    EXPECT_EQ(stage.panel->total(), 0);
  }
}

// Pictures handed to the panel out of turn are dropped (and freed); the load then goes
// on as if they had never come.
TEST(Thumbnail, PicturesOutOfTurnAreIgnored) {
  Recording recording;
  const struct {
    const char* what;
    bool metadata;
    std::vector<int> indexes;  // sent at once, before the loader's own answers
    int added;
  } cases[] = {
      {"the first in turn", true, {0}, 1},
      {"one ahead", true, {1}, 0},
      {"a late one after the first", true, {0, 0}, 1},
      {"in turn, then a late one", true, {0, 1, 0, 1}, 2},
      {"the first without metadata", false, {0}, 0},
  };
  const int baseline = g_livePictures.load();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    {
      Stage stage;
      stage.open(recording);
      // Sent, not posted: the loader's answers wait in the queue meanwhile.
      stage.panel->Begin(c.metadata ? stage.panel->loader()->MakeVideoInfo() : nullptr, 3);
      for (int index : c.indexes) {
        auto picture = std::make_unique<Image>(kPictureWidth, kPictureHeight);
        SendMessageW(stage.panel->handle(), WM_FRAME_READY, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(picture.release()));
      }
      EXPECT_EQ(stage.panel->added(), c.added);
      EXPECT_EQ(stage.panel->strip().itemCount(), c.added);
      if (c.metadata) {
        EXPECT_TRUE(stage.loadAll());
        EXPECT_EQ(stage.panel->strip().itemCount(), 3);
      } else {
        PumpFor(300);
        EXPECT_EQ(stage.panel->added(), 0) << "nothing is added without metadata";
      }
    }
    EXPECT_EQ(g_livePictures.load(), baseline) << "a picture was not freed";
  }
}

// The buttons move the selection through the strip, which tells the panel and the
// owner; at the ends they do nothing and their enabling follows.
TEST(Thumbnail, ButtonsMoveTheSelectionAndStopAtTheEnds) {
  Recording recording;
  enum Button { First, Previous, Next, Last };
  const struct {
    const char* what;
    int count;
    std::vector<Button> presses;
    int selected;
    const char* buttons;
    std::vector<int> opened;  // after the load's own 0
  } cases[] = {
      {"next twice", 4, {Next, Next}, 2, "FPNL", {1, 2}},
      {"last", 4, {Last}, 3, "FP--", {3}},
      {"last then previous", 4, {Last, Previous}, 2, "FPNL", {3, 2}},
      {"last then first", 4, {Last, First}, 0, "--NL", {3, 0}},
      {"previous at the start", 4, {Previous}, 0, "--NL", {}},
      {"next at the end", 4, {Last, Next}, 3, "FP--", {3}},
      {"last with one thumbnail", 1, {Last}, 0, "----", {}},
      {"next with one thumbnail", 1, {Next}, 0, "----", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Stage stage;
    stage.open(recording);
    stage.begin(c.count);
    ASSERT_TRUE(stage.loadAll());
    stage.owner->opened.clear();
    ImageButton* buttons[] = {&stage.panel->firstButton(), &stage.panel->previousButton(),
                              &stage.panel->nextButton(), &stage.panel->lastButton()};
    for (Button b : c.presses) stage.press(*buttons[b]);
    EXPECT_EQ(stage.panel->selected(), c.selected);
    EXPECT_EQ(stage.panel->strip().selected(), c.selected);
    EXPECT_EQ(stage.enabled(), c.buttons);
    EXPECT_EQ(stage.owner->opened, c.opened);
  }
}

// A click on a thumbnail focuses it in the control; the panel frames it and asks the
// owner to open it.
TEST(Thumbnail, ClickingAThumbnailOpensIt) {
  Recording recording;
  Stage stage;
  stage.open(recording);
  stage.begin(4);
  ASSERT_TRUE(stage.loadAll());
  stage.owner->opened.clear();
  POINT at = {};
  SendMessageW(stage.panel->strip().handle(), LVM_GETITEMPOSITION, 2, reinterpret_cast<LPARAM>(&at));
  const LPARAM point = MAKELPARAM(at.x + ImageListView::kThumbWidth / 2 + 2, at.y + 20);
  // The release waits in the queue for the control's own wait for the button to go up.
  PostMessageW(stage.panel->strip().handle(), WM_LBUTTONUP, 0, point);
  SendMessageW(stage.panel->strip().handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  PumpPending();
  EXPECT_EQ(stage.owner->opened, std::vector<int>{2});
  EXPECT_EQ(stage.panel->selected(), 2);
  EXPECT_EQ(stage.panel->strip().selected(), 2);
  EXPECT_EQ(stage.enabled(), "FPNL");
}

// The selected thumbnail shows the frame picture's border and nowhere does the control
// paint its highlight colour.
TEST(Thumbnail, TheSelectionIsTheFrameNotTheHighlight) {
  Recording recording;
  Stage stage;
  stage.open(recording);
  stage.begin(3);
  ASSERT_TRUE(stage.loadAll());
  SetFocus(stage.panel->strip().handle());
  RedrawWindow(stage.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPending();
  const auto shown = CaptureClient(stage.panel->strip().handle());
  const uint32_t highlight = Rgb(GetSysColor(COLOR_HIGHLIGHT));
  const int highlighted = CountPixels(*shown, [&](uint32_t pixel) { return pixel == highlight; });
  EXPECT_EQ(highlighted, 0) << "pixels in the highlight colour";
  // Item 0's picture carries the frame picture's border, and the display shows it.
  const AlphaImage frame(ImageListView::kFramePictureId);
  const auto drawn = DrawnPicture(*stage.panel, 0);
  for (int x = 0; x < ImageListView::kThumbWidth; ++x) {
    ASSERT_EQ(PixelAt(*drawn, x, 0), PixelAt(*frame.Picture(), x, 0)) << x;
  }
  const uint32_t border = PixelAt(*frame.Picture(), ImageListView::kThumbWidth / 2, 0);
  EXPECT_GE(CountPixels(*shown, [&](uint32_t pixel) { return pixel == border; }), 2 * ImageListView::kThumbWidth);
}

// Destroying the panel at any point of a load frees every picture: the one shown last,
// the ones posted and not yet handled, and the one being read. The object goes with its
// window and leaves nothing behind.
TEST(Thumbnail, DestroyedMidLoadLeavesNoPictureBehind) {
  Recording recording;
  const struct {
    const char* when;
    std::function<bool(Stage&)> reach;
  } cases[] = {
      {"just begun", [](Stage&) { return true; }},
      {"a picture waiting in the queue", [](Stage& s) { return PictureQueued(s); }},
      {"some thumbnails added, one waiting",
       [](Stage& s) {
         if (!PumpUntil([&] { return s.panel->added() >= 2; }, kPatienceMs)) return false;
         return s.panel->loader()->RequestImage(s.panel->added()) && PictureQueued(s);
       }},
      {"complete", [](Stage& s) { return s.loadAll(); }},
  };
  const int baseline = g_livePictures.load();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.when);
    {
      Stage stage;
      stage.open(recording);
      stage.begin(6);
      ASSERT_TRUE(c.reach(stage));
      // The object is deleted while its window is being destroyed, and must not ask
      // for that destruction again.
      const HWND panel = stage.panel->handle();
      DestroyCalls calls(panel);
      DestroyWindow(panel);
      EXPECT_FALSE(IsWindow(panel));
      EXPECT_EQ(calls.count(), 1) << "the panel's window was destroyed again";
      PumpFor(100);
    }
    EXPECT_EQ(g_livePictures.load(), baseline) << "pictures leaked";
  }
}
