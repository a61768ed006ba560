// The console panel (playback controls) and the volume and brightness panel in a window
// on the display, beside the real video player with simulator recordings and the
// scripted sound, whose clock the tests move. Clicks and drags are the messages a user's
// mouse sends to the real child windows; the player's state, frame, sound and gamma are
// checked afterwards, and the switch marks on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "PanelTestOwner_win.h"
#include "PlaybackTestSupport.h"
#include "RecorderSimulator.h"
#include "ScreenCapture_win.h"
#include "ScriptedSound_win.h"
#include "TempDir.h"
#include "WidgetTestSupport_win.h"
#include "foundation/CommandIds.h"
#include "foundation/LocalTime.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/ConfigPanel_win.h"
#include "playback/ConsolePanel_win.h"
#include "toolkit/TrackToolTip_win.h"
#include "toolkit/ImageTrackBar_win.h"
#include "toolkit/ImageButton_win.h"
#include "playback/PlayButton_win.h"
#include "playback/PlayTrackBar_win.h"
#include "playback/VideoPlayer_win.h"
#include "recording/IVideoInfo.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

constexpr DWORD kPatienceMs = 30000;
constexpr int kConsoleWidth = 800;
constexpr uint32_t kMagenta = 0xFF00FF;

// A click as the system delivers it: only to an enabled window, down and up inside it.
bool Click(Window& button) {
  if (!button.isEnabled()) return false;
  RECT r;
  GetClientRect(button.handle(), &r);
  MouseDown(button.handle(), r.right / 2, r.bottom / 2);
  MouseUp(button.handle(), r.right / 2, r.bottom / 2);
  return true;
}

// Presses the thumb, moves the pointer to client x in a few steps with time for the
// bar's 100 ms tick between them, and calls `midway` before releasing there.
void Drag(ImageTrackBar& bar, int toX, const std::function<void()>& midway = [] {}) {
  const int fromX = bar.PixelFromValue(bar.Value()) + 2;
  MouseDown(bar.handle(), fromX, 8);
  for (int step = 1; step <= 3; ++step) {
    MouseMove(bar.handle(), fromX + (toX - fromX) * step / 3, 8);
    PumpFor(120);
  }
  midway();
  MouseUp(bar.handle(), toX, 8);
}

// The columns at which `shot` shows the whole of `mark` with its top at row `top`.
std::set<int> MarksIn(const Image& shot, const Image& mark, int top) {
  const int rows = std::min(mark.Height(), shot.Height() - top);
  std::set<int> columns;
  for (int x = 0; x + mark.Width() <= shot.Width(); ++x) {
    if (Block(shot, x, x + mark.Width(), top, top + rows) ==
        Block(mark, 0, mark.Width(), 0, rows)) {
      columns.insert(x);
    }
  }
  return columns;
}

// Which of play, stop, previous, next, previous date and next date are enabled: "1" or
// "0" each, in that order.
std::string EnabledStates(const ConsolePanel& c) {
  std::string states;
  const std::array<const Window*, 6> buttons = {&c.playButton(),     &c.stopButton(),
                                                &c.previousButton(), &c.nextButton(),
                                                &c.previousDateButton(), &c.nextDateButton()};
  for (const Window* b : buttons) {
    states += b->isEnabled() ? '1' : '0';
  }
  return states;
}

class ControlPanelsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir();
    // Three recordings on two dates, for the list buttons.
    std::filesystem::create_directories(*dir_ / "list");
    WriteDatedRecordings(*dir_ / "list",
                         {{"0001_001.DAT", {2013, 4, 5, 9, 0, 0}},
                          {"0001_002.DAT", {2013, 4, 5, 10, 0, 0}},
                          {"0002_001.DAT", {2013, 4, 6, 9, 0, 0}}},
                         20);
    // One with sound and the switch pressed at the first picture and at picture 40.
    recsim::RecordingDescription d;
    d.start = LocalDateTime{2013, 4, 5, 9, 8, 7};
    d.durationMs = 3000;
    d.mode = recsim::PictureMode::Fast;
    d.fastVariants = 2;
    d.width = 160;
    d.height = 120;
    d.eventSpanMs = 1;
    const std::wstring path = (*dir_ / "0001_001.DAT").wstring();
    const recsim::RecordingManifest plain = recsim::WriteRecording(d, path);
    d.switchPressesMs = {0, plain.pictures.at(40).elapsedMs};
    recsim::WriteRecording(d, path);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    owner_ = new TestOwner();
    player_ = new VideoPlayer(*owner_, ScriptedSound::MakerInto(sound_));
    MoveWindow(player_->handle(), 21, 0, 160, 120, TRUE);
    makeConfig();
    owner_->console = new ConsolePanel(*owner_, *player_);
    owner_->player = player_;
    MoveWindow(owner_->console->handle(), 0, 240, kConsoleWidth, 65, TRUE);
    settle();
  }
  void TearDown() override { DestroyWindow(owner_->handle()); }

  void makeConfig() {
    owner_->config = new ConfigPanel(*owner_, *player_);
    MoveWindow(owner_->config->handle(), 691, 0, 209, 220, TRUE);
  }
  void settle() {
    PumpFor(30);
    owner_->refreshPlayback();
  }
  ConsolePanel& console() { return *owner_->console; }
  ConfigPanel& config() { return *owner_->config; }

  void openRecording() {
    player_->setSingleFile((*dir_ / "0001_001.DAT").wstring());
    ASSERT_TRUE(player_->openRecordingAt(0));
    ASSERT_TRUE(PumpUntil([&] { return player_->picture() != nullptr; }, kPatienceMs));
    settle();
  }
  void openListAt(int index) {
    int count = 0;
    const std::wstring any = (*dir_ / "list" / "0001_001.DAT").wstring();
    ASSERT_EQ(player_->setListFromFolder(any, count), 0);
    ASSERT_EQ(count, 3);
    ASSERT_TRUE(player_->openRecordingAt(index));
    ASSERT_TRUE(PumpUntil([&] { return player_->picture() != nullptr; }, kPatienceMs));
    settle();
  }
  void waitForSound(SoundState state) {
    EXPECT_TRUE(PumpUntil([&] { return player_->sound().getState() == state; }, kPatienceMs))
        << "sound state " << int(player_->sound().getState());
  }

  static TempDir* dir_;
  TestOwner* owner_ = nullptr;
  VideoPlayer* player_ = nullptr;
  ScriptedSound* sound_ = nullptr;  // the player's
};

TempDir* ControlPanelsTest::dir_ = nullptr;

// ---- the console panel ----

