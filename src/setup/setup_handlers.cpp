// The live field handlers of the setup dialog: positions and sizes with their fallbacks, the
// arrow steps and their reset tick, the reset time, the check boxes and sliders, the colour
// blocks and the readout font.
#include "core/main_window.h"
#include "display/colour_ramp.h"
#include "display/readout.h"
#include "setup/setup_dialog.h"
#include "setup/setup_numbers.h"

namespace roarmark {

using namespace platform::ui;

void TForm2::PositionFieldChange(TEdit& edit) {
  TMeterSettings& s = main_.Settings;
  // Setting, its arrow, the value for text that is no integer and the value for exactly 0.
  struct TField {
    TEdit* Edit;
    int* Setting;
    TUpDown* Arrow;
    int NotInteger;
    int Zero;
  };
  const TField fields[] = {
      {&Edit3, &s.MeterX, &UpDown1, 100, 1},     {&Edit4, &s.MeterY, &UpDown2, 700, 650},
      {&Edit7, &s.MeterWidth, &UpDown3, 100, 0}, {&Edit12, &s.MeterHeight, &UpDown6, 620, 0},
      {&Edit8, &s.PivotOffset, &UpDown7, 0, 0},
  };
  for (const TField& f : fields) {
    if (f.Edit != &edit) continue;
    *f.Setting = PositionFieldValue(edit.Text(), f.NotInteger, f.Zero);
    f.Arrow->SetIncrement(10);
    main_.RelayoutDisplay();
  }
}

void TForm2::Edit5Change() {
  main_.Settings.ReadoutX = PositionFieldValue(Edit5.Text(), 400, 0);
  main_.RelayoutDisplay();
  MoveReadoutControl(UpDown4);
}

void TForm2::Edit6Change() {
  main_.Settings.ReadoutY = PositionFieldValue(Edit6.Text(), 600, 0);
  MoveReadoutControl(UpDown5);
}

// The main window's readout control follows the readout box.
void TForm2::MoveReadoutControl(TUpDown& arrow) {
  const TMeterSettings& s = main_.Settings;
  main_.Readout.SetBounds(s.ReadoutX, s.ReadoutY, ReadoutWidth(main_.Display, s),
                          main_.Readout.Height());
  SaveBackings(main_.Display, main_.Settings);
  arrow.SetIncrement(10);
  main_.RelayoutDisplay();
}

void TForm2::Edit11Change() {
  if (auto ms = LiveResetTime(Edit11.Text(), DecimalSeparator())) main_.Settings.ResetTime = *ms;
}

// Every 250 ms, shown or not: the arrows fall back to their base steps, so only a repeat that
// follows a change within one tick moves by 10.
void TForm2::Timer2Timer() {
  for (TUpDown* arrow : {&UpDown1, &UpDown2, &UpDown4, &UpDown5, &UpDown7})
    arrow->SetIncrement(1);
  ApplyBaseSteps();
}

void TForm2::cbStyleChange() {
  main_.Settings.Style = cbStyle.ItemIndex();
  BuildColourRamp(main_.Display, main_.Settings);
  ApplyBaseSteps();
}

void TForm2::CheckBoxChange(TCheckBox& box) {
  TMeterSettings& s = main_.Settings;
  const bool on = box.Checked();
  auto scale_from_setting = [this] {
    main_.Image1.SetScaleMode(main_.Settings.FitScreen ? TScaleMode::smStretch
                                                       : TScaleMode::smNormal);
  };
  if (&box == &cbFitScreen) {
    // Stored at once too: the re-layout sizes the window by it.
    s.FitScreen = on;
    scale_from_setting();
    main_.RelayoutDisplay();
  } else if (&box == &cbAllowDrag) {
    s.AllowDrag = on;
  } else if (&box == &cbFullScrn) {
    // The window follows at the next re-layout, which reads the setting.
    s.FullScreen = on;
    if (on) {
      main_.SetBorderStyle(TBorderStyle::bsNone);
      const platform::TMonitor monitor = main_.ChosenMonitor();
      main_.SetBounds(monitor.Bounds.Left, monitor.Bounds.Top, main_.Width(), main_.Height());
    } else {
      main_.SetBorderStyle(TBorderStyle::bsSizeable);
    }
  } else if (&box == &CheckBox3) {
    s.AutoReset = on;
  } else if (&box == &HoldCheckBox) {
    s.PeakHold = on;
    HoldCheckBox.SetFontColour(on ? clRed : clBlack);
  } else if (&box == &CheckBox4) {
    s.ColorPeak = on;
    main_.RelayoutDisplay();
  } else if (&box == &blended) {
    s.Blend = on;
  } else if (&box == &cbBlocks) {
    s.Blocks = on;
    main_.RelayoutDisplay();
  } else if (&box == &CheckReadout) {
    s.ShowReadout = on;
    SaveBackings(main_.Display, s);
    main_.RelayoutDisplay();
  } else if (&box == &CheckDecimal) {
    s.ShowDecimal = on;
    main_.RelayoutDisplay();
    scale_from_setting();
  } else if (&box == &CheckTransparent) {
    s.Transparent = on;
    main_.Readout.SetWidth(ReadoutWidth(main_.Display, s));
    BgdCol.SetVisible(!on);
    main_.RelayoutDisplay();
  }
}

void TForm2::TrackBar1Change() {
  main_.Settings.BlendOffset = TrackBar1.Position();
  BuildColourRamp(main_.Display, main_.Settings);
}

void TForm2::TrackBar2Change() {
  main_.Settings.Midtone = TrackBar2.Position();
  BuildColourRamp(main_.Display, main_.Settings);
}

// Confirmed or not, the block's colour is stored and the display rebuilt.
void TForm2::ColourBlockClick(TColourBlock& block) {
  if (auto chosen = main_.Platform().Dialogs->ColourDialog(colour_dialog1_)) {
    colour_dialog1_ = *chosen;
    block.SetColour(*chosen);
  }
  TMeterSettings& s = main_.Settings;
  if (&block == &Abar || &block == &Bbar) {
    (&block == &Abar ? s.TopColor : s.BaseColor) = block.Colour();
    BuildColourRamp(main_.Display, s);
  } else if (&block == &PeakBar) {
    s.PeakColor = block.Colour();
  } else {
    s.BarBgndColor = block.Colour();
  }
  main_.RelayoutDisplay();
}

void TForm2::BgdColClick() {
  if (auto chosen = main_.Platform().Dialogs->ColourDialog(colour_dialog1_)) {
    colour_dialog1_ = *chosen;
    main_.Settings.ReadoutColor = *chosen;
    BgdCol.SetColour(*chosen);
  }
}

void TForm2::Button3Click() {
  TMeterSettings& s = main_.Settings;
  const platform::TFontChoice current{s.FontName, s.FontSize, s.FontStyle, s.FontColor};
  if (auto chosen = main_.Platform().Dialogs->FontDialog(current)) {
    s.FontName = chosen->Name;
    s.FontSize = chosen->Size;
    s.FontStyle = chosen->Style;
    s.FontColor = chosen->Colour;
    BgdCol.SetFontColour(chosen->Colour);
    SaveBackings(main_.Display, s);
  }
  main_.RelayoutDisplay();
}

void TForm2::Button9Click() {
  TMeterSettings& s = main_.Settings;
  if (auto chosen = main_.Platform().Dialogs->ColourDialog(colour_dialog2_)) {
    colour_dialog2_ = *chosen;
    s.FontColor = *chosen;
  }
  BgdCol.SetFontColour(s.FontColor);
  main_.RelayoutDisplay();
}

}  // namespace roarmark
