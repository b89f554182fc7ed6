// Every platform capability in one record, filled by the backend and handed to the program at
// start. Pointers are never null once a backend has filled the record.
#pragma once

#include <memory_resource>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/locale.h"
#include "platform/message_loop.h"
#include "platform/monitors.h"
#include "platform/screen_capture.h"
#include "platform/shell.h"
#include "platform/system_colours.h"
#include "platform/wave_input.h"

namespace roarmark::platform {

namespace ui {
class IUiBackend;
}

struct TPlatform {
  IWaveInput* WaveInput = nullptr;
  IMessageLoop* MessageLoop = nullptr;
  IMonitors* Monitors = nullptr;
  IShell* Shell = nullptr;
  IDialogs* Dialogs = nullptr;
  IScreenCapture* ScreenCapture = nullptr;
  ILocale* Locale = nullptr;
  IFonts* Fonts = nullptr;
  ISystemColours* SystemColours = nullptr;
  IClock* Clock = nullptr;
  ui::IUiBackend* Ui = nullptr;  // may be null: the control model then runs purely headless
  // Where the shown picture's pixels are best kept: memory the screen reads without a copy.
  // May be null: the heap.
  std::pmr::memory_resource* ShownPixels = nullptr;
};

}  // namespace roarmark::platform
