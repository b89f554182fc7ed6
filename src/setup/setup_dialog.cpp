// The setup dialog's window: its controls, their ranges, hints and fonts, and the layout of the
// panels (header, measurement with display options, meter, readout, buttons, picture row, lock).
#include "setup/setup_dialog.h"

#include "core/main_window.h"
#include "setup/captions.h"

namespace roarmark {

using namespace platform::ui;

namespace {

// Arial in pixel heights, as the dialog's controls use it.
platform::ui::TFont Arial(int pixels, int style = 0, TColour colour = clWindowText) {
  platform::ui::TFont font;
  font.Name = "Arial";
  font.PixelHeight = pixels;
  font.Style = style;
  font.Colour = colour;
  return font;
}

// A small picture of three rising bars in the meter's default colours.
platform::TPixels ProgramIcon() {
  platform::TPixels icon;
  icon.Width = 32;
  icon.Height = 32;
  icon.Pixels.assign(32 * 32, 0xFF262626u);
  const int heights[] = {12, 20, 28};
  for (int bar = 0; bar < 3; ++bar) {
    for (int y = 32 - heights[bar]; y < 30; ++y) {
      for (int x = 3 + bar * 10; x < 10 + bar * 10; ++x) {
        // Blue at the foot to pink at the top.
        const std::uint32_t t = static_cast<std::uint32_t>((30 - y) * 255 / 28);
        icon.Pixels[static_cast<std::size_t>(y * 32 + x)] = 0xFF000000u | (t << 16) | (255 - t);
      }
    }
  }
  return icon;
}

// The maker's mark: a band fading from blue to pink.
platform::TPixels MakerLogo() {
  platform::TPixels logo;
  logo.Width = 96;
  logo.Height = 8;
  logo.Pixels.resize(96 * 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 96; ++x) {
      const std::uint32_t t = static_cast<std::uint32_t>(x * 255 / 95);
      logo.Pixels[static_cast<std::size_t>(y * 96 + x)] =
          0xFF000000u | (t << 16) | (0x20u << 8) | (255 - t / 2);
    }
  }
  return logo;
}

}  // namespace

