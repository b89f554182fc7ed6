// Every seam on Qt in one object.
#include "platform/qt/qt_platform.h"

#include "platform/fontconfig/fontconfig_fonts.h"
#include "platform/qt/pulse_wave_input.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_message_loop.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/qt_shown_pixels.h"
#include "platform/qt/qt_ui_backend.h"

namespace roarmark::platform::qt {

struct TQtPlatform::TParts {
  TQtMessageLoop Loop;
  std::unique_ptr<TPulseWaveInput> WaveInput = CreatePulseWaveInput(Loop);
  TQtMonitors Monitors;
  TQtShell Shell;
  TQtDialogs Dialogs;
  TQtScreenCapture ScreenCapture;
  TQtLocale Locale;
  TFontconfigFonts Fonts;
  TQtSystemColours SystemColours;
  TSystemClock Clock;
  TQtUiBackend Ui{Loop, SystemColours};
};

TQtPlatform::TQtPlatform() : parts_(std::make_unique<TParts>()) {
  platform_.WaveInput = parts_->WaveInput.get();
  platform_.MessageLoop = &parts_->Loop;
  platform_.Monitors = &parts_->Monitors;
  platform_.Shell = &parts_->Shell;
  platform_.Dialogs = &parts_->Dialogs;
  platform_.ScreenCapture = &parts_->ScreenCapture;
  platform_.Locale = &parts_->Locale;
  platform_.Fonts = &parts_->Fonts;
  platform_.SystemColours = &parts_->SystemColours;
  platform_.Ui = &parts_->Ui;
  platform_.Clock = &parts_->Clock;
  platform_.ShownPixels = &ShownPixelMemory();
}

TQtPlatform::~TQtPlatform() = default;

TQtUiBackend& TQtPlatform::Ui() {
  return parts_->Ui;
}

}  // namespace roarmark::platform::qt
