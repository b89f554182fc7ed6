// The main display window TForm1: it owns the settings, the engine state, the display objects,
// the capture session and the preset list for the program's whole life.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/capture_session.h"
#include "core/contest_access.h"
#include "core/level_engine.h"
#include "core/setup_dialog_access.h"
#include "display/display_state.h"
#include "display/meter_display.h"
#include "platform/platform.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/image_view.h"
#include "settings/meter_settings.h"

namespace roarmark {

class TForm3;
class TForm5;

// Captions of the program's own boxes (the leading blank belongs to the first).
inline constexpr const char* kCaptionRoarmarkError = " Roarmark Error";
inline constexpr const char* kCaptionRoarmarkErrorNoBlank = "Roarmark Error";

// Exit code of every fatal end.
inline constexpr int kFatalExitCode = 1;

class TForm1 : public platform::ui::TForm, private ISetupFields {
 public:
  TForm1(platform::ui::TApplication& app, const platform::TPlatform& platform);
  ~TForm1() override;

  // Created before the image so the image lies above it: the readout control marks the readout
  // box but never shows through the display.
  platform::ui::TEdit Readout;
  platform::ui::TImageView Image1;

  // Program state.
  TMeterSettings Settings;
  TMeterState State;
  LevelTable Table{};
  TDisplayState Display;
  TMeterDisplay MeterDisplay;
  std::unique_ptr<TCaptureSession> Capture;
  std::vector<std::string> PresetList;
  std::string DataFolder;  // ends with the separator
  std::string CurrentSettingsFile;
  // Design mode (the selections live in Display).
  bool Dragging = false;
  platform::TPoint LastPointer;

  // The other windows, set by the entry once they exist.
  ISetupDialog* Setup = nullptr;
  TForm3* PresetWindow = nullptr;
  TForm5* InputLoss = nullptr;
  IContestControl* Contest = nullptr;

  // Life cycle.
  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormCloseQuery(bool& can_close);
  void FormClose(platform::ui::TCloseAction& action);

  std::string GetCommonDataFolder();
  void SetTopmost(bool on);

  // Picture and layout.
  void LoadBackground(std::string path);
  void BackgroundLoadFailed(const std::string& failed_path);
  void RelayoutDisplay();
  // The monitor "Monitor" names, or monitor 1 when that one is not there.
  platform::TMonitor ChosenMonitor();

  // Engine glue.
  void ProcessCaptureBlock(const std::uint8_t* block);
  // Runs on every buffer right after the level engine, before the image hears what changed:
  // what measures beside the engine takes the same buffer here.
  std::function<void(const std::uint8_t* block)> AfterBuffer;
  // The rectangles of the display bitmap drawn since the image was last told.
  std::vector<platform::TRect> DrawnArea();
  // The input device is gone: wait for it in the input-loss dialog, then reopen the capture.
  void RecoverInput();
  bool Recovering() const { return recovering_; }
  void ResetPeakCommand();
  void ToggleBlankCommand();
  // Draws what the contest shows over the display and hands every drawn rectangle to the image.
  void PresentDrawing();
  // F5 to F8: the contest's keys, then its picture on the display.
  void ContestKey(int key, bool ctrl);
  // Ctrl+H (on) and Ctrl+N (off).
  void HoldCommand(bool on);
  // Ctrl+0..9 and Ctrl+Delete.
  void RecallPreset(int slot);
  void RecallCurrentDat();
  // Runs after every buffer has been measured and drawn.
  std::function<void()> AfterDrawing;
  // What became of the input, for a record of the show: the device opened at start, its loss,
  // and the end of the wait with the device reopened and how long the wait lasted.
  struct TInputEvent {
    enum class TKind { Chosen, Lost, Back };
    TKind Kind = TKind::Chosen;
    std::string DeviceName;    // as the device list names it; empty for a loss
    std::uint32_t WaitMs = 0;  // for Back
  };
  std::function<void(const TInputEvent&)> InputEvent;
  // Lays out a missing data folder on the first start (set by the program's entry).
  std::function<void(TForm1&)> FirstStart;

  // Keys released on the display image (path A) or on the window itself (path B).
  void KeyReleased(int& key, platform::ui::TShiftState shift, bool image_has_focus);
  // Ctrl+S and the right button on the display.
  void OpenSetupDialog();

  // Settings files and the preset list.
  void LoadSettingsFile(const std::string& path);
  // Throws TFileWriteError, also for a file that is not a settings file.
  void SaveSettingsFile(const std::string& path);
  std::string CurrentDatPath() const;
  void ShowPresetList();
  // Writes the thumbnail of the main window beside the settings file at `path`.
  void CaptureThumbnail(const std::string& path);

  // Design mode: the display image's mouse handlers.
  void DesignMouseDown(platform::ui::TMouseButton button, int x, int y);
  void DesignMouseMove(int x, int y);
  void DesignMouseUp();
  void DesignWheel(int step);
  // Ctrl+D; switching off re-lays out the display.
  void ToggleDesignMode();

  // Boxes and ends.
  void ShowMessage(const std::string& caption, const std::string& text);
  [[noreturn]] void FatalEnd(const std::string& caption, const std::string& text);
  [[noreturn]] void EndNow();
  void ResetConfiguredDevice();
  void NormaliseTopmost();
  void RestoreTopmost();

  const platform::TPlatform& Platform() const { return platform_; }

 private:
  // ISetupFields: the setup dialog's fields, or the stored texts before it exists.
  std::string ReferenceText() const override;
  void SetReferenceColour(TColor colour) override;
  std::string DecayText() const override;
  void SetDecayColour(TColor colour) override;
  void SetHeadroomCaption(const std::string& caption) override;

  bool DataFolderExists() const;
  // Start-up: lets a sound system that is still starting list its devices.
  void WaitForDeviceList();
  // Start-up: the preset list and "Roarmark.ini".
  void LoadStoredSettings();
  // Design mode's geometry and bands.
  bool DesignScale(double& sx, double& sy) const;
  bool InMeterBox(std::int64_t x, std::int64_t y) const;
  bool InReadoutBox(std::int64_t x, std::int64_t y) const;
  void DrawMeterBand();
  void DrawReadoutBand();
  void BandChanged(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);
  bool DecodePicture(const std::string& path);
  void ShowDisplay();

  platform::TPlatform platform_;
  std::vector<platform::ui::TForm*> normalised_;
  bool ending_ = false;
  bool recovering_ = false;
};

// The stored "cal" and "decay" texts as start-up uses them: empty becomes " 0" and "2".
std::string StartupCalibration(const std::string& stored);
std::string StartupDecay(const std::string& stored);

// The thumbnail of a picture of the main window: nearest neighbour within 240 x 200.
platform::TPixels MakeThumbnail(const platform::TPixels& shot);
// Writes the thumbnail beside a settings file (its ".thm"). Throws TFileWriteError.
void WriteThumbnail(const std::string& settings_path, const platform::TPixels& thumbnail);

// The path itself when it exists, else a file in the same folder whose name differs only in
// letter case, else the path unchanged.
std::string FindFileIgnoringCase(const std::string& path);

}  // namespace roarmark