TForm2::TForm2(TApplication& app, TForm1& main)
    : TForm(app, "TForm2"),
      Panel1(this, "Panel1"),
      Image1(&Panel1, "Image1"),
      Label17(&Panel1, "Label17"),
      Image2(&Panel1, "Image2"),
      Label15(&Panel1, "Label15"),
      Panel2(this, "Panel2"),
      Label16(&Panel2, "Label16"),
      ComboBox1(&Panel2, "ComboBox1"),
      Label9(&Panel2, "Label9"),
      Label5(&Panel2, "Label5"),
      Edit1(&Panel2, "Edit1"),
      Label7(&Panel2, "Label7"),
      Label6(&Panel2, "Label6"),
      Label13(&Panel2, "Label13"),
      Label14(&Panel2, "Label14"),
      Label10(&Panel2, "Label10"),
      Edit2(&Panel2, "Edit2"),
      Label11(&Panel2, "Label11"),
      CheckBox1(&Panel2, "CheckBox1"),
      Label26(&Panel2, "Label26"),
      Edit9(&Panel2, "Edit9"),
      Label25(&Panel2, "Label25"),
      CheckBox3(&Panel2, "CheckBox3"),
      Label28(&Panel2, "Label28"),
      Edit11(&Panel2, "Edit11"),
      Label4(&Panel2, "Label4"),
      Label8(&Panel2, "Label8"),
      HoldCheckBox(&Panel2, "HoldCheckBox"),
      Label22(&Panel2, "Label22"),
      Panel4(&Panel2, "Panel4"),
      CheckBox2(&Panel4, "CheckBox2"),
      cbFitScreen(&Panel4, "cbFitScreen"),
      cbAllowDrag(&Panel4, "cbAllowDrag"),
      cbFullScrn(&Panel4, "cbFullScrn"),
      Label24(&Panel4, "Label24"),
      cbMonitorSelect(&Panel4, "cbMonitorSelect"),
      Label2(&Panel4, "Label2"),
      Panel3(this, "Panel3"),
      Label37(&Panel3, "Label37"),
      cbStyle(&Panel3, "cbStyle"),
      CheckBox4(&Panel3, "CheckBox4"),
      Label32(&Panel3, "Label32"),
      PeakBar(&Panel3, "PeakBar"),
      blended(&Panel3, "blended"),
      cbBlocks(&Panel3, "cbBlocks"),
      Label35(&Panel3, "Label35"),
      TrackBar1(&Panel3, "TrackBar1"),
      Label36(&Panel3, "Label36"),
      Label12(&Panel3, "Label12"),
      Abar(&Panel3, "Abar"),
      Bbar(&Panel3, "Bbar"),
      Label31(&Panel3, "Label31"),
      BarBgnd(&Panel3, "BarBgnd"),
      Label18(&Panel3, "Label18"),
      Edit3(&Panel3, "Edit3"),
      UpDown1(&Panel3, "UpDown1"),
      Label19(&Panel3, "Label19"),
      Edit4(&Panel3, "Edit4"),
      UpDown2(&Panel3, "UpDown2"),
      Label1(&Panel3, "Label1"),
      Edit8(&Panel3, "Edit8"),
      UpDown7(&Panel3, "UpDown7"),
      Label3(&Panel3, "Label3"),
      Edit7(&Panel3, "Edit7"),
      UpDown3(&Panel3, "UpDown3"),
      Label29(&Panel3, "Label29"),
      Edit12(&Panel3, "Edit12"),
      UpDown6(&Panel3, "UpDown6"),
      Label20(&Panel3, "Label20"),
      Edit5(&Panel3, "Edit5"),
      UpDown4(&Panel3, "UpDown4"),
      Label21(&Panel3, "Label21"),
      Edit6(&Panel3, "Edit6"),
      UpDown5(&Panel3, "UpDown5"),
      Label23(&Panel3, "Label23"),
      TrackBar2(this, "TrackBar2"),
      Panel5(this, "Panel5"),
      CheckReadout(&Panel5, "CheckReadout"),
      CheckDecimal(&Panel5, "CheckDecimal"),
      StaticText2(&Panel5, "StaticText2"),
      Button3(&Panel5, "Button3"),
      Button9(&Panel5, "Button9"),
      CheckTransparent(&Panel5, "CheckTransparent"),
      BgdCol(&Panel5, "BgdCol"),
      Button4(this, "Button4"),
      StaticText3(this, "StaticText3"),
      ComboBox2(this, "ComboBox2"),
      Button6(this, "Button6"),
      Button7(this, "Button7"),
      Button8(this, "Button8"),
      Button1(this, "Button1"),
      Button2(this, "Button2"),
      Button10(this, "Button10"),
      StaticText1(this, "StaticText1"),
      Edit10(this, "Edit10"),
      Button5(this, "Button5"),
      LockSet(this, "LockSet"),
      Label30(this, "Label30"),
      SoundPanel(this, main),
      Timer2(this, "Timer2"),
      main_(main) {
  BuildControls();
  LayOut();
  WireHandlers();
}

TForm2::~TForm2() = default;

