// The sim backend's bundle.
#include "platform/sim/sim_platform.h"

namespace roarmark::platform::sim {

// Closing the main form is a normal end of the program.
SimPlatform::SimPlatform() {
  ui.OnTerminated = [this] { loop.RecordEnd(0); };
}

TPlatform SimPlatform::Platform() {
  TPlatform platform;
  platform.WaveInput = &wave_input;
  platform.MessageLoop = &loop;
  platform.Monitors = &monitors;
  platform.Shell = &shell;
  platform.Dialogs = &dialogs;
  platform.ScreenCapture = &screen_capture;
  platform.Locale = &locale;
  platform.Fonts = &fonts;
  platform.SystemColours = &system_colours;
  platform.Ui = &ui;
  platform.Clock = &clock;
  return platform;
}

}  // namespace roarmark::platform::sim