TEST_F(ControlPanelsTest, ButtonsFollowThePlayerAndTheList) {
  const auto noRecording = [] {};
  const auto single = [&] { openRecording(); };
  const auto laterFrame = [&] {
    openRecording();
    player_->seek(10);
  };
  const auto playing = [&] {
    openRecording();
    player_->playFrom(10);
  };
  const auto closedWhilePlaying = [&] {
    playing();
    settle();
    player_->closeRecording();
  };
  // Recorded in file order, the clock put back a day in between: another date follows,
  // but no later one, so the next-date jump would find nothing.
  const auto clockWentBack = [&] {
    openRecording();
    const int64_t day = 24 * 3600;
    const int64_t t = CalendarTimeOrZero({2013, 4, 6, 9, 0, 0});
    player_->list().setEntries({{L"a.DAT", t}, {L"b.DAT", t - day}});
    player_->list().setCurrentIndex(0);
  };
  const struct {
    const char* name;
    std::function<void()> setUp;
    const char* enabled;  // as EnabledStates gives them
    bool pauseLook;
    int32_t maximum;  // the slider's range is 0 .. maximum
  } cases[] = {
      {"no recording", noRecording, "000000", false, 0},
      {"a single file at frame 0", single, "100000", false, -1},
      {"a later frame", laterFrame, "110000", false, -1},
      {"playing", playing, "110000", true, -1},
      {"first of the list", [&] { openListAt(0); }, "100101", false, -1},
      {"same date before", [&] { openListAt(1); }, "101101", false, -1},
      {"last of the list", [&] { openListAt(2); }, "101010", false, -1},
      {"clock went back", clockWentBack, "100100", false, -1},
      {"closed while playing", closedWhilePlaying, "000000", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.setUp();
    settle();
    EXPECT_EQ(EnabledStates(console()), c.enabled);
    EXPECT_EQ(console().playButton().playing(), c.pauseLook);
    const int32_t maximum = c.maximum < 0 ? player_->frameCount() - 1 : c.maximum;
    EXPECT_EQ(console().slider().Minimum(), 0);
    EXPECT_EQ(console().slider().Maximum(), maximum);
    EXPECT_EQ(console().slider().Value(), std::min(player_->currentFrame(), maximum));
    player_->closeRecording();
  }
}

TEST_F(ControlPanelsTest, PlayButtonPausesAndResumesOnTheSameFrame) {
  openRecording();
  PlayButton& play = console().playButton();
  ASSERT_TRUE(Click(play));
  EXPECT_EQ(player_->state(), PlayerState::Playing);
  EXPECT_TRUE(play.playing());
  waitForSound(SoundState::Playing);
  sound_->advanceTo(500);  // frame 14
  ASSERT_TRUE(PumpUntil([&] { return player_->currentFrame() > 10; }, kPatienceMs));

  ASSERT_TRUE(Click(play));
  EXPECT_EQ(player_->state(), PlayerState::Stopped);
  EXPECT_FALSE(play.playing());
  EXPECT_NE(player_->sound().getState(), SoundState::Playing);
  EXPECT_EQ(sound_->log.back(), "stop");
  const int32_t held = player_->currentFrame();
  PumpFor(300);
  EXPECT_EQ(player_->currentFrame(), held) << "a stopped player moved on";

  // Playing starts from the held frame; the player's tick scheduling then counts on to
  // the frames its next ticks ask for.
  ASSERT_TRUE(Click(play));
  EXPECT_EQ(player_->state(), PlayerState::Playing);
  EXPECT_GE(player_->currentFrame(), held);
  EXPECT_LE(player_->currentFrame(), held + 2);
  const double period = player_->framePeriod();
  EXPECT_NEAR(player_->sound().getPosition(), held * period, period);
  EXPECT_TRUE(play.playing());
  waitForSound(SoundState::Playing);
}

TEST_F(ControlPanelsTest, StopButtonPausesOnTheFirstFrame) {
  openRecording();
  EXPECT_FALSE(Click(console().stopButton())) << "enabled at frame 0";
  for (bool playing : {false, true}) {
    SCOPED_TRACE(playing);
    player_->seek(30);
    if (playing) player_->playFrom(30);
    settle();
    ASSERT_TRUE(Click(console().stopButton()));
    EXPECT_EQ(player_->currentFrame(), 0);
    EXPECT_EQ(player_->state(), PlayerState::Paused);
    settle();
    EXPECT_FALSE(console().stopButton().isEnabled());
    EXPECT_FALSE(console().playButton().playing());
  }
}

// Each button's click is its command, given to the owner; the ids are the buttons'
// control ids, so the panel is found by them as the main window's children are.
TEST_F(ControlPanelsTest, EachButtonGivesItsCommand) {
  openListAt(1);
  player_->seek(5);
  settle();
  owner_->player = nullptr;  // commands kept, not carried out
  const struct {
    ImageButton& button;
    int id;
    const char* command;
  } cases[] = {
      {console().playButton(), IDM_PLAY_PAUSE, "play/pause"},
      {console().stopButton(), IDM_STOP, "stop"},
      {console().nextButton(), IDM_NEXT_RECORDING, "next recording"},
      {console().previousButton(), IDM_PREVIOUS_RECORDING, "previous recording"},
      {console().nextDateButton(), IDM_NEXT_DATE, "next date"},
      {console().previousDateButton(), IDM_PREVIOUS_DATE, "previous date"},
      {config().openButton(), IDM_OPEN, "open"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const HWND panel = GetParent(c.button.handle());
    EXPECT_EQ(GetDlgItem(panel, c.id), c.button.handle());
    owner_->commands.clear();
    c.button.setEnabled(true);
    ASSERT_TRUE(Click(c.button));
    EXPECT_EQ(owner_->commands, StandInOwner::Log{c.command});
  }
}

TEST_F(ControlPanelsTest, DraggingTheSliderSeeksAndPlaysOnOnlyIfItPlayed) {
  openRecording();
  const int32_t n = player_->frameCount();
  PlayTrackBar& slider = console().slider();
  const struct {
    bool playing;
    int toX;
    PlayerState after;
  } cases[] = {
      {false, 200, PlayerState::Paused},
      {true, 100, PlayerState::Playing},
      {true, 10000, PlayerState::Playing},  // beyond the end: the last frame
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.toX);
    player_->seek(5);
    if (c.playing) player_->playFrom(5);
    Drag(slider, c.toX, [&] {
      EXPECT_EQ(player_->state(), PlayerState::Paused) << "playing on while dragged";
      EXPECT_EQ(player_->currentFrame(), slider.Value());
    });
    const int32_t target = std::min(n - 1, c.toX * (n - 1) / (slider.PixelFromValue(n - 1)));
    EXPECT_NEAR(slider.Value(), target, 1);
    EXPECT_EQ(player_->state(), c.after);
    if (c.after == PlayerState::Playing) {
      EXPECT_GE(player_->currentFrame(), slider.Value());
    } else {
      EXPECT_EQ(player_->currentFrame(), slider.Value());
    }
    player_->pause();
  }
}

TEST_F(ControlPanelsTest, SliderWidthFollowsThePanelAndIgnoresMinimising) {
  const HWND panel = console().handle();
  const HWND slider = console().slider().handle();
  const auto sliderWidth = [&] {
    RECT r;
    GetWindowRect(slider, &r);
    return int(r.right - r.left);
  };
  const struct {
    const char* name;
    std::function<void()> resize;
    int width;
  } cases[] = {
      {"800 wide", [&] { MoveWindow(panel, 0, 240, 800, 65, TRUE); }, 456},
      {"minimised", [&] { SendMessageW(panel, WM_SIZE, SIZE_MINIMIZED, 0); }, 456},
      {"narrower than the margin", [&] { MoveWindow(panel, 0, 240, 300, 65, TRUE); }, 0},
      {"the margin exactly", [&] { MoveWindow(panel, 0, 240, 344, 65, TRUE); }, 0},
      {"900 wide", [&] { MoveWindow(panel, 0, 240, 900, 65, TRUE); }, 556},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.resize();
    EXPECT_EQ(sliderWidth(), c.width);
  }
}

TEST_F(ControlPanelsTest, SwitchMarksStandAtTheirFramesAndGoWithTheRecording) {
  openRecording();
  const int32_t n = player_->frameCount();
  std::vector<int32_t> events;
  player_->info()->CopyEventSlots(events);
  ASSERT_EQ(events.size(), 2u);
  ASSERT_EQ(events[0], 0);
  player_->seek(n - 1);  // the thumb out of the marks' way
  settle();
  const PlayTrackBar& slider = console().slider();
  const AlphaImage mark(10030);
  // The mark's centre two pixels right of the thumb's centre (thumb 24, mark 18 wide).
  const std::set<int> expected = {5, slider.PixelFromValue(events[1]) + 5};
  EXPECT_EQ(MarksIn(*CapturePainted(slider.handle()), *mark.Picture(), 11), expected);

  player_->closeRecording();
  settle();
  EXPECT_TRUE(console().slider().events().empty());
  EXPECT_TRUE(MarksIn(*CapturePainted(slider.handle()), *mark.Picture(), 11).empty());
}

TEST_F(ControlPanelsTest, MarksOfEarlyFramesOnTheFirstPixelAreLeftOut) {
  PlayTrackBar* bar = new PlayTrackBar();
  bar->Create(owner_->handle(), 0, 200, 456, 30);
  bar->SetImages(10031, 10027, 295);
  bar->segmented = true;
  const AlphaImage mark(10030);
  const struct {
    int32_t maximum;
    std::vector<int32_t> events;
    std::vector<int> columns;
  } cases[] = {
      {9999, {0, 5, -3, 7000}, {5, 7000 * 432 / 9999 + 5}},
      {432, {1, 432}, {6, 437}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.maximum);
    bar->SetRange(0, c.maximum);
    bar->SetValue(c.maximum / 2, false);  // the thumb between the marks
    bar->setEvents(c.events);
    EXPECT_EQ(bar->markColumns(), c.columns);
    const std::set<int> drawn = MarksIn(*CapturePainted(bar->handle()), *mark.Picture(), 11);
    for (int x : c.columns) EXPECT_TRUE(drawn.count(x)) << "no mark at " << x;
  }
}

TEST_F(ControlPanelsTest, BackgroundShowsWhetherThePanelIsEnabled) {
  const AlphaImage right(222);
  const AlphaImage disabledRight(425);
  const struct {
    bool enabled;
    const AlphaImage& piece;
  } cases[] = {{false, disabledRight}, {true, right}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.enabled);
    console().setEnabled(c.enabled);
    const std::unique_ptr<Image> shot = CapturePainted(console().handle());
    const int w = c.piece.Width();
    EXPECT_EQ(Block(*shot, kConsoleWidth - 74, kConsoleWidth, 2, 8),
              Block(*c.piece.Picture(), w - 74, w, 2, 8));
  }
}

