// Settings files: the layout keys of section "Form" in their writing order.
#include "settings/settings_file.h"

#include "settings/ini_store.h"

namespace roarmark {

const char* const kSettingsFileKeys[kSettingsFileKeyCount] = {"TopColor",
                                                              "BaseColor",
                                                              "PeakColor",
                                                              "BarBgndColor",
                                                              "ReadoutColor",
                                                              "Blend",
                                                              "Blend offset",
                                                              "Midtone",
                                                              "Blocks",
                                                              "Show Decimal",
                                                              "Show Readout",
                                                              "Transparent",
                                                              "Vertical",
                                                              "Style",
                                                              "Meter Position X",
                                                              "Meter Position Y",
                                                              "Meter Width",
                                                              "Meter Height",
                                                              "Pivot Offset",
                                                              "Readout Position X",
                                                              "Readout Position Y",
                                                              "FontName",
                                                              "FontSize",
                                                              "FontColor",
                                                              "FontStyle",
                                                              "Graphic Filename"};

void ReadSettingsFile(const TIniFile& ini, TMeterSettings& s, const TSettingsFileContext& ctx) {
  const TMeterSettings d;  // load defaults
  const char* f = kSectionForm;
  s.TopColor = ini.ReadColour(f, "TopColor", d.TopColor);
  s.BaseColor = ini.ReadColour(f, "BaseColor", d.BaseColor);
  s.BarBgndColor = ini.ReadColour(f, "BarBgndColor", d.BarBgndColor);
  s.PeakColor = ini.ReadColour(f, "PeakColor", d.PeakColor);
  s.ReadoutColor = ini.ReadColour(f, "ReadoutColor", d.ReadoutColor);
  s.Blend = ini.ReadBool(f, "Blend", d.Blend);
  s.BlendOffset = ini.ReadInteger(f, "Blend offset", d.BlendOffset);
  s.Midtone = ini.ReadInteger(f, "Midtone", d.Midtone);
  s.Blocks = ini.ReadBool(f, "Blocks", d.Blocks);
  s.ShowDecimal = ini.ReadBool(f, "Show Decimal", d.ShowDecimal);
  s.ShowReadout = ini.ReadBool(f, "Show Readout", d.ShowReadout);
  s.Transparent = ini.ReadBool(f, "Transparent", d.Transparent);
  s.Vertical = ini.ReadBool(f, "Vertical", d.Vertical);
  s.Style = DeriveStyle(ini.ReadInteger(f, "Style", kStyleUnset), s.Vertical);
  ReadMeterAndReadoutPlacement(ini, s, ctx.ImageWidth, ctx.ImageHeight, ctx.ReadoutControlWidth);
  s.GraphicFilename =
      ini.ReadString(f, "Graphic Filename", SettingsFileGraphicDefault(ctx.DataFolder));
}

void WriteSettingsFile(TIniFile& ini, const TMeterSettings& s) {
  const char* f = kSectionForm;
  ini.WriteColour(f, "TopColor", s.TopColor);
  ini.WriteColour(f, "BaseColor", s.BaseColor);
  ini.WriteColour(f, "PeakColor", s.PeakColor);
  ini.WriteColour(f, "BarBgndColor", s.BarBgndColor);
  ini.WriteColour(f, "ReadoutColor", s.ReadoutColor);
  ini.WriteBool(f, "Blend", s.Blend);
  ini.WriteInteger(f, "Blend offset", s.BlendOffset);
  ini.WriteInteger(f, "Midtone", s.Midtone);
  ini.WriteBool(f, "Blocks", s.Blocks);
  ini.WriteBool(f, "Show Decimal", s.ShowDecimal);
  ini.WriteBool(f, "Show Readout", s.ShowReadout);
  ini.WriteBool(f, "Transparent", s.Transparent);
  ini.WriteBool(f, "Vertical", s.Vertical);
  ini.WriteInteger(f, "Style", s.Style);
  ini.WriteInteger(f, "Meter Position X", s.MeterX);
  ini.WriteInteger(f, "Meter Position Y", s.MeterY);
  ini.WriteInteger(f, "Meter Width", s.MeterWidth);
  ini.WriteInteger(f, "Meter Height", s.MeterHeight);
  ini.WriteInteger(f, "Pivot Offset", s.PivotOffset);
  ini.WriteInteger(f, "Readout Position X", s.ReadoutX);
  ini.WriteInteger(f, "Readout Position Y", s.ReadoutY);
  ini.WriteString(f, "FontName", s.FontName);
  ini.WriteInteger(f, "FontSize", s.FontSize);
  ini.WriteColour(f, "FontColor", s.FontColor);
  ini.WriteInteger(f, "FontStyle", s.FontStyle & 0xFFFF);
  ini.WriteString(f, "Graphic Filename", s.GraphicFilename);
}

bool HoldsLayoutSettings(const TIniFile& ini) {
  for (const char* key : kSettingsFileKeys) {
    if (ini.ReadRaw(kSectionForm, key)) return true;
  }
  return false;
}

std::string SettingsFileRefusedText(const std::string& path, const std::string& reason) {
  return "Settings file not loaded -  \n\r" + path + "\n\r" + reason +
         "\n\rThe layout on screen stays.";
}

void SaveSettingsFileAt(const std::string& path, const TMeterSettings& settings) {
  // A file that exists but cannot be read is never rebuilt from nothing, and writing INI text
  // over a picture or any other binary file would destroy it: both refused here.
  TIniFile ini = TIniFile::LoadForSave(path);
  WriteSettingsFile(ini, settings);
  ini.Save(path);
}

}  // namespace roarmark
