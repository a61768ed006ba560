// The gallery's scenes: each widget in its normal, held, disabled and dragging states.
// Widgets are put into a state by the messages a user's mouse would send them.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "GalleryScene.h"
#include "GalleryStage_win.h"
#include "toolkit/Animation_win.h"
#include "toolkit/Image.h"
#include "toolkit/ImageButton_win.h"
#include "toolkit/ImageListView_win.h"
#include "toolkit/ImageTrackBar_win.h"
#include "toolkit/LinkLabel_win.h"
#include "toolkit/TrackToolTip_win.h"

namespace {

struct ButtonLook {
  int x, y, width, height;
  int normal, pressed, disabled;
  bool drawEdge;
};

// Every button picture set the panels use, in one row.
const ButtonLook kButtons[] = {
    {10, 12, 40, 40, 10015, 10016, 10017, false},  // play
    {58, 12, 40, 40, 10034, 10035, 10033, false},  // pause
    {106, 19, 26, 26, 10018, 10019, 10020, false}, // stop
    {142, 16, 30, 30, 10009, 10010, 10011, false}, // previous date
    {178, 16, 30, 30, 10012, 10013, 10014, false}, // next date
    {216, 20, 22, 22, 10003, 10004, 10005, false}, // previous recording
    {244, 20, 22, 22, 10006, 10007, 10008, false}, // next recording
    {276, 16, 30, 30, 442, 443, 444, false},       // first thumbnail
    {312, 16, 30, 30, 436, 437, 438, false},       // previous thumbnail
    {348, 16, 30, 30, 433, 434, 435, false},       // next thumbnail
    {384, 16, 30, 30, 439, 440, 441, false},       // last thumbnail
    {424, 18, 102, 28, 10021, 10022, 10023, true}, // open
    {536, 24, 17, 15, 290, 0, 0, false},           // standard volume
    {562, 23, 16, 16, 289, 0, 0, false},           // standard brightness
};
const int kButtonRowWidth = 590;
const int kButtonRowHeight = 64;

ImageButton* MakeButton(HWND parent, const ButtonLook& look) {
  auto* button = new ImageButton;  // deleted with its window
  button->Create(parent, look.x, look.y, look.width, look.height);
  button->drawEdge = look.drawEdge;
  button->SetImages(look.normal, look.pressed, look.disabled);
  return button;
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// The row of buttons; `held` (an index, or -1) is pressed and kept down by the mouse.
void ButtonRow(GalleryStage& stage, bool enabled, int held) {
  for (int i = 0; i < static_cast<int>(sizeof kButtons / sizeof kButtons[0]); ++i) {
    ImageButton* button = MakeButton(stage.handle(), kButtons[i]);
    button->setEnabled(enabled);
    if (i == held) SendMessageW(button->handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(3, 3));
  }
}

void AddButtonScenes(std::vector<GalleryScene>& scenes) {
  scenes.push_back({L"buttons-normal", kButtonRowWidth, kButtonRowHeight,
                    [](GalleryStage& s) { ButtonRow(s, true, -1); }});
  scenes.push_back({L"buttons-disabled", kButtonRowWidth, kButtonRowHeight,
                    [](GalleryStage& s) { ButtonRow(s, false, -1); }});
  const struct {
    const wchar_t* name;
    int index;
  } held[] = {{L"button-held-play", 0}, {L"button-held-stop", 2}, {L"button-held-date", 3},
              {L"button-held-open", 11}};
  for (const auto& h : held) {
    const int index = h.index;
    scenes.push_back({h.name, kButtonRowWidth, kButtonRowHeight,
                      [index](GalleryStage& s) { ButtonRow(s, true, index); }});
  }
}

std::wstring Brightness(int32_t value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%3.1f", value / 10.0);
  return text;
}

// The volume and brightness sliders as the configuration panel sets them up; when
// `dragTo` is not negative the brightness thumb is being dragged there, tooltip shown.
void Sliders(GalleryStage& stage, bool enabled, int dragTo) {
  auto* tip = new TrackToolTip;
  tip->Create(stage.handle());
  auto* volume = new ImageTrackBar;
  volume->Create(stage.handle(), 20, 40, 151, 16);
  volume->SetImages(291, 403, 0);
  volume->SetRange(0, 16);
  volume->SetValue(11, false);
  auto* brightness = new ImageTrackBar;
  brightness->Create(stage.handle(), 20, 80, 151, 16);
  brightness->SetImages(291, 10001, 0);
  brightness->SetRange(1, 50);
  brightness->SetValue(12, false);
  brightness->formatter = Brightness;
  brightness->tooltip = tip;
  tip->AddTrackTool(brightness->handle(), brightness->ValueText());
  volume->setEnabled(enabled);
  brightness->setEnabled(enabled);
  if (dragTo >= 0) {
    SendMessageW(brightness->handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 8));
    SendMessageW(brightness->handle(), WM_MOUSEMOVE, MK_LBUTTON, Point(dragTo, 8));
  }
}

void AddSliderScenes(std::vector<GalleryScene>& scenes) {
  scenes.push_back({L"sliders-normal", 200, 110, [](GalleryStage& s) { Sliders(s, true, -1); }});
  scenes.push_back({L"sliders-disabled", 200, 110, [](GalleryStage& s) { Sliders(s, false, -1); }});
  scenes.push_back({L"slider-dragging", 200, 110, [](GalleryStage& s) { Sliders(s, true, 95); }});
}

HWND Static(HWND parent, const wchar_t* text, int x, int y, int width, int height) {
  HWND control = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOTIFY, x, y, width, height,
                                 parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return control;
}

// The link label is the label the program shows; its base draws the same way.
void Labels(GalleryStage& stage) {
  new LinkLabel(Static(stage.handle(), L"サポート support", 10, 10, 200, 24), [] {});
  auto* disabled = new LinkLabel(Static(stage.handle(), L"無効 disabled", 10, 40, 200, 24), [] {});
  disabled->setEnabled(false);
}

// A synthetic frame: sky, road and a lane mark, tinted by `hue` so items differ.
std::unique_ptr<Image> Frame(int hue) {
  auto image = std::make_unique<Image>(160, 120);
  uint8_t* p = image->Pixels();
  for (int y = 0; y < 120; ++y) {  // rows are stored bottom-up
    for (int x = 0; x < 160; ++x, p += 4) {
      const bool road = y < 60 && x > 80 - (60 - y) * 4 / 3 && x < 80 + (60 - y) * 4 / 3;
      const bool lane = road && x > 78 && x < 82 && (y / 6) % 2 == 0;
      const uint8_t sky = static_cast<uint8_t>(90 + y);
      p[0] = lane ? 240 : road ? 70 : y >= 60 ? sky : static_cast<uint8_t>(40 + hue);
      p[1] = lane ? 240 : road ? 70 : y >= 60 ? static_cast<uint8_t>(sky - 20) : static_cast<uint8_t>(80 + hue / 2);
      p[2] = lane ? 240 : road ? 74 : y >= 60 ? static_cast<uint8_t>(60 + hue) : 50;
      p[3] = 0;
    }
  }
  return image;
}

void Thumbnails(GalleryStage& stage, int selected) {
  auto* view = new ImageListView(stage.handle());
  SetWindowPos(view->handle(), nullptr, 8, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const wchar_t* captions[] = {L"08:15:02", L"08:15:12", L"08:15:22", L"08:15:32", L"08:15:42", L"08:15:52"};
  for (int i = 0; i < 6; ++i) view->AddItem(Frame(i * 30).get(), captions[i]);
  if (selected >= 0) view->SelectItem(selected);
}

}  // namespace

std::vector<GalleryScene> GalleryScenes() {
  std::vector<GalleryScene> scenes;
  AddButtonScenes(scenes);
  AddSliderScenes(scenes);
  scenes.push_back({L"link-labels", 220, 74, Labels});
  scenes.push_back({L"waiting-picture", 300, 93,
                    [](GalleryStage& s) {
                      auto* animation = new Animation(s.handle(), 10, 10);
                      SetTimer(animation->handle(), Animation::kTimerId, Animation::kTickMs, nullptr);
                    }});
  scenes.push_back({L"thumbnails", 522, 106, [](GalleryStage& s) { Thumbnails(s, -1); }});
  scenes.push_back({L"thumbnails-selected", 522, 106, [](GalleryStage& s) { Thumbnails(s, 1); }});
  AddThumbnailScenes(scenes);
  AddPlayerScenes(scenes);
  return scenes;
}