TEST_F(ControlPanelsTest, ButtonTipsNameTheStepsUntilARecordingOpens) {
  const HWND tip = console().tooltip().handle();
  const struct {
    const Window& button;
    TextId before;
    TextId after;
  } cases[] = {
      {console().playButton(), kTextTipPlayPause, kTextTipPlayPause},
      {console().stopButton(), kTextTipStop, kTextTipStop},
      {console().nextButton(), kTextTipStepForward, kTextTipNext},
      {console().previousButton(), kTextTipStepBack, kTextTipPrevious},
      {console().previousDateButton(), kTextTipPreviousDate, kTextTipPreviousDate},
      {console().nextDateButton(), kTextTipNextDate, kTextTipNextDate},
  };
  for (const auto& c : cases) EXPECT_EQ(ToolText(tip, c.button.handle()), LoadText(c.before));
  console().useRecordingTips();
  for (const auto& c : cases) EXPECT_EQ(ToolText(tip, c.button.handle()), LoadText(c.after));
}

TEST_F(ControlPanelsTest, HidingTheControlsHidesTheStepsAndTheSlider) {
  const std::array<const Window*, 3> hidden = {&console().previousButton(), &console().nextButton(),
                                               &console().slider()};
  for (bool shown : {false, true}) {
    SCOPED_TRACE(shown);
    console().setControlsShown(shown);
    for (const Window* w : hidden) EXPECT_EQ(IsWindowVisible(w->handle()) != FALSE, shown);
    EXPECT_TRUE(IsWindowVisible(console().playButton().handle()));
  }
}

