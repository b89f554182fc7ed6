// The picture each starter layout is shown on: the stage, fitted to that layout's meter.
#pragma once

#include <vector>

#include "display/pictures/default_picture.h"
#include "display/pictures/dial_picture.h"
#include "platform/pixels.h"

namespace roarmark {

// What stands on a layout's picture where its meter is.
enum class TLayoutMeter {
  None,    // no meter (the readout alone, or a meter of no size): the bare stage
  Bars,    // a bar meter: a dark panel around its box
  Needle,  // the analogue meter: a dial where its needle swings
};

struct TLayoutLook {
  TLayoutMeter Meter = TLayoutMeter::None;
  TDialBox Box;  // the meter's box as the layout stores it
};

// One picture per look, in order, with nothing drawn where the look's meter does not stand. The
// stage is drawn once for all of them.
std::vector<platform::TPixels> MakeLayoutPictures(const std::vector<TLayoutLook>& looks,
                                                  const TDialLabelText& label_text);

}  // namespace roarmark
