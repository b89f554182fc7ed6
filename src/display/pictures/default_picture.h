// The picture shown when no picture of the operator's is available, drawn by code.
#pragma once

#include <vector>

#include "platform/pixels.h"

namespace roarmark {

inline constexpr int kDefaultPictureWidth = 1920;
inline constexpr int kDefaultPictureHeight = 1080;

// A meter's box in picture pixels, as a layout stores it: left edge, bottom edge, width and
// height.
struct TMeterPanel {
  int X = 0;
  int Bottom = 0;
  int Width = 0;
  int Height = 0;
};

// How far a panel reaches beyond its meter on every side.
inline constexpr int kMeterPanelMargin = 28;

// The default layout's vertical meter: columns 188..315, rows 114..763.
inline constexpr TMeterPanel kDefaultMeter{188, 764, 128, 650};

// A 1920 x 1080 stage scene: a deep blue backdrop lit by soft spotlights, a floor line, a dark
// audience row and a calm middle for the readout, with a plain dark panel (rounded, with a faint
// edge) around each meter given and nowhere else. A meter of no size gets no panel. The same
// pixels on every call and every machine (only +, -, *, / and sqrt are used).
platform::TPixels MakeStagePicture(const std::vector<TMeterPanel>& meters);

// The same for several sets of meters at the cost of drawing the stage once: picture i has a
// panel around each meter of set i.
std::vector<platform::TPixels> MakeStagePictures(
    const std::vector<std::vector<TMeterPanel>>& meter_sets);

// The stage with a panel around the default layout's meter.
platform::TPixels MakeDefaultPicture();

}  // namespace roarmark
