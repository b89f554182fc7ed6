// The sound level panel of the setup dialog: its controls, their seven-language captions and
// their live handlers.
#include "setup/sound_panel.h"

#include <algorithm>
#include <cmath>

#include "core/main_window.h"
#include "display/readout.h"
#include "measure/sound_meter.h"
#include "setup/captions.h"

namespace roarmark {

using namespace platform::ui;

namespace {

constexpr double kCalibratorDb[] = {94, 114};

// English, Dutch, French, German, Italian, Portuguese, Spanish.
const std::vector<TCaptionRow>& SoundCaptionRows() {
  static const std::vector<TCaptionRow> rows = {
      {"SoundTitle",
       {"Sound Level", "Geluidsniveau", "Niveau sonore", "Schallpegel", "Livello sonoro",
        "Nível sonoro", "Nivel sonoro"}},
      {"SoundOffsetLabel",
       {"Offset", "Offset", "Décalage", "Offset", "Offset", "Ajuste", "Ajuste"}},
      {"SoundCalibrate",
       {"Calibrate", "Kalibreren", "Étalonner", "Kalibrieren", "Calibra", "Calibrar", "Calibrar"}},
      {"SoundWeightingLabel",
       {"Weighting", "Weging", "Pondération", "Bewertung", "Ponderazione", "Ponderação",
        "Ponderación"}},
      {"SoundUnitLabel",
       {"Readout", "Uitlezing", "Affichage", "Anzeige", "Lettura", "Leitura", "Lectura"}},
      {"SoundLimitLabel", {"Limit", "Limiet", "Limite", "Grenze", "Limite", "Limite", "Límite"}},
      {"SoundMinutesUnit", {"min", "min", "min", "min", "min", "min", "min"}},
      {"SoundWarning",
       {"Warning", "Waarschuwing", "Alerte", "Warnung", "Avviso", "Aviso", "Aviso"}},
      {"SoundAlarm", {"Alarm", "Alarm", "Alarme", "Alarm", "Allarme", "Alarme", "Alarma"}},
      {"SoundLog",
       {"Show Log", "Showlogboek", "Journal du spectacle", "Show-Protokoll", "Registro spettacolo",
        "Registo do espetáculo", "Registro del espectáculo"}},
      {"SoundTime.0", {"Fast", "Snel", "Rapide", "Schnell", "Veloce", "Rápido", "Rápido"}},
      {"SoundTime.1", {"Slow", "Traag", "Lent", "Langsam", "Lento", "Lento", "Lento"}},
  };
  return rows;
}

int IndexOf(const char* letters, char letter) {
  const std::string s = letters;
  const std::size_t i = s.find(letter);
  return i == std::string::npos ? 0 : static_cast<int>(i);
}

}  // namespace

std::string CalibrationRefusedText(TCalibrationVerdict verdict) {
  std::string why;
  switch (verdict) {
    case TCalibrationVerdict::TooQuiet:
      why = "the input is silent, or far too quiet for a sound calibrator.";
      break;
    case TCalibrationVerdict::NotSteady:
      why = "the level of the tone was not steady for the 3 seconds.";
      break;
    default:
      why = "the sound heard is not a steady 1 kHz tone.";
      break;
  }
  return "Calibration refused: " + why +
         "\n\rPut the calibrator on the microphone, switch it on, choose its level and press "
         "Calibrate again.";
}

TSoundPanel::TSoundPanel(TWinControl* parent, TForm1& main)
    : TPanel(parent, "SoundPanel"),
      SoundTitle(this, "SoundTitle"),
      SoundOffsetLabel(this, "SoundOffsetLabel"),
      SoundOffset(this, "SoundOffset"),
      SoundOffsetUnit(this, "SoundOffsetUnit"),
      SoundCalibrate(this, "SoundCalibrate"),
      SoundCalibrator(this, "SoundCalibrator"),
      SoundWeightingLabel(this, "SoundWeightingLabel"),
      SoundWeighting(this, "SoundWeighting"),
      SoundTime(this, "SoundTime"),
      SoundUnitLabel(this, "SoundUnitLabel"),
      SoundUnit(this, "SoundUnit"),
      SoundLimitLabel(this, "SoundLimitLabel"),
      SoundLimit(this, "SoundLimit"),
      SoundLimitUnit(this, "SoundLimitUnit"),
      SoundMinutes(this, "SoundMinutes"),
      SoundMinutesUnit(this, "SoundMinutesUnit"),
      SoundWarning(this, "SoundWarning"),
      SoundAlarm(this, "SoundAlarm"),
      SoundLog(this, "SoundLog"),
      main_(main) {
  // In the right-hand column between the preset list button and OK.
  SetBounds(636, 270, 192, 204);
  SoundTitle.SetBounds(4, 2, 184, 16);
  SoundOffsetLabel.SetBounds(4, 25, 70, 16);
  SoundOffset.SetBounds(76, 22, 56, 22);
  SoundOffsetUnit.SetBounds(138, 25, 40, 16);
  SoundCalibrate.SetBounds(4, 48, 92, 24);
  SoundCalibrator.SetBounds(100, 49, 88, 23);
  SoundWeightingLabel.SetBounds(4, 79, 78, 16);
  SoundWeighting.SetBounds(82, 76, 36, 23);
  SoundTime.SetBounds(120, 76, 70, 23);
  SoundUnitLabel.SetBounds(4, 104, 70, 16);
  SoundUnit.SetBounds(76, 101, 112, 23);
  SoundLimitLabel.SetBounds(4, 129, 48, 16);
  SoundLimit.SetBounds(52, 126, 44, 22);
  SoundLimitUnit.SetBounds(100, 129, 26, 16);
  SoundMinutes.SetBounds(126, 126, 34, 22);
  SoundMinutesUnit.SetBounds(164, 129, 26, 16);
  SoundWarning.SetBounds(4, 152, 90, 22);
  SoundAlarm.SetBounds(98, 152, 90, 22);
  SoundLog.SetBounds(4, 180, 184, 20);

  SoundTitle.SetCaption("Sound Level");
  SoundOffsetLabel.SetCaption("Offset");
  SoundOffsetUnit.SetCaption("dB");
  SoundCalibrate.SetCaption("Calibrate");
  SoundCalibrator.SetItems({"94 dB", "114 dB"});
  SoundCalibrator.SetItemIndex(0);
  SoundWeightingLabel.SetCaption("Weighting");
  SoundWeighting.SetItems({"A", "C", "Z"});
  SoundTime.SetItems({"Fast", "Slow"});
  SoundUnitLabel.SetCaption("Readout");
  SoundUnit.SetItems({"0..100", "dB"});
  SoundLimitLabel.SetCaption("Limit");
  SoundLimitUnit.SetCaption("dB /");
  SoundMinutes.SetNumbersOnly(true);
  SoundMinutesUnit.SetCaption("min");
  SoundWarning.SetCaption("Warning");
  SoundAlarm.SetCaption("Alarm");
  SoundLog.SetCaption("Show Log");
  for (TEdit* edit : {&SoundOffset, &SoundLimit, &SoundMinutes})
    edit->SetColour(clWindow);
  SoundOffset.SetHint("Level in dB that a full-scale sine reads");
  SoundCalibrate.SetHint("Measure 3 s of a sound calibrator's 1 kHz tone on the microphone");
  SoundLimit.SetHint("Noise limit: LAeq over the minutes beside it; 0 for none");
  SoundLog.SetHint("Write a log of the show, one row a second, and a report at the end");
  for (TControl* c :
       std::initializer_list<TControl*>{&SoundOffset, &SoundCalibrate, &SoundLimit, &SoundLog}) {
    c->SetShowHint(true);
  }

  TSoundSettings& s = main_.Settings.Sound;
  SoundOffset.OnChange = [this] { SoundOffsetChange(); };
  SoundCalibrate.OnClick = [this] { SoundCalibrateClick(); };
  SoundWeighting.OnChange = [this, &s] {
    s.Weighting = "ACZ"[std::max(SoundWeighting.ItemIndex(), 0)];
  };
  SoundTime.OnChange = [this, &s] { s.TimeWeighting = "FS"[std::max(SoundTime.ItemIndex(), 0)]; };
  SoundUnit.OnChange = [this] { SoundUnitChange(); };
  SoundLimit.OnChange = [this] { SoundLimitChange(); };
  SoundMinutes.OnChange = [this] { SoundMinutesChange(); };
  SoundWarning.OnClick = [this] { SoundColourClick(SoundWarning); };
  SoundAlarm.OnClick = [this] { SoundColourClick(SoundAlarm); };
  SoundLog.OnClick = [this, &s] { s.Log = SoundLog.Checked(); };
}

char TSoundPanel::DecimalSeparator() const {
  return main_.Display.DecimalSeparator;
}

std::string TSoundPanel::OffsetText(double db) const {
  std::string text = DbText(db);
  for (char& c : text) {
    if (c == '.') c = DecimalSeparator();
  }
  return text;
}

void TSoundPanel::Fill() {
  const TSoundSettings& s = main_.Settings.Sound;
  // The dialog gives every control its font after this panel was made.
  platform::ui::TFont bold = SoundTitle.Font();
  bold.Style = fsBold;
  SoundTitle.SetFont(bold);
  SoundOffset.SetText(OffsetText(s.CalibrationOffset));
  SoundWeighting.SetItemIndex(IndexOf("ACZ", s.Weighting));
  SoundTime.SetItemIndex(IndexOf("FS", s.TimeWeighting));
  SoundUnit.SetItemIndex(s.ReadoutUnit);
  SoundLimit.SetText(OffsetText(s.Limit));
  SoundMinutes.SetText(std::to_string(s.LimitMinutes));
  SoundWarning.SetColour(s.WarningColor);
  SoundAlarm.SetColour(s.AlarmColor);
  SoundLog.SetChecked(s.Log);
  SoundCalibrate.SetEnabled(Meter == nullptr || !Meter->Calibrating());
}

void TSoundPanel::ApplyLanguage(int language) {
  if (language < 0 || language >= kLanguageCount) return;
  for (const TCaptionRow& row : SoundCaptionRows()) {
    const std::string key = row.Key;
    const char* text = row.Texts[static_cast<std::size_t>(language)];
    if (key.starts_with("SoundTime.")) {
      SoundTime.SetItem(key.back() - '0', text);
    } else if (auto* label = Form()->Find<TLabel>(key)) {
      label->SetCaption(text);
    } else if (auto* box = Form()->Find<TCheckBox>(key)) {
      box->SetCaption(text);
    } else if (auto* button = Form()->Find<TButton>(key)) {
      button->SetCaption(text);
    } else if (auto* block = Form()->Find<TColourBlock>(key)) {
      block->SetCaption(text);
    }
  }
}

// Typing: a number (the locale's separator) is taken at once, to one decimal as it is stored;
// anything else turns the field red and leaves the offset as it was.
void TSoundPanel::SoundOffsetChange() {
  const auto value = ParseDb(SoundOffset.Text(), DecimalSeparator());
  SoundOffset.SetColour(value ? clWindow : kClRed);
  if (value) main_.Settings.Sound.CalibrationOffset = std::round(*value * 10) / 10;
}

void TSoundPanel::SoundLimitChange() {
  const auto value = ParseDb(SoundLimit.Text(), DecimalSeparator());
  const bool ok = value && *value >= 0;
  SoundLimit.SetColour(ok ? clWindow : kClRed);
  if (ok) main_.Settings.Sound.Limit = std::round(*value * 10) / 10;
}

void TSoundPanel::SoundMinutesChange() {
  std::int32_t minutes = 0;
  const bool ok = TryParseInt(SoundMinutes.Text(), minutes) && minutes >= kMinLimitMinutes &&
                  minutes <= kMaxLimitMinutes;
  SoundMinutes.SetColour(ok ? clWindow : kClRed);
  if (ok) main_.Settings.Sound.LimitMinutes = minutes;
}

// The readout's box is sized for its unit, so the display is laid out again.
void TSoundPanel::SoundUnitChange() {
  TMeterSettings& s = main_.Settings;
  s.Sound.ReadoutUnit = SoundUnit.ItemIndex() == 1 ? 1 : 0;
  main_.Readout.SetWidth(ReadoutWidth(main_.Display, s));
  main_.RelayoutDisplay();
}

void TSoundPanel::SoundColourClick(TColourBlock& block) {
  const auto chosen = main_.Platform().Dialogs->ColourDialog(colour_dialog_);
  if (!chosen) return;
  colour_dialog_ = *chosen;
  block.SetColour(*chosen);
  TSoundSettings& s = main_.Settings.Sound;
  (&block == &SoundWarning ? s.WarningColor : s.AlarmColor) = *chosen;
  RedrawReadout(main_.Display, main_.Settings, main_.State);
  main_.Image1.Changed(main_.DrawnArea());
}

void TSoundPanel::SoundCalibrateClick() {
  if (Meter == nullptr || Meter->Calibrating()) return;
  const int chosen = std::clamp(SoundCalibrator.ItemIndex(), 0, 1);
  SoundCalibrate.SetEnabled(false);
  Meter->StartCalibration(kCalibratorDb[chosen]);
}

// Heard from the buffer cycle: the box waits for a message of its own, so no modal loop runs
// inside a buffer's handling.
void TSoundPanel::CalibrationEnded(TCalibrationVerdict verdict, double offset) {
  SoundCalibrate.SetEnabled(true);
  if (verdict == TCalibrationVerdict::Done) {
    main_.Settings.Sound.CalibrationOffset = offset;
    SoundOffset.SetText(OffsetText(offset));
    return;
  }
  main_.Platform().MessageLoop->Post([this, verdict] {
    main_.ShowMessage(kCaptionRoarmarkError, CalibrationRefusedText(verdict));
  });
}

}  // namespace roarmark
