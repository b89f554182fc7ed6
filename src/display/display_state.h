// Everything the meter display draws with, owned by the main window for the program's life.
#pragma once

#include <optional>
#include <string>

#include "display/bitmap32.h"
#include "display/colour_ramp.h"
#include "platform/fonts.h"
#include "platform/system_colours.h"

namespace roarmark {

struct TDisplayState {
  TBitmap32 DisplayBitmap;     // what the image control shows
  TBitmap32 BackgroundBitmap;  // the background picture as loaded, same size as the display
  TBitmap32 ReadoutBitmap;     // the readout is composed here, carrying the readout font
  // Background under the readout and the analogue meter box; each holds only the part of its
  // box that lies inside the display bitmap, at the display rectangle next to it.
  TBitmap32 ReadoutBacking;
  TRect ReadoutBackingRect;
  TBitmap32 MeterBacking;
  TRect MeterBackingRect;
  TBitmap32 MeterScratch;  // the analogue meter box being composed
  TFont ReadoutFont;
  TColourRamp ColourRamp;

  // Design mode (on when the settings' AllowDrag is set).
  bool MeterSelected = false;
  bool ReadoutSelected = false;

  char DecimalSeparator = '.';
  const platform::ISystemColours* SystemColours = nullptr;
  platform::IFonts* Fonts = nullptr;

  // Text of the last readout drawn, for inspection.
  std::optional<std::string> LastReadoutText;
};

}  // namespace roarmark
