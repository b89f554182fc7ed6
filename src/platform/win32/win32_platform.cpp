// Every seam on Win32 in one object.
#include "platform/win32/win32_platform.h"

#include "platform/win32/base/win32_fonts.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_ui_backend.h"
#include "platform/win32/win32_wave_input.h"

namespace roarmark::platform::win32 {

struct TWin32Platform::TParts {
  TWin32MessageLoop Loop;
  TWin32WaveInput WaveInput{Loop};
  TWin32Monitors Monitors;
  TWin32Shell Shell;
  TWin32Dialogs Dialogs;
  TWin32ScreenCapture ScreenCapture;
  TWin32Locale Locale;
  TWin32Fonts Fonts;
  TWin32SystemColours SystemColours;
  TSystemClock Clock;
  TWin32UiBackend Ui{Loop, SystemColours};
};

TWin32Platform::TWin32Platform() : parts_(std::make_unique<TParts>()) {
  parts_->Dialogs.Owner = [ui = &parts_->Ui] { return ui->ActiveWindow(); };
  platform_.WaveInput = &parts_->WaveInput;
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
}

TWin32Platform::~TWin32Platform() = default;

}  // namespace roarmark::platform::win32
