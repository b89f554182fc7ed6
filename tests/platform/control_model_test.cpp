// The control model's semantics, headless: change handlers, up-down arrows, enabling, keys,
// mouse, pointer shapes, grids, pictures and what a backend is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/image_view.h"
#include "platform/ui/text_grid.h"
#include "platform/ui/timer.h"

namespace roarmark::platform::ui {
namespace {

// A form on a platform with no user-interface backend at all.
class ModelTest : public ::testing::Test {
 protected:
  ModelTest() {
    form.SetBounds(100, 50, 400, 300);
    panel.SetBounds(10, 10, 200, 200);
    edit.SetBounds(5, 5, 80, 20);
    outside.SetBounds(250, 10, 80, 20);
  }
  TPlatform Headless() {
    TPlatform p = sim.Platform();
    p.Ui = nullptr;
    return p;
  }

  sim::SimPlatform sim;
  TApplication app{Headless()};
  TForm form{app, "TForm2"};
  TPanel panel{&form, "Panel2"};
  TEdit edit{&panel, "Edit1"};
  TCheckBox check{&panel, "CheckBox1"};
  TEdit outside{&form, "Edit10"};
  std::vector<std::string> log;
};

TEST_F(ModelTest, ControlsAreFoundByNameWithTheirKind) {
  EXPECT_EQ(form.FindControl("Edit1"), &edit);
  EXPECT_EQ(form.Find<TCheckBox>("CheckBox1"), &check);
  EXPECT_EQ(form.Find<TCheckBox>("Edit1"), nullptr);
  EXPECT_EQ(form.FindControl("Nope"), nullptr);
  EXPECT_EQ(edit.Parent(), &panel);
  EXPECT_EQ(edit.Form(), &form);
  EXPECT_STREQ(panel.KindName(), "TPanel");
  {
    TButton temporary{&form, "Temp"};
    EXPECT_EQ(form.FindControl("Temp"), &temporary);
  }
  EXPECT_EQ(form.FindControl("Temp"), nullptr) << "a destroyed control leaves the form";
  EXPECT_EQ(panel.Controls().size(), 2u);
}

TEST_F(ModelTest, SettingTextOrCheckRunsTheHandlerOnlyWhenTheValueChanges) {
  int changes = 0;
  int clicks = 0;
  edit.OnChange = [&] { ++changes; };
  check.OnClick = [&] { ++clicks; };
  edit.SetText("5");
  edit.SetText("5");
  edit.SetText("");
  check.SetChecked(true);
  check.SetChecked(true);
  check.SetChecked(false);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ModelTest, DropDownSelectionBySettingRunsNothingButTheUserSelectionDoes) {
  form.Show();
  TComboBox combo{&form, "cbStyle"};
  combo.SetItems({"Background only", " Vertical Bars", " Horizontal Bars", "Analogue Meter"});
  int changes = 0;
  combo.OnChange = [&] { ++changes; };
  combo.SetItemIndex(2);
  EXPECT_EQ(combo.ItemIndex(), 2);
  EXPECT_EQ(combo.Text(), " Horizontal Bars");
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(combo.UserSelect(1));
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(combo.UserSelect(4));
  combo.SetItemIndex(7);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  combo.Clear();
  EXPECT_EQ(combo.ItemCount(), 0);
}

struct UpDownCase {
  int min, max, set;
  int position;
  const char* text;
};

TEST_F(ModelTest, UpDownClampsAndWritesAPlainIntegerIntoItsEdit) {
  const UpDownCase cases[] = {
      {0, 2000, 150, 150, "150"}, {0, 2000, 2500, 2000, "2000"},   {0, 2000, -5, 0, "0"},
      {10, 2000, 3, 10, "10"},    {-200, 200, -150, -150, "-150"}, {0, 2000, 1500, 1500, "1500"},
  };
  TUpDown updown{&panel, "UpDown3"};
  updown.SetAssociate(&edit);
  int changes = 0;
  edit.OnChange = [&] { ++changes; };
  for (const UpDownCase& c : cases) {
    updown.SetRange(c.min, c.max);
    updown.SetPosition(c.set);
    EXPECT_EQ(updown.Position(), c.position) << c.set;
    EXPECT_EQ(edit.Text(), c.text) << c.set;
  }
  EXPECT_EQ(changes, 6);
  updown.SetPosition(1500);
  EXPECT_EQ(changes, 6) << "the same text again runs no change handler";
}

TEST_F(ModelTest, ArrowClicksMoveByTheCurrentStepFromWhatTheEditHolds) {
  form.Show();
  TUpDown updown{&panel, "UpDown6"};
  updown.SetRange(10, 2000);
  updown.SetAssociate(&edit);
  updown.SetPosition(600);
  updown.SetIncrement(50);
  std::vector<std::string> seen;
  edit.OnChange = [&] { seen.push_back(edit.Text()); };
  int arrow_clicks = 0;
  updown.OnClick = [&](TUDBtnType) { ++arrow_clicks; };

  EXPECT_TRUE(updown.UserArrow(true));
  EXPECT_EQ(edit.Text(), "650");
  edit.UserType("1990");
  updown.SetIncrement(10);
  updown.UserArrow(true);
  EXPECT_EQ(edit.Text(), "2000") << "moved from the typed number";
  updown.UserArrow(true);
  EXPECT_EQ(updown.Position(), 2000) << "the top of the range holds";
  updown.UserArrow(false);
  EXPECT_EQ(edit.Text(), "1990");
  EXPECT_EQ(seen, (std::vector<std::string>{"650", "1990", "2000", "1990"}));
  EXPECT_EQ(arrow_clicks, 4);
}

TEST_F(ModelTest, TrackBarRunsOnChangeWhenItsClampedPositionChanges) {
  form.Show();
  TTrackBar bar{&form, "TrackBar1"};
  bar.SetRange(-100, 100);
  std::vector<int> seen;
  bar.OnChange = [&] { seen.push_back(bar.Position()); };
  bar.SetPosition(40);
  bar.SetPosition(40);
  bar.SetPosition(500);
  bar.UserSlide(-30);
  EXPECT_EQ(seen, (std::vector<int>{40, 100, -30}));
}

TEST_F(ModelTest, DisabledPanelsAndHiddenControlsTakeNoInput) {
  form.Show();
  int changes = 0;
  edit.OnChange = [&] { ++changes; };
  panel.SetEnabled(false);
  EXPECT_TRUE(edit.Enabled()) << "the control's own flag is untouched";
  EXPECT_FALSE(edit.EffectivelyEnabled());
  EXPECT_FALSE(edit.UserType("7"));
  EXPECT_FALSE(check.UserClick());
  EXPECT_FALSE(edit.SetFocus());
  EXPECT_TRUE(outside.UserType("x")) << "a control outside the panel still works";

  panel.SetEnabled(true);
  EXPECT_TRUE(edit.UserType("7"));
  EXPECT_EQ(changes, 1);

  edit.Hide();
  EXPECT_FALSE(edit.UserType("8"));
  edit.Show();
  panel.Hide();
  EXPECT_FALSE(edit.Showing());
  EXPECT_FALSE(edit.UserType("8"));
  EXPECT_EQ(edit.Text(), "7");
}

TEST_F(ModelTest, ReadOnlyAndDigitsOnlyFieldsRefuseWhatCannotBeTyped) {
  form.Show();
  edit.SetNumbersOnly(true);
  EXPECT_TRUE(edit.UserType("-12a3"));
  EXPECT_EQ(edit.Text(), "123") << "the minus sign cannot be typed";
  edit.SetText("-50");
  EXPECT_EQ(edit.Text(), "-50") << "the program may still set it";
  edit.SetReadOnly(true);
  EXPECT_FALSE(edit.UserType("9"));
  EXPECT_EQ(edit.Text(), "-50");
}

TEST_F(ModelTest, NothingTakesInputWhileTheFormIsHidden) {
  EXPECT_FALSE(outside.UserType("x"));
  EXPECT_FALSE(form.UserKey(VK_SPACE));
}

// ---- Keys

struct KeyRoute {
  const char* name;
  bool preview;
  bool focus_edit;
  bool form_consumes;
  std::vector<std::string> expected;
};

TEST_F(ModelTest, KeysReachThePreviewingFormFirstThenTheFocusedControl) {
  const KeyRoute routes[] = {
      {"preview, edit focused", true, true, false, {"form up", "edit up"}},
      {"preview consumes", true, true, true, {"form up"}},
      {"no preview, edit focused", false, true, false, {"edit up"}},
      {"no control focused: the form", false, false, false, {"form up"}},
      {"preview, nothing focused: once", true, false, false, {"form up"}},
  };
  form.Show();
  for (const KeyRoute& r : routes) {
    SCOPED_TRACE(r.name);
    log.clear();
    form.SetKeyPreview(r.preview);
    form.SetActiveControl(r.focus_edit ? &edit : nullptr);
    form.OnKeyUp = [&](int& key, TShiftState) {
      log.push_back("form up");
      if (r.form_consumes) key = 0;
    };
    edit.OnKeyUp = [&](int&, TShiftState) { log.push_back("edit up"); };
    form.UserKeyDown(VK_ESCAPE);
    form.UserKeyUp(VK_ESCAPE);
    EXPECT_EQ(log, r.expected);
  }
}

TEST_F(ModelTest, ModifiersComeFromTheKeysHeldAtTheTime) {
  form.Show();
  form.SetActiveControl(nullptr);
  std::vector<std::pair<int, TShiftState>> ups;
  form.OnKeyUp = [&](int& key, TShiftState shift) { ups.emplace_back(key, shift); };

  form.UserKey(VkLetter('R'), ssCtrl | ssShift);
  // Ctrl, Shift, R pressed; R, Shift, Ctrl released.
  const std::vector<std::pair<int, TShiftState>> combo = {
      {VkLetter('R'), ssCtrl | ssShift}, {VK_SHIFT, ssCtrl}, {VK_CONTROL, ssNone}};
  EXPECT_EQ(ups, combo);

  ups.clear();
  form.UserKeyDown(VK_CONTROL);
  form.UserKeyDown(VkLetter('R'));
  form.UserKeyUp(VK_CONTROL);
  form.UserKeyUp(VkLetter('R'));
  EXPECT_EQ(ups.back(), std::make_pair(VkLetter('R'), ssNone)) << "Ctrl released first";
  EXPECT_FALSE(app.IsKeyDown(VK_CONTROL));
}

TEST_F(ModelTest, AReleaseCountsOnlyWhenTheFormSawItsPress) {
  form.Show();
  form.SetActiveControl(nullptr);
  int ups = 0;
  form.OnKeyUp = [&](int&, TShiftState) { ++ups; };
  // Escape went down in a message box that closed on it; only the release reaches the form.
  app.SetKeyDown(VK_ESCAPE, true);
  EXPECT_FALSE(form.UserKeyUp(VK_ESCAPE));
  EXPECT_EQ(ups, 0);
  EXPECT_FALSE(app.IsKeyDown(VK_ESCAPE));
  // Held and repeated, then released: one release.
  form.UserKeyDown(VK_ESCAPE);
  form.UserKeyDown(VK_ESCAPE);
  form.UserKeyUp(VK_ESCAPE);
  form.UserKeyUp(VK_ESCAPE);
  EXPECT_EQ(ups, 1);
}

TEST_F(ModelTest, ReturnAndEscapeClickTheDefaultAndCancelButtonsUnlessConsumed) {
  form.Show();
  TButton ok{&form, "Button1"};
  TButton cancel{&form, "Button2"};
  ok.SetDefault(true);
  cancel.SetCancel(true);
  ok.OnClick = [&] { log.push_back("ok"); };
  cancel.OnClick = [&] { log.push_back("cancel"); };
  form.SetActiveControl(nullptr);
  form.UserKey(VK_RETURN);
  form.UserKey(VK_ESCAPE);
  form.SetKeyPreview(true);
  form.OnKeyDown = [](int& key, TShiftState) { key = 0; };
  form.UserKey(VK_RETURN);
  EXPECT_EQ(log, (std::vector<std::string>{"ok", "cancel"}));
}

// ---- Mouse

TEST_F(ModelTest, ACheckBoxClickTogglesBeforeTheReleaseHandlerRuns) {
  form.Show();
  check.OnMouseDown = [&](TMouseButton, TShiftState, int, int) {
    log.push_back("down " + std::to_string(check.Checked()));
  };
  check.OnClick = [&] { log.push_back("click " + std::to_string(check.Checked())); };
  check.OnMouseUp = [&](TMouseButton, TShiftState, int, int) {
    log.push_back("up " + std::to_string(check.Checked()));
  };
  EXPECT_TRUE(check.UserClick());
  EXPECT_EQ(log, (std::vector<std::string>{"down 0", "click 1", "up 1"}));
  EXPECT_TRUE(check.Focused());
}

TEST_F(ModelTest, DoubleClickSequenceAndMouseCoordinates) {
  form.Show();
  TImageView image{&form, "Image1"};
  image.SetBounds(0, 0, 400, 269);
  image.OnMouseDown = [&](TMouseButton b, TShiftState s, int x, int y) {
    log.push_back("down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(s) + " " +
                  std::to_string(x) + "," + std::to_string(y));
  };
  image.OnMouseUp = [&](TMouseButton, TShiftState, int, int) { log.push_back("up"); };
  image.OnClick = [&] { log.push_back("click"); };
  image.OnDblClick = [&] { log.push_back("dblclick"); };
  image.UserDblClick(7, 9);
  const std::vector<std::string> expected = {"down 0 8 7,9",  "click", "up", "dblclick",
                                             "down 0 72 7,9", "up"};  // ssLeft | ssDouble = 72
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(image.Focused()) << "the image takes the focus only when the program gives it";
  // A sizeable frame is 8 wide and 31 high at the top: client (7, 9) is screen (115, 90).
  EXPECT_EQ(app.CursorPos(), (TPoint{115, 90}));
  EXPECT_EQ(image.ScreenToClient(TPoint{115, 90}), (TPoint{7, 9}));
}

TEST_F(ModelTest, WheelNotchesGiveOneStepEachWithTheHeldModifiers) {
  form.Show();
  TImageView image{&form, "Image1"};
  image.SetBounds(0, 0, 100, 100);
  std::vector<std::pair<int, TShiftState>> steps;
  image.OnMouseWheel = [&](int step, TShiftState shift, int, int) {
    steps.emplace_back(step, shift);
  };
  image.UserMouseWheel(1, 5, 5);
  app.SetKeyDown(VK_CONTROL, true);
  image.UserMouseWheel(-2, 5, 5);
  const std::vector<std::pair<int, TShiftState>> expected = {
      {1, ssNone}, {-1, ssCtrl}, {-1, ssCtrl}};
  EXPECT_EQ(steps, expected);
}

TEST_F(ModelTest, PointerShapeIsApplicationWideAndTheBackendHearsEachChange) {
  TApplication with_backend{sim.Platform()};
  with_backend.SetCursor(TCursor::crSizeNS);
  with_backend.SetCursor(TCursor::crSizeNS);
  with_backend.SetCursor(TCursor::crDrag);
  with_backend.SetCursor(TCursor::crDefault);
  EXPECT_EQ(with_backend.Cursor(), TCursor::crDefault);
  EXPECT_EQ(sim.ui.CursorHistory(),
            (std::vector<TCursor>{TCursor::crSizeNS, TCursor::crDrag, TCursor::crDefault}));
}

TEST_F(ModelTest, HandlerExceptionsGoToTheStandardErrorBox) {
  form.Show();
  app.SetTitle("Roarmark");
  edit.OnChange = [] { throw std::runtime_error("Cannot create file x.ini"); };
  EXPECT_FALSE(edit.UserType("1"));
  ASSERT_EQ(sim.dialogs.Records().size(), 1u);
  EXPECT_EQ(sim.dialogs.Records()[0].caption, "Roarmark");
  EXPECT_EQ(sim.dialogs.Records()[0].text, "Cannot create file x.ini.");
}

// ---- Grid, picture, image view, timer

TEST_F(ModelTest, GridHitTestingAndSelectionByPress) {
  form.Show();
  TTextGrid grid{&form, "FileList"};
  grid.SetBounds(32, 72, 601, 253);
  grid.SetSize(2, 10);
  grid.SetFixedRows(0);
  grid.SetColWidth(0, 52);
  grid.SetColWidth(1, 545);
  grid.SetRowHeight(24);
  int col = 0;
  int row = 0;
  // Column 0 spans x 0..52 (its line included), column 1 from 53; rows are 25 high.
  const int cases[][4] = {{0, 0, 0, 0},     {52, 24, 0, 0},   {53, 25, 1, 1},
                          {597, 249, 1, 9}, {599, 10, -1, 0}, {10, 250, 0, -1}};
  for (const auto& c : cases) {
    grid.MouseToCell(c[0], c[1], col, row);
    EXPECT_EQ(col, c[2]) << c[0] << "," << c[1];
    EXPECT_EQ(row, c[3]) << c[0] << "," << c[1];
  }
  grid.SetRow(0);
  grid.UserClickCell(1, 3);
  EXPECT_EQ(grid.Row(), 3);
  grid.UserClickCell(0, 5);
  EXPECT_EQ(grid.Row(), 3) << "a press on the fixed column selects nothing";
  grid.UserClick(599, 300);
  EXPECT_EQ(grid.Row(), 3) << "a press outside the cells selects nothing";
  grid.SetCell(1, 2, "a.cfg");
  EXPECT_EQ(grid.Cell(1, 2), "a.cfg");
  EXPECT_EQ(grid.Cell(5, 2), "");
}

TEST_F(ModelTest, PictureIsScaledToFitWithItsProportionsAndCentred) {
  TPicture picture{&form, "Image1"};
  picture.SetBounds(652, 104, 245, 201);
  const struct {
    int w, h;
    TRect dest;
  } cases[] = {
      {240, 135, {0, 32, 245, 169}},  // width limits: 135 * 245 / 240 = 137
      {150, 200, {47, 0, 197, 201}},  // height limits: 150 * 201 / 200 = 150
      {200, 200, {22, 0, 223, 201}},
  };
  for (const auto& c : cases) {
    picture.SetPicture(TPixels{c.w, c.h, std::vector<std::uint32_t>(c.w * c.h)});
    EXPECT_EQ(picture.DestRect(), c.dest) << c.w << "x" << c.h;
  }
  picture.Clear();
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(picture.DestRect(), TRect{});
}

TEST_F(ModelTest, ImageViewShowsPixelsOneToOneOrStretchedOverGrey) {
  TImageView image{&form, "Image1"};
  image.SetBounds(0, 0, 6, 3);
  const std::uint32_t px[] = {1, 2, 3, 4, 5, 6};  // 3 x 2
  image.SetImage(TPixelsView{px, 3, 2});
  EXPECT_EQ(image.PixelAt(2, 1), 6u);
  EXPECT_EQ(image.PixelAt(3, 0), kImageViewBackground);
  EXPECT_EQ(image.PixelAt(0, 2), kImageViewBackground);
  image.SetScaleMode(TScaleMode::smStretch);
  // Column x shows image column x * 3 / 6, row y image row y * 2 / 3.
  EXPECT_EQ(image.PixelAt(5, 0), 3u);
  EXPECT_EQ(image.PixelAt(1, 1), 1u);
  EXPECT_EQ(image.PixelAt(2, 2), 5u);
  image.Changed();
  image.Changed();
  EXPECT_EQ(image.ChangeCount(), 2u);
}

TEST_F(ModelTest, ImageViewAddsUpChangedAreasUntilTaken) {
  TImageView image{&form, "Image1"};
  EXPECT_TRUE(image.TakeChangedArea().Whole);  // a new image has never been shown
  EXPECT_FALSE(image.TakeChangedArea().Whole);
  image.Changed(TRect{10, 20, 30, 40});
  image.Changed(TRect{5, 35, 12, 50});       // overlaps the first: one area around both
  image.Changed(TRect{100, 100, 100, 140});  // empty: adds nothing
  const TRect apart[] = {{200, 10, 260, 30}, {30, 20, 40, 40}};  // the second only touches
  image.Changed(apart);
  image.Changed(std::span<const TRect>{});  // nothing drawn: no repaint asked for
  TImageView::TChangedArea taken = image.TakeChangedArea();
  EXPECT_FALSE(taken.Whole);
  EXPECT_EQ(taken.Areas,
            (std::vector<TRect>{{5, 20, 30, 50}, {200, 10, 260, 30}, {30, 20, 40, 40}}));
  EXPECT_EQ(taken.Area, (TRect{5, 10, 260, 50}));
  EXPECT_TRUE(image.TakeChangedArea().Areas.empty());
  image.Changed(TRect{1, 1, 2, 2});
  image.Changed();  // the whole image wins over any area
  EXPECT_TRUE(image.TakeChangedArea().Whole);
  EXPECT_EQ(image.ChangeCount(), 6u);
}

TEST_F(ModelTest, TimerRunsOnTheLoopWhileEnabled) {
  TTimer timer{&form, "Timer2"};
  timer.SetInterval(250);
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  sim.loop.Advance(1000);
  EXPECT_EQ(ticks, 4);
  timer.SetEnabled(false);
  sim.loop.Advance(1000);
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(form.FindComponent("Timer2"), &timer);
}

TEST_F(ModelTest, ClientSizeFollowsTheBorderStyle) {
  const struct {
    TBorderStyle style;
    int client_w, client_h;
  } cases[] = {{TBorderStyle::bsSizeable, 384, 261},
               {TBorderStyle::bsDialog, 394, 271},
               {TBorderStyle::bsNone, 400, 300}};
  for (const auto& c : cases) {
    form.SetBorderStyle(c.style);
    EXPECT_EQ(form.Width(), 400) << "the outer size is kept";
    EXPECT_EQ(form.ClientWidth(), c.client_w);
    EXPECT_EQ(form.ClientHeight(), c.client_h);
  }
  form.SetBorderStyle(TBorderStyle::bsDialog);
  form.SetClientSize(542, 142);
  EXPECT_EQ(form.Width(), 548);
  EXPECT_EQ(form.Height(), 171);
}

// ---- A backend's view

class RecordingPeer : public IControlPeer {
 public:
  RecordingPeer(TControl& c, std::vector<std::string>& log) : control_(c), log_(log) {}
  void PropertyChanged(TProperty what) override {
    log_.push_back(control_.Name() + " " + std::to_string(static_cast<int>(what)));
  }

