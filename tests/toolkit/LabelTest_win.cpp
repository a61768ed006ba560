#include "toolkit/Label_win.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "WindowSearch_win.h"
#include "ModalScript_win.h"
#include "ScreenCapture_win.h"
#include "TestParent_win.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/LinkLabel_win.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

// A label with a text of its own (the toolkit's labels get theirs from a derived class).
class TextLabel : public Label {
 public:
  TextLabel(HWND control, std::wstring text) : Label(control) { setText(std::move(text)); }
};

HFONT TestFont(int height) {
  return CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

// A static control as a dialog template would make it, in a shown parent.
struct Stage {
  Stage(int width, int height, const wchar_t* text, HFONT font) : parent(ShowTestParent(width + 20, height + 20)) {
    control = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 10, width, height,
                              parent.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (font != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  std::unique_ptr<Image> draw() const {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpPending();
    return CaptureClient(control);
  }
  ScopedWindowHandle parent;
  HWND control = nullptr;
};

const uint32_t kFace = Rgb(GetSysColor(COLOR_BTNFACE));

// The first and last rows holding anything but the button face, or {-1, -1}.
std::pair<int, int> InkRows(const Image& image) {
  std::pair<int, int> rows{-1, -1};
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      if (PixelAt(image, x, y) == kFace) continue;
      if (rows.first < 0) rows.first = y;
      rows.second = y;
      break;
    }
  }
  return rows;
}

}  // namespace

TEST(Label, CentresItsTextMeasuredInItsOwnFont) {
  struct Case {
    int fontHeight;
    int controlHeight;
  };
  // Fonts far from the system font's size: measured in the wrong font, the text sits
  // off centre by half the difference of the heights.
  for (const Case c : {Case{40, 80}, Case{32, 100}, Case{6, 60}}) {
    SCOPED_TRACE(c.fontHeight);
    ScopedGdiObject font(TestFont(c.fontHeight));
    Stage stage(300, c.controlHeight, L"", static_cast<HFONT>(font.get()));
    new TextLabel(stage.control, L"HHHH");
    const auto image = stage.draw();
    const auto [top, bottom] = InkRows(*image);
    ASSERT_GE(top, 0) << "nothing drawn";
    const int middle = (top + bottom) / 2;
    EXPECT_NEAR(middle, c.controlHeight / 2, c.fontHeight / 4 + 2) << "ink rows " << top << ".." << bottom;
  }
}

TEST(Label, DisabledTextIsDrawnInTheSystemsDisabledStyle) {
  ScopedGdiObject font(TestFont(20));
  Stage stage(200, 40, L"", static_cast<HFONT>(font.get()));
  auto* label = new TextLabel(stage.control, L"Label");
  const auto enabled = stage.draw();
  label->setEnabled(false);
  const auto disabled = stage.draw();
  label->setEnabled(true);
  const auto again = stage.draw();

  const auto black = [](uint32_t c) { return c == 0; };
  const auto ink = [](uint32_t c) { return c != kFace; };
  EXPECT_GT(CountPixels(*enabled, black), 0) << "enabled text is drawn in the label's colour";
  EXPECT_EQ(CountPixels(*disabled, black), 0) << "disabled text must not look enabled";
  EXPECT_GT(CountPixels(*disabled, ink), 0) << "disabled text is still drawn";
  EXPECT_NE(ColourHash(*enabled), ColourHash(*disabled));
  EXPECT_EQ(ColourHash(*enabled), ColourHash(*again));
}

TEST(LinkLabel, LooksAndActsLikeALinkWithOrWithoutText) {
  struct Case {
    const wchar_t* text;
    bool withFont;
  };
  const uint32_t blue = 0x0000FF;
  for (const Case c : {Case{L"support page", true}, Case{L"", true}, Case{L"no font", false}}) {
    SCOPED_TRACE(testing::Message() << "text '" << std::string(c.text, c.text + wcslen(c.text)) << "'");
    ScopedGdiObject font(TestFont(20));
    Stage stage(200, 40, c.text, c.withFont ? static_cast<HFONT>(font.get()) : nullptr);
    int clicks = 0;
    new LinkLabel(stage.control, [&] { ++clicks; });

    const auto linkFont = reinterpret_cast<HFONT>(SendMessageW(stage.control, WM_GETFONT, 0, 0));
    if (c.withFont) {
      LOGFONTW description = {};
      ASSERT_NE(GetObjectW(linkFont, sizeof description, &description), 0);
      EXPECT_TRUE(description.lfUnderline);
      EXPECT_NE(linkFont, font.get()) << "the control's font is copied, not changed";
    } else {
      EXPECT_EQ(linkFont, nullptr);
    }

    const auto image = stage.draw();
    const int bluePixels = CountPixels(*image, [&](uint32_t p) { return p == blue; });
    if (*c.text != L'\0') {
      EXPECT_GT(bluePixels, 0) << "the link is blue";
    } else {
      EXPECT_EQ(CountPixels(*image, [](uint32_t p) { return p != kFace; }), 0) << "no text, no ink";
    }

    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
    SendMessageW(stage.control, WM_SETCURSOR, reinterpret_cast<WPARAM>(stage.control),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

    PostMessageW(stage.control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(stage.control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpPending();
    EXPECT_EQ(clicks, 1);
  }
}

// A link that cannot be followed (the browser does not start) is a warning on the
// link's window, not the program's end: nothing is left for the message loop, and the
// link still works afterwards.
TEST(LinkLabel, AFailingActionShowsAWarningAndTheLinkStillWorks) {
  Stage stage(200, 40, L"link", nullptr);
  int attempts = 0;
  new LinkLabel(stage.control, [&] {
    ++attempts;
    throw WindowException(L"the browser did not start");
  });
  for (int round = 0; round < 2; ++round) {
    HWND owner = nullptr;
    std::wstring caption;
    ModalScript script({{ModalKind::MessageBox, [&](HWND box) {
                           owner = GetWindow(box, GW_OWNER);
                           caption = WindowText(box);
                           PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                         }}},
                       10000);
    // Straight from the system, as a click arrives: the label gives it a plain result.
    EXPECT_EQ(SendMessageW(stage.control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)), 0);
    script.finish();
    EXPECT_EQ(script.boxes(), std::vector<std::wstring>{L"the browser did not start"});
    EXPECT_EQ(caption, LoadText(kTextWarningCaption));
    EXPECT_EQ(owner, stage.parent.get());
    EXPECT_NO_THROW(Window::rethrowPendingFailure());
  }
  EXPECT_EQ(attempts, 2);
}

// A failure from outside the program's family is a fault, not a refused link: it still
// reaches whoever runs the message loop.
TEST(LinkLabel, AFaultInTheActionReachesTheMessageLoop) {
  Stage stage(200, 40, L"link", nullptr);
  new LinkLabel(stage.control, [] { throw std::logic_error("broken"); });
  EXPECT_EQ(SendMessageW(stage.control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)), 0);
  EXPECT_THROW(Window::rethrowPendingFailure(), std::logic_error);
  PostMessageW(stage.control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_THROW(PumpPending(), std::logic_error) << "a pump sends the failure on";
}
