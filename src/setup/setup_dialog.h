// The setup dialog TForm2: every control under its component name. It lives hidden for the
// program's whole life; its reference and decay fields are what the level engine reads on every
// buffer, and Timer2 ticks whether it is shown or not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/setup_dialog_access.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/timer.h"
#include "setup/sound_panel.h"

namespace roarmark {

class TForm1;

class TForm2 : public platform::ui::TForm, public ISetupDialog {
 public:
  TForm2(platform::ui::TApplication& app, TForm1& main);
  ~TForm2() override;

  // ---- Header
  platform::ui::TPanel Panel1;
  platform::ui::TPicture Image1;  // program icon
  platform::ui::TLabel Label17;   // product title
  platform::ui::TPicture Image2;  // logo
  platform::ui::TLabel Label15;   // the maker's web address, opens it

  // ---- Measurement
  platform::ui::TPanel Panel2;
  platform::ui::TLabel Label16;  // "Input Device"
  platform::ui::TComboBox ComboBox1;
  platform::ui::TLabel Label9;   // "Calibration"
  platform::ui::TLabel Label5;   // "0dB reference"
  platform::ui::TEdit Edit1;     // 0 dB reference, read by the engine
  platform::ui::TLabel Label7;   // "dB, below full scale"
  platform::ui::TLabel Label6;   // "eg.  - 4 recommended"
  platform::ui::TLabel Label13;  // "Headroom = "
  platform::ui::TLabel Label14;  // the headroom the engine works out
  platform::ui::TLabel Label10;  // "Decay Rate"
  platform::ui::TEdit Edit2;     // decay, read by the engine
  platform::ui::TLabel Label11;  // "Arbitary value, 1 - 10"
  platform::ui::TCheckBox CheckBox1;
  platform::ui::TLabel Label26;  // "Average Time Secs"
  platform::ui::TEdit Edit9;
  platform::ui::TLabel Label25;  // "( 0.0025 to 10 secs )"
  platform::ui::TCheckBox CheckBox3;
  platform::ui::TLabel Label28;  // "after"
  platform::ui::TEdit Edit11;
  platform::ui::TLabel Label4;  // "Secs"
  platform::ui::TLabel Label8;  // "( 0.01 to 120 secs )"
  platform::ui::TCheckBox HoldCheckBox;
  platform::ui::TLabel Label22;  // "Double-click screen to reset"
  // Display options, inside the measurement panel.
  platform::ui::TPanel Panel4;
  platform::ui::TCheckBox CheckBox2;
  platform::ui::TCheckBox cbFitScreen;
  platform::ui::TCheckBox cbAllowDrag;
  platform::ui::TCheckBox cbFullScrn;
  platform::ui::TLabel Label24;  // "Start on Monitor No."
  platform::ui::TComboBox cbMonitorSelect;
  platform::ui::TLabel Label2;  // "( Needs restart )"

  // ---- Meter
  platform::ui::TPanel Panel3;
  platform::ui::TLabel Label37;  // "Meter Style"
  platform::ui::TComboBox cbStyle;
  platform::ui::TCheckBox CheckBox4;
  platform::ui::TLabel Label32;  // "Peak Colour"
  platform::ui::TColourBlock PeakBar;
  platform::ui::TCheckBox blended;
  platform::ui::TCheckBox cbBlocks;
  platform::ui::TLabel Label35;  // "Blending"
  platform::ui::TTrackBar TrackBar1;
  platform::ui::TLabel Label36;  // "Switch   Midtone"
  platform::ui::TLabel Label12;  // "Click block to set colour"
  platform::ui::TColourBlock Abar;
  platform::ui::TColourBlock Bbar;
  platform::ui::TLabel Label31;  // "Bar Background"
  platform::ui::TColourBlock BarBgnd;
  platform::ui::TLabel Label18;  // "Bar Position, Horizontal"
  platform::ui::TEdit Edit3;
  platform::ui::TUpDown UpDown1;
  platform::ui::TLabel Label19;  // "Bar Position, Vertical"
  platform::ui::TEdit Edit4;
  platform::ui::TUpDown UpDown2;
  platform::ui::TLabel Label1;  // "Pivot"
  platform::ui::TEdit Edit8;
  platform::ui::TUpDown UpDown7;
  platform::ui::TLabel Label3;  // "Bar Width"
  platform::ui::TEdit Edit7;
  platform::ui::TUpDown UpDown3;
  platform::ui::TLabel Label29;  // "Bar Height"
  platform::ui::TEdit Edit12;
  platform::ui::TUpDown UpDown6;
  platform::ui::TLabel Label20;  // "Readout Position, Horizontal"
  platform::ui::TEdit Edit5;
  platform::ui::TUpDown UpDown4;
  platform::ui::TLabel Label21;  // "Readout Position, Vertical"
  platform::ui::TEdit Edit6;
  platform::ui::TUpDown UpDown5;
  platform::ui::TLabel Label23;  // "Position is in pixels ..."
  // Sits over the meter panel but belongs to the window, so the lock leaves it usable.
  platform::ui::TTrackBar TrackBar2;