void TForm2::BuildControls() {
  SetCaption("Roarmark Setup");
  SetBorderStyle(TBorderStyle::bsDialog);
  SetPosition(TFormPosition::poScreenCenter);
  SetKeyPreview(true);
  platform::ui::TFont form_font;
  form_font.Name = "MS Sans Serif";
  SetFont(form_font);

  ForEachDescendant([](TControl& control) {
    if (&control != control.Form()) control.SetFont(Arial(13));
  });
  for (TControl* note :
       std::initializer_list<TControl*>{&Label6, &Label11, &Label25, &Label8, &Label2, &Label23}) {
    note->SetFont(Arial(11, 0, clGray));
  }
  Label9.SetFont(Arial(13, fsBold));
  Label17.SetFont(Arial(26, fsBold));
  Label15.SetFont(Arial(13, fsUnderline, 0xCC6600));
  HoldCheckBox.SetFont(Arial(16, fsBold, clBlack));
  Button1.SetFont(Arial(16, fsBold));
  Label30.SetFont(Arial(16, fsBold, clRed));

  // Texts as laid out; ApplyLanguage replaces the translated ones when the dialog appears.
  Label17.SetCaption(kProgramTitle);
  Label15.SetCaption("www.quillmoor.example");
  Image1.SetPicture(ProgramIcon());
  Image2.SetPicture(MakerLogo());
  Label16.SetCaption("Input Device");
  Label9.SetCaption("Calibration");
  Label5.SetCaption("0dB reference");
  Label7.SetCaption("dB, below full scale");
  Label6.SetCaption("eg.  - 4 recommended");
  Label13.SetCaption("Headroom = ");
  Label10.SetCaption("Decay Rate");
  Label11.SetCaption("Arbitary value, 1 - 10");
  CheckBox1.SetCaption("Use Averaging");
  Label26.SetCaption("Average Time Secs");
  Label25.SetCaption("( 0.0025 to 10 secs )");
  CheckBox3.SetCaption("Reset Peak Hold Auto");
  Label28.SetCaption("after");
  Label4.SetCaption("Secs");
  Label8.SetCaption("( 0.01 to 120 secs )");
  HoldCheckBox.SetCaption("Hold Peaks Infinite");
  Label22.SetCaption("Double-click screen to reset");
  CheckBox2.SetCaption("Always on top");
  cbFitScreen.SetCaption("Fit to Screen");
  cbAllowDrag.SetCaption("Design Mode (Ctrl D)");
  cbFullScrn.SetCaption("Full Screen");
  Label24.SetCaption("Start on Monitor No.");
  Label2.SetCaption("( Needs restart )");
  Label37.SetCaption("Meter Style");
  cbStyle.SetItems({"Background only", "Vertical Bars", "Horizontal Bars", "Analogue Meter"});
  cbStyle.SetDropDownCount(4);
  CheckBox4.SetCaption("Use Peak Colour");
  Label32.SetCaption("Peak Colour");
  blended.SetCaption("Blend");
  cbBlocks.SetCaption("Blocks");
  Label35.SetCaption("Blending");
  Label36.SetCaption("Switch   Midtone");
  Label12.SetCaption("Click block to set colour");
  Label31.SetCaption("Bar Background");
  Label18.SetCaption("Meter Position, Horizontal");
  Label19.SetCaption("Meter Position, Vertical");
  Label1.SetCaption("Pivot");
  Label3.SetCaption("Meter Width");
  Label29.SetCaption("Meter Height");
  Label20.SetCaption("Readout Position, Horizontal");
  Label21.SetCaption("Readout Position, Vertical");
  Label23.SetCaption("Position is in pixels from left side and down from top");
  CheckReadout.SetCaption("Enable");
  CheckDecimal.SetCaption("Include Numeric Tenths");
  StaticText2.SetCaption("Readout Text");
  Button3.SetCaption("Font");
  Button9.SetCaption("Color");
  CheckTransparent.SetCaption("Transparent Background");
  BgdCol.SetCaption("BkGnd Color");
  Button4.SetCaption("Help");
  StaticText3.SetCaption("Language");
  ComboBox2.SetItems(LanguageNames());
  Button6.SetCaption("Load Settings");
  Button7.SetCaption("Save Settings");
  Button8.SetCaption("Preset List");
  Button10.SetCaption("Contest...");
  Button1.SetCaption("OK");
  Button2.SetCaption("Exit Program");
  StaticText1.SetCaption("Background Graphic");
  Button5.SetCaption("Browse...");
  LockSet.SetCaption("Lock Settings");
  Label30.SetCaption("Settings are Locked");
  Label30.Hide();

  // Arrows, their fields and ranges. Typed numbers are taken as typed, also beyond the range.
  struct TArrow {
    TUpDown& UpDown;
    TEdit& Edit;
    int Min;
    int Max;
  };
  for (const TArrow& a : {TArrow{UpDown1, Edit3, 0, 2000}, TArrow{UpDown2, Edit4, 0, 2000},
                          TArrow{UpDown7, Edit8, -200, 200}, TArrow{UpDown3, Edit7, 0, 2000},
                          TArrow{UpDown6, Edit12, 10, 2000}, TArrow{UpDown4, Edit5, 0, 2000},
                          TArrow{UpDown5, Edit6, 0, 2000}}) {
    a.Edit.SetNumbersOnly(true);
    a.UpDown.SetRange(a.Min, a.Max);
    a.UpDown.SetAssociate(&a.Edit);
  }
  UpDown6.SetIncrement(50);
  TrackBar1.SetOrientation(TOrientation::Vertical);
  TrackBar1.SetRange(-100, 100);
  TrackBar2.SetOrientation(TOrientation::Vertical);
  TrackBar2.SetRange(0, 100);
  Edit1.SetColour(clWindow);
  Edit2.SetColour(clWindow);
  for (TEdit* edit :
       {&Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit8, &Edit9, &Edit10, &Edit11, &Edit12}) {
    edit->SetColour(clWindow);
  }

  // Hints stay English in every language.
  struct THint {
    TControl& Control;
    const char* Text;
  };
  for (const THint& h : {
           THint{CheckBox1, "Averag readings over preset time"},
           THint{CheckBox3, "Reset the highest peak when held after time delay"},
           THint{HoldCheckBox,
                 "Hold Peak reading. Can also use CTRL H to Hold, CTRL N to Not Hold"},
           THint{Label24, "Select monitor to run program on at start-up"},
           THint{CheckBox2, "Keep on top of other windows"},
           THint{cbFullScrn, "Full screen mode, no windows borders"},
           THint{cbFitScreen, "Re-size background graphic to fit screen"},
           THint{cbAllowDrag,
                 "Allow moving and re-sizing of display elements by dragging with mouse (Ctrl D)"},
           THint{Button1, "Save program Settings"},
           THint{Button2, "Close Program. Can also use CTRL X"},
           THint{TrackBar1,
                 "When blended sets position of blend. When not blended sets changeover point"},
           THint{TrackBar2, "Variation in colour blending"},
           THint{Button6, "Load graphics settings from file"},
           THint{Button7, "Save graphics settings to file"},
           THint{Button8, "Open list of preset graphics"},
           THint{Button9, "More colors for the numeric display font"},
           THint{Button3, "Click to set Readout Font"},
           THint{BgdCol, "Click to set Readout background colour"},
       }) {
    h.Control.SetHint(h.Text);
    h.Control.SetShowHint(true);
  }

  Timer2.SetInterval(250);
  Timer2.SetEnabled(true);
}