// ---- the volume and brightness panel ----

TEST_F(ControlPanelsTest, BuildingTheConfigurationPanelAsksNothingOfThePlayer) {
  DestroyWindow(config().handle());
  player_->gamma().SetGamma(2.0);
  player_->sound().setVolume(5);
  makeConfig();
  settle();
  EXPECT_EQ(config().volumeSlider().Value(), 16);
  EXPECT_EQ(config().volumeSlider().PixelFromValue(16), 151 - 10) << "thumb not at the right end";
  EXPECT_EQ(config().brightnessSlider().Value(), 12);
  EXPECT_DOUBLE_EQ(player_->gamma().Gamma(), 2.0);
  EXPECT_EQ(player_->sound().getVolume(), 5);
  EXPECT_EQ(ToolText(config().tooltip().handle(), config().brightnessSlider().handle()), L"1.2");
}

TEST_F(ControlPanelsTest, SlidersSetTheVolumeAndTheGamma) {
  openRecording();
  const auto playerShot = [&] { return Block(*CapturePainted(player_->handle()), 0, 160, 0, 120); };
  const std::vector<uint32_t> atStart = playerShot();
  ImageTrackBar& volume = config().volumeSlider();
  ImageTrackBar& brightness = config().brightnessSlider();
  const struct {
    ImageTrackBar& bar;
    int toX;
    int32_t value;
    std::wstring tip;
  } cases[] = {
      {brightness, -50, 1, L"0.1"}, {brightness, 40, 14, L"1.4"}, {brightness, 400, 50, L"5.0"},
      {volume, -50, 0, L"0"},        {volume, 70, 7, L"7"},         {volume, 400, 16, L"16"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.value));
    std::wstring tipMidway;
    Drag(c.bar, c.toX, [&] { tipMidway = ToolText(config().tooltip().handle(), c.bar.handle()); });
    EXPECT_EQ(c.bar.Value(), c.value);
    EXPECT_EQ(tipMidway, c.tip);
    if (&c.bar == &brightness) {
      EXPECT_DOUBLE_EQ(player_->gamma().Gamma(), c.value / 10.0);
    } else {
      EXPECT_EQ(player_->sound().getVolume(), c.value);
    }
  }
  EXPECT_NE(playerShot(), atStart) << "the picture was not drawn with the new brightness";
}

