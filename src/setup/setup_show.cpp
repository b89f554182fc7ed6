// Opening the setup dialog: filling it from the settings, showing it, the closing steps that
// change the input device, taking the OK-only fields over, and the re-layout that ends it.
#include <algorithm>

#include "core/device_selection.h"
#include "core/main_window.h"
#include "display/colour_ramp.h"
#include "platform/wave_input.h"
#include "settings/ini_store.h"
#include "setup/setup_dialog.h"
#include "setup/setup_numbers.h"

namespace roarmark {

using namespace platform::ui;

void TForm2::ShowSetupDialog() {
  FillDialog();
  const TModalResult result = ShowModal();
  if (App().Terminated()) return;  // Exit Program, or the program ended meanwhile
  CloseSteps();
  if (result == mrOk) {
    // The fields were taken over by OK itself (TakeOverFields): the main window's activation
    // has put the stored texts back into the reference and decay fields by now.
    SaveIniSettings(main_.Settings, main_.DataFolder, main_.Left(), main_.Top());
  } else {
    Edit1.SetText(main_.Settings.Calibration);
  }
  main_.Display.MeterSelected = false;
  main_.Display.ReadoutSelected = false;
  main_.RelayoutDisplay();
}

void TForm2::FillDialog() {
  TMeterSettings& s = main_.Settings;
  // 1. The input devices as the wave input lists them now. A configured input that is not
  // listed (lost, or missing since the start) is shown as missing, so the list never offers
  // another device in its place.
  ComboBox1.Clear();
  platform::IWaveInput& wave = *main_.Platform().WaveInput;
  const int devices = wave.DeviceCount();
  if (devices < 2 && main_.Capture) main_.Capture->DeviceId = 0;
  int configured = -1;
  for (int id = 0; id < devices; ++id) {
    ComboBox1.AddItem(wave.DeviceName(id));
    if (DeviceListName(wave, id) == s.DeviceName) configured = id;
  }
  device_picked_ = false;
  missing_device_entry_ = -1;
  if (s.DeviceName.empty()) {
    ComboBox1.SetItemIndex(main_.Capture ? main_.Capture->DeviceId : 0);
  } else if (configured >= 0) {
    ComboBox1.SetItemIndex(configured);
  } else {
    missing_device_entry_ = devices;
    ComboBox1.AddItem(s.DeviceName + kMissingDeviceSuffix);
    ComboBox1.SetItemIndex(missing_device_entry_);
  }
  // 2.
  Edit1.SetText(s.Calibration);
  Edit2.SetText(s.Decay);
  // 3.
  cbMonitorSelect.Clear();
  const int monitors = static_cast<int>(main_.Platform().Monitors->Monitors().size());
  for (int n = 1; n <= monitors; ++n)
    cbMonitorSelect.AddItem(std::to_string(n));
  // A hand-edited number below 1 selects nothing (and cannot overflow on the way).
  cbMonitorSelect.SetItemIndex(s.Monitor >= 1 ? s.Monitor - 1 : -1);
  // 4-5.
  filled_average_text_ = AverageTimeText(s.AverageNumber, DecimalSeparator());
  Edit9.SetText(filled_average_text_);
  Edit10.SetText(s.GraphicFilename);
  // 6.
  CheckBox1.SetChecked(s.ShowAverage);
  CheckBox3.SetChecked(s.AutoReset);
  CheckBox4.SetChecked(s.ColorPeak);
  // 7.
  filled_reset_text_ = ResetTimeText(s.ResetTime, DecimalSeparator());
  Edit11.SetText(filled_reset_text_);
  // 8.
  CheckDecimal.SetChecked(s.ShowDecimal);
  CheckReadout.SetChecked(s.ShowReadout);
  CheckTransparent.SetChecked(s.Transparent);
  // 9-10. Each arrow writes its field, whose handler stores the (clamped) value.
  UpDown1.SetPosition(s.MeterX);
  UpDown2.SetPosition(s.MeterY);
  UpDown3.SetPosition(s.MeterWidth);
  UpDown6.SetPosition(s.MeterHeight);
  UpDown7.SetPosition(s.PivotOffset);
  if (s.Style != kStyleAnalogue) s.MeterHeight = s.MeterHeight / 50 * 50;
  // 11-12.
  UpDown4.SetPosition(s.ReadoutX);
  UpDown5.SetPosition(s.ReadoutY);
  HoldCheckBox.SetChecked(s.PeakHold);
  BgdCol.SetVisible(!s.Transparent);
  // 13-14.
  ShowBlockColours();
  ComboBox2.SetItemIndex(s.Language);
  // 15.
  CheckBox2.SetChecked(s.OnTop);
  cbFitScreen.SetChecked(s.FitScreen);
  blended.SetChecked(s.Blend);
  TrackBar1.SetPosition(s.BlendOffset);
  TrackBar2.SetPosition(s.Midtone);
  // 16.
  if (s.Locked) PresentLocked();
  // 17.
  cbBlocks.SetChecked(s.Blocks);
  cbFullScrn.SetChecked(s.FullScreen);
  cbStyle.SetItemIndex(s.Style);
  cbAllowDrag.SetChecked(s.AllowDrag);
}

void TForm2::ShowBlockColours() {
  const TMeterSettings& s = main_.Settings;
  Abar.SetColour(s.TopColor);
  Bbar.SetColour(s.BaseColor);
  PeakBar.SetColour(s.PeakColor);
  BarBgnd.SetColour(s.BarBgndColor);
  BgdCol.SetColour(s.ReadoutColor);
}

// When the dialog appears: relabelled, the fit check and the style selection again (relabelling
// rewrites two style entries), and the background block previews the readout text colour.
void TForm2::FormShow() {
  const TMeterSettings& s = main_.Settings;
  ApplyLanguage(s.Language);
  cbFitScreen.SetChecked(s.FitScreen);
  cbStyle.SetItemIndex(s.Style);
  BgdCol.SetFontColour(s.FontColor);
  SoundPanel.Fill();
}

// Closing by any path but Exit Program: a device the operator picked is opened now. Without a
// pick the configured input stays, even while it is not listed.
void TForm2::CloseSteps() {
  const int chosen = ComboBox1.ItemIndex();
  // The device list can be empty when the device vanished: nothing to compare or read.
  if (!device_picked_ || chosen < 0 || chosen == missing_device_entry_ || !main_.Capture) return;
  TCaptureSession& capture = *main_.Capture;
  if (chosen != capture.DeviceId) {
    capture.DeviceId = chosen;
    capture.ResetDevice();
    capture.OpenCapture();
  }
  capture.DeviceId = chosen;
  std::string name = ComboBox1.Text();
  name.erase(0, name.find_first_not_of(' '));
  main_.Settings.DeviceName = name;
}

void TForm2::TakeOverFields() {
  TMeterSettings& s = main_.Settings;
  auto number = [](const TEdit& edit, int& target) {
    std::int32_t v = 0;
    if (TryParseInt(edit.Text(), v)) target = v;
  };
  // 1-8.
  s.Calibration = Edit1.Text();
  s.Decay = Edit2.Text();
  number(Edit3, s.MeterX);
  number(Edit4, s.MeterY);
  if (s.MeterY == 0) s.MeterY = main_.ClientHeight();
  number(Edit7, s.MeterWidth);
  if (s.MeterWidth == 0) s.MeterWidth = 10;
  number(Edit12, s.MeterHeight);
  if (s.MeterHeight == 0) s.MeterHeight = 10;
  number(Edit8, s.PivotOffset);
  number(Edit5, s.ReadoutX);
  number(Edit6, s.ReadoutY);
  if (s.ReadoutY == 0) s.ReadoutY = main_.ClientHeight();
  // 9.
  s.Monitor = cbMonitorSelect.ItemIndex() >= 0 ? cbMonitorSelect.ItemIndex() + 1 : 1;
  // 10-11, only for texts the operator changed.
  if (Edit11.Text() != filled_reset_text_) {
    if (auto ms = OkResetTime(Edit11.Text(), DecimalSeparator())) s.ResetTime = *ms;
  }
  if (Edit9.Text() != filled_average_text_) {
    if (auto n = AverageNumberFromText(Edit9.Text(), DecimalSeparator())) s.AverageNumber = *n;
  }
  // 12-13.
  s.ShowAverage = CheckBox1.Checked();
  s.AutoReset = CheckBox3.Checked();
  s.ColorPeak = CheckBox4.Checked();
  s.ShowDecimal = CheckDecimal.Checked();
  s.ShowReadout = CheckReadout.Checked();
  s.Transparent = CheckTransparent.Checked();
  main_.Readout.SetVisible(s.ShowReadout && !s.Transparent);
  // 14-18. The list positions, -1 when nothing is selected (a value from the file that is not
  // in the list).
  s.Style = cbStyle.ItemIndex();
  main_.SetCaption(s.ShortName);
  s.OnTop = CheckBox2.Checked();
  s.FitScreen = cbFitScreen.Checked();
  s.Language = ComboBox2.ItemIndex();
  s.TopColor = Abar.Colour();
  s.BaseColor = Bbar.Colour();
  s.PeakColor = PeakBar.Colour();
  s.BarBgndColor = BarBgnd.Colour();
  s.ReadoutColor = BgdCol.Colour();
  s.Blend = blended.Checked();
  s.BlendOffset = TrackBar1.Position();
  s.Midtone = TrackBar2.Position();
  s.Blocks = cbBlocks.Checked();
  s.FullScreen = cbFullScrn.Checked();
  s.AllowDrag = cbAllowDrag.Checked();
}

void TForm2::ShowStoredTexts(const std::string& calibration, const std::string& decay) {
  Edit1.SetText(calibration);
  Edit2.SetText(decay);
}

void TForm2::ShowLayoutSettings() {
  const TMeterSettings& s = main_.Settings;
  // The style and its base steps first: the arrows set next take the step of a change.
  cbStyle.SetItemIndex(s.Style);
  ApplyBaseSteps();
  Edit10.SetText(s.GraphicFilename);
  CheckDecimal.SetChecked(s.ShowDecimal);
  CheckReadout.SetChecked(s.ShowReadout);
  CheckTransparent.SetChecked(s.Transparent);
  blended.SetChecked(s.Blend);
  cbBlocks.SetChecked(s.Blocks);
  TrackBar1.SetPosition(s.BlendOffset);
  TrackBar2.SetPosition(s.Midtone);
  UpDown1.SetPosition(s.MeterX);
  UpDown2.SetPosition(s.MeterY);
  UpDown3.SetPosition(s.MeterWidth);
  UpDown6.SetPosition(s.MeterHeight);
  UpDown7.SetPosition(s.PivotOffset);
  UpDown4.SetPosition(s.ReadoutX);
  UpDown5.SetPosition(s.ReadoutY);
  ShowBlockColours();
  BgdCol.SetFontColour(main_.Readout.Font().Colour);
}

void TForm2::ApplyBaseSteps() {
  switch (main_.Settings.Style) {
    case kStyleVerticalBars:
      UpDown3.SetIncrement(1);
      UpDown6.SetIncrement(50);
      break;
    case kStyleHorizontalBars:
      UpDown3.SetIncrement(100);
      UpDown6.SetIncrement(1);
      break;
    case kStyleAnalogue:
      UpDown3.SetIncrement(1);
      UpDown6.SetIncrement(1);
      break;
    default:
      break;
  }
}

}  // namespace roarmark