// Pixel positions in the client area of the 845 x 650 window; panel children are placed in
// their panel.
void TForm2::LayOut() {
  SetBounds(0, 0, 845, 650);

  Panel1.SetBounds(0, 0, 837, 52);
  Image1.SetBounds(12, 8, 36, 36);
  Label17.SetBounds(58, 12, 300, 30);
  Image2.SetBounds(560, 14, 96, 8);
  Label15.SetBounds(560, 26, 268, 16);

  Panel2.SetBounds(8, 60, 272, 484);
  Label16.SetBounds(8, 4, 256, 16);
  ComboBox1.SetBounds(8, 21, 256, 23);
  Label9.SetBounds(8, 50, 256, 16);
  Label5.SetBounds(8, 72, 150, 16);
  Edit1.SetBounds(160, 69, 60, 22);
  Label7.SetBounds(8, 94, 256, 16);
  Label6.SetBounds(8, 110, 256, 14);
  Label13.SetBounds(8, 128, 80, 16);
  Label14.SetBounds(90, 128, 120, 16);
  Label10.SetBounds(8, 150, 150, 16);
  Edit2.SetBounds(160, 147, 60, 22);
  Label11.SetBounds(8, 171, 256, 14);
  CheckBox1.SetBounds(8, 189, 256, 20);
  Label26.SetBounds(26, 212, 130, 16);
  Edit9.SetBounds(160, 209, 60, 22);
  Label25.SetBounds(26, 232, 238, 14);
  CheckBox3.SetBounds(8, 250, 256, 20);
  Label28.SetBounds(26, 273, 70, 16);
  Edit11.SetBounds(100, 270, 60, 22);
  Label4.SetBounds(166, 273, 60, 16);
  Label8.SetBounds(26, 294, 238, 14);
  HoldCheckBox.SetBounds(8, 310, 256, 24);
  Label22.SetBounds(26, 334, 238, 16);
  Panel4.SetBounds(4, 354, 264, 126);
  CheckBox2.SetBounds(6, 4, 254, 20);
  cbFitScreen.SetBounds(6, 24, 254, 20);
  cbFullScrn.SetBounds(6, 44, 254, 20);
  cbAllowDrag.SetBounds(6, 64, 254, 20);
  Label24.SetBounds(6, 89, 150, 16);
  cbMonitorSelect.SetBounds(160, 85, 56, 23);
  Label2.SetBounds(6, 108, 200, 14);

  LockSet.SetBounds(8, 552, 220, 20);
  Label30.SetBounds(8, 576, 272, 22);

  Panel3.SetBounds(288, 60, 336, 400);
  Label37.SetBounds(8, 9, 90, 16);
  cbStyle.SetBounds(100, 6, 170, 23);
  CheckBox4.SetBounds(8, 36, 200, 20);
  cbBlocks.SetBounds(246, 36, 84, 20);
  blended.SetBounds(190, 60, 140, 20);
  Label32.SetBounds(26, 62, 90, 16);
  PeakBar.SetBounds(120, 60, 40, 20);
  // Colour blocks on the left, the two sliders in the middle, the bar background on the right.
  Label12.SetBounds(8, 86, 320, 16);
  Label35.SetBounds(104, 104, 110, 16);
  Label31.SetBounds(216, 104, 118, 16);
  Abar.SetBounds(8, 122, 70, 36);
  Bbar.SetBounds(8, 162, 70, 36);
  TrackBar1.SetBounds(110, 122, 30, 76);
  Label36.SetBounds(96, 200, 140, 16);
  BarBgnd.SetBounds(240, 122, 70, 36);
  struct TRow {
    TLabel& Label;
    TEdit& Edit;
    TUpDown& UpDown;
  };
  int y = 222;
  for (const TRow& row :
       {TRow{Label18, Edit3, UpDown1}, TRow{Label19, Edit4, UpDown2}, TRow{Label3, Edit7, UpDown3},
        TRow{Label29, Edit12, UpDown6}, TRow{Label1, Edit8, UpDown7}, TRow{Label20, Edit5, UpDown4},
        TRow{Label21, Edit6, UpDown5}}) {
    row.Label.SetBounds(8, y + 3, 196, 16);
    row.Edit.SetBounds(208, y, 60, 22);
    row.UpDown.SetBounds(268, y, 18, 22);
    y += 23;
  }
  Label23.SetBounds(8, y + 2, 320, 14);
  // Over the meter panel, beside the blend slider, in the window's own coordinates.
  TrackBar2.SetBounds(288 + 170, 60 + 122, 30, 76);

  Panel5.SetBounds(288, 468, 336, 92);
  CheckReadout.SetBounds(8, 6, 90, 20);
  CheckDecimal.SetBounds(104, 6, 220, 20);
  StaticText2.SetBounds(8, 35, 90, 16);
  Button3.SetBounds(104, 30, 80, 26);
  Button9.SetBounds(190, 30, 80, 26);
  CheckTransparent.SetBounds(8, 64, 180, 20);
  BgdCol.SetBounds(196, 60, 128, 26);

  StaticText1.SetBounds(288, 568, 200, 16);
  Edit10.SetBounds(288, 586, 232, 22);
  Button5.SetBounds(526, 584, 98, 26);

  Button4.SetBounds(636, 60, 192, 30);
  StaticText3.SetBounds(636, 102, 192, 16);
  ComboBox2.SetBounds(636, 120, 192, 23);
  Button6.SetBounds(636, 164, 192, 30);
  Button7.SetBounds(636, 200, 192, 30);
  Button8.SetBounds(636, 236, 192, 30);
  Button10.SetBounds(636, 272, 192, 30);
  Button1.SetBounds(636, 478, 192, 40);
  Button2.SetBounds(636, 526, 192, 30);
}