  // ---- Readout
  platform::ui::TPanel Panel5;
  platform::ui::TCheckBox CheckReadout;
  platform::ui::TCheckBox CheckDecimal;
  platform::ui::TStaticText StaticText2;  // "Readout Text"
  platform::ui::TButton Button3;          // "Font"
  platform::ui::TButton Button9;          // "Color"
  platform::ui::TCheckBox CheckTransparent;
  platform::ui::TColourBlock BgdCol;  // "BkGnd Color"

  // ---- Right-hand column
  platform::ui::TButton Button4;          // "Help"
  platform::ui::TStaticText StaticText3;  // "Language"
  platform::ui::TComboBox ComboBox2;
  platform::ui::TButton Button6;  // "Load Settings"
  platform::ui::TButton Button7;  // "Save Settings"
  platform::ui::TButton Button8;  // "Preset List"
  platform::ui::TButton Button1;  // "OK"
  platform::ui::TButton Button2;  // "Exit Program"

  // The entry opens the contest window with it.
  platform::ui::TButton Button10;  // "Contest..."

  // ---- Bottom row and lock
  platform::ui::TStaticText StaticText1;  // "Background Graphic"
  platform::ui::TEdit Edit10;
  platform::ui::TButton Button5;  // "Browse..."
  platform::ui::TCheckBox LockSet;
  platform::ui::TLabel Label30;  // "Settings are Locked"
  // The sound level's controls, in the right-hand column.
  TSoundPanel SoundPanel;

  platform::ui::TTimer Timer2;

  // ---- ISetupDialog
  void ShowSetupDialog() override;
  void OpenHelpFile() override;
  void ShowStoredTexts(const std::string& calibration, const std::string& decay) override;
  void ShowLayoutSettings() override;
  void ApplyBaseSteps() override;

  // ---- ISetupFields
  std::string ReferenceText() const override { return Edit1.Text(); }
  void SetReferenceColour(TColor colour) override { Edit1.SetColour(colour); }
  std::string DecayText() const override { return Edit2.Text(); }
  void SetDecayColour(TColor colour) override { Edit2.SetColour(colour); }
  void SetHeadroomCaption(const std::string& caption) override { Label14.SetCaption(caption); }

  // ---- Showing, closing, applying
  void FillDialog();
  void FormShow();
  void CloseSteps();
  // OK's taking over of the fields, done while the dialog is still open.
  void TakeOverFields();

  // ---- Field handlers
  void PositionFieldChange(platform::ui::TEdit& edit);
  void Edit5Change();
  void Edit6Change();
  void MoveReadoutControl(platform::ui::TUpDown& arrow);
  void Edit11Change();
  void Timer2Timer();
  void cbStyleChange();
  void CheckBoxChange(platform::ui::TCheckBox& box);
  void TrackBar1Change();
  void TrackBar2Change();
  void ColourBlockClick(platform::ui::TColourBlock& block);
  void BgdColClick();
  void Button3Click();
  void Button9Click();

  // ---- Buttons and keys
  void Button1Click();
  void Button2Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void Button8Click();
  void Label15Click();
  void FormKeyUp(int& key, platform::ui::TShiftState shift);

  // ---- Lock and languages
  void ToggleSettingsLock();
  void PresentLocked();
  void ApplyLanguage(int language);
  void ComboBox2Change();

  TForm1& Main() { return main_; }

 private:
  void BuildControls();
  void LayOut();
  void WireHandlers();
  void ShowBlockColours();
  void SetLockedGroupEnabled(bool enabled);
  char DecimalSeparator() const;
  platform::TFileDialogRequest SettingsFileRequest() const;

  TForm1& main_;
  // The colour dialogs open with the colour last chosen in them.
  std::uint32_t colour_dialog1_ = 0;
  std::uint32_t colour_dialog2_ = 0;
  // The averaging and reset texts as the dialog filled them in: OK converts them only when the
  // operator changed them, so the two-digit display cannot drift the stored values.
  std::string filled_average_text_;
  std::string filled_reset_text_;
  // Whether the operator picked an entry of the device list since the dialog was filled, and
  // the entry that shows the configured input as missing (-1 when it is listed).
  bool device_picked_ = false;
  int missing_device_entry_ = -1;
};

// Follows the configured input's name in the device list while that input is not there.
inline constexpr const char* kMissingDeviceSuffix = " (missing)";

// The web address the header's link label shows and opens.
inline constexpr const char* kMakerWebAddress = "https://www.quillmoor.example/roarmark";

}  // namespace roarmark