TEST_F(ControlPanelsTest, ResetButtonsAndTheOpenButton) {
  ConfigPanel& panel = config();
  panel.volumeSlider().SetValue(3, false);
  player_->gamma().SetGamma(3.0);  // by other means: the slider still shows 12
  const struct {
    const char* name;
    ImageButton& button;
    int32_t volume;
    double gamma;
    std::vector<std::string> commands;
  } cases[] = {
      {"brightness already standard: nothing", panel.brightnessResetButton(), 5, 3.0, {}},
      {"volume back to 16", panel.volumeResetButton(), 16, 3.0, {}},
      {"open", panel.openButton(), 16, 3.0, {"open"}},
  };
  player_->sound().setVolume(5);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    owner_->commands.clear();
    ASSERT_TRUE(Click(c.button));
    EXPECT_EQ(player_->sound().getVolume(), c.volume);
    EXPECT_DOUBLE_EQ(player_->gamma().Gamma(), c.gamma);
    EXPECT_EQ(owner_->commands, c.commands);
  }
  panel.brightnessSlider().SetValue(30, false);
  ASSERT_TRUE(Click(panel.brightnessResetButton()));
  EXPECT_EQ(panel.brightnessSlider().Value(), 12);
  EXPECT_DOUBLE_EQ(player_->gamma().Gamma(), 1.2);
}

// A control that is repainted loses the colour painted over it.
TEST_F(ControlPanelsTest, EnablingRepaintsOnlyControlsThatChange) {
  ConfigPanel& panel = config();
  const std::array<Window*, 5> all = {&panel.volumeResetButton(), &panel.volumeSlider(),
                                      &panel.brightnessResetButton(), &panel.brightnessSlider(),
                                      &panel.openButton()};
  const struct {
    const char* name;
    std::function<void()> call;
    std::array<bool, 5> enabled;
    std::array<bool, 5> repainted;
  } cases[] = {
      {"disable all", [&] { panel.SetAllEnabled(false); }, {}, {true, true, true, true, true}},
      {"disable all again", [&] { panel.SetAllEnabled(false); }, {}, {}},
      {"enable the volume", [&] { panel.SetVolumeEnabled(true); }, {true, true}, {true, true}},
      {"enable all", [&] { panel.SetAllEnabled(true); }, {true, true, true, true, true},
       {false, false, true, true, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (Window* control : all) {
      UpdateWindow(control->handle());
      ScopedWindowDc dc(control->handle());
      const RECT corner = {0, 0, 3, 3};
      ScopedGdiObject brush(CreateSolidBrush(RGB(255, 0, 255)));
      FillRect(dc.get(), &corner, static_cast<HBRUSH>(brush.get()));
    }
    c.call();
    for (size_t i = 0; i < all.size(); ++i) {
      EXPECT_EQ(all[i]->isEnabled(), c.enabled[i]) << i;
      const bool painted = PixelAt(*CapturePainted(all[i]->handle()), 1, 1) != kMagenta;
      EXPECT_EQ(painted, c.repainted[i]) << i;
    }
  }
}

}  // namespace