 private:
  TControl& control_;
  std::vector<std::string>& log_;
};

class RecordingBackend : public IUiBackend {
 public:
  std::unique_ptr<IControlPeer> CreatePeer(TControl& control) override {
    created.push_back(control.Name() + ":" + control.KindName());
    return std::make_unique<RecordingPeer>(control, changes);
  }
  std::vector<std::string> created;
  std::vector<std::string> changes;
};

TEST(BackendTest, PeersAreMadeAtFirstShowAndToldOfEveryChange) {
  sim::SimPlatform sim;
  RecordingBackend backend;
  TPlatform platform = sim.Platform();
  platform.Ui = &backend;
  TApplication app{platform};
  TForm form{app, "TForm5"};
  TPanel panel{&form, "Panel1"};
  TStaticText text{&panel, "StaticText1"};
  EXPECT_TRUE(backend.created.empty());
  form.Show();
  EXPECT_EQ(backend.created,
            (std::vector<std::string>{"TForm5:TForm", "Panel1:TPanel", "StaticText1:TStaticText"}));
  TProgressBar bar{&form, "ProgressBar1"};
  EXPECT_EQ(backend.created.back(), "ProgressBar1:TProgressBar") << "made at once when shown";

  backend.changes.clear();
  text.SetCaption("Hello");
  text.SetCaption("Hello");
  bar.SetPosition(101);
  EXPECT_EQ(bar.Position(), 100);
  EXPECT_EQ(backend.changes,
            (std::vector<std::string>{"StaticText1 " + std::to_string(int(TProperty::Caption)),
                                      "ProgressBar1 " + std::to_string(int(TProperty::Position))}));
}

}  // namespace
}  // namespace roarmark::platform::ui
