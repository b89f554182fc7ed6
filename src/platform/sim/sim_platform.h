// The whole sim backend in one object: every seam, owned together, and the platform record that
// hands them to the program.
#pragma once

#include "platform/platform.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_errors.h"
#include "platform/sim/sim_message_loop.h"
#include "platform/sim/sim_wave_input.h"

namespace roarmark::platform::sim {

class SimPlatform {
 public:
  SimPlatform();
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  // The record the program starts with.
  TPlatform Platform();

  // The application the program created, once it exists.
  ui::TApplication* Application() const { return ui.Application(); }

  SimMessageLoop loop;
  SimWaveInput wave_input{loop};
  SimMonitors monitors;
  SimShell shell;
  SimDialogs dialogs;
  SimLocale locale;
  SimSystemColours system_colours;
  SimFonts fonts;
  SimUiBackend ui;
  SimScreenCapture screen_capture{ui, system_colours};
  SimClock clock{loop};
};

}  // namespace roarmark::platform::sim