void TForm2::WireHandlers() {
  OnShow = [this] { FormShow(); };
  OnKeyUp = [this](int& key, TShiftState shift) { FormKeyUp(key, shift); };
  for (TEdit* edit : {&Edit3, &Edit4, &Edit7, &Edit8, &Edit12}) {
    edit->OnChange = [this, edit] { PositionFieldChange(*edit); };
  }
  Edit5.OnChange = [this] { Edit5Change(); };
  Edit6.OnChange = [this] { Edit6Change(); };
  Edit11.OnChange = [this] { Edit11Change(); };
  Timer2.OnTimer = [this] { Timer2Timer(); };
  ComboBox1.OnChange = [this] { device_picked_ = true; };
  cbStyle.OnChange = [this] { cbStyleChange(); };
  ComboBox2.OnChange = [this] { ComboBox2Change(); };
  for (TCheckBox* box :
       {&cbFitScreen, &cbAllowDrag, &cbFullScrn, &CheckBox3, &HoldCheckBox, &CheckBox4, &blended,
        &cbBlocks, &CheckReadout, &CheckDecimal, &CheckTransparent}) {
    box->OnClick = [this, box] { CheckBoxChange(*box); };
  }
  TrackBar1.OnChange = [this] { TrackBar1Change(); };
  TrackBar2.OnChange = [this] { TrackBar2Change(); };
  for (TColourBlock* block : {&Abar, &Bbar, &PeakBar, &BarBgnd}) {
    block->OnClick = [this, block] { ColourBlockClick(*block); };
  }
  BgdCol.OnClick = [this] { BgdColClick(); };
  Button3.OnClick = [this] { Button3Click(); };
  Button9.OnClick = [this] { Button9Click(); };
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  Button4.OnClick = [this] { OpenHelpFile(); };
  Button5.OnClick = [this] { Button5Click(); };
  Button6.OnClick = [this] { Button6Click(); };
  Button7.OnClick = [this] { Button7Click(); };
  Button8.OnClick = [this] { Button8Click(); };
  Label15.OnClick = [this] { Label15Click(); };
  // The lock answers the release of any mouse button over its box.
  LockSet.OnMouseUp = [this](TMouseButton, TShiftState, int, int) { ToggleSettingsLock(); };
}

char TForm2::DecimalSeparator() const {
  return main_.Display.DecimalSeparator;
}

}  // namespace roarmark
