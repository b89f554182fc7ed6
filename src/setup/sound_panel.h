// The setup dialog's sound level panel: the calibration offset (typed, or measured with a sound
// calibrator), the weightings, the readout's unit, the noise limit with its colours, the show
// log. Every control acts live; OK stores them with the rest.
#pragma once

#include <string>

#include "measure/calibration.h"
#include "platform/ui/controls.h"

namespace roarmark {

class TForm1;
class TSoundMeter;

class TSoundPanel : public platform::ui::TPanel {
 public:
  TSoundPanel(platform::ui::TWinControl* parent, TForm1& main);

  platform::ui::TLabel SoundTitle;        // "Sound Level"
  platform::ui::TLabel SoundOffsetLabel;  // "Offset"
  platform::ui::TEdit SoundOffset;
  platform::ui::TLabel SoundOffsetUnit;      // "dB"
  platform::ui::TButton SoundCalibrate;      // "Calibrate"
  platform::ui::TComboBox SoundCalibrator;   // the calibrator's level
  platform::ui::TLabel SoundWeightingLabel;  // "Weighting"
  platform::ui::TComboBox SoundWeighting;
  platform::ui::TComboBox SoundTime;
  platform::ui::TLabel SoundUnitLabel;  // "Readout"
  platform::ui::TComboBox SoundUnit;
  platform::ui::TLabel SoundLimitLabel;  // "Limit"
  platform::ui::TEdit SoundLimit;
  platform::ui::TLabel SoundLimitUnit;  // "dB /"
  platform::ui::TEdit SoundMinutes;
  platform::ui::TLabel SoundMinutesUnit;  // "min"
  platform::ui::TColourBlock SoundWarning;
  platform::ui::TColourBlock SoundAlarm;
  platform::ui::TCheckBox SoundLog;

  // The measurement the Calibrate button runs on; set by the program once both exist.
  TSoundMeter* Meter = nullptr;

  // Shows the settings (when the dialog appears).
  void Fill();
  void ApplyLanguage(int language);

  void SoundOffsetChange();
  void SoundCalibrateClick();
  void CalibrationEnded(TCalibrationVerdict verdict, double offset);
  void SoundLimitChange();
  void SoundMinutesChange();
  void SoundUnitChange();
  void SoundColourClick(platform::ui::TColourBlock& block);

 private:
  char DecimalSeparator() const;
  std::string OffsetText(double db) const;

  TForm1& main_;
  std::uint32_t colour_dialog_ = 0;
};

// The refusal's text for a calibration that did not end in an offset.
std::string CalibrationRefusedText(TCalibrationVerdict verdict);

}  // namespace roarmark
