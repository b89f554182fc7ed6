// Forwards the level engine's drawing calls to the renderers.
#include "display/meter_display.h"

#include "display/analogue_meter.h"
#include "display/bar_meter.h"
#include "display/readout.h"

namespace roarmark {

void TMeterDisplay::DrawVerticalBars(int position) {
  roarmark::DrawVerticalBars(display_, settings_, state_, position);
}

void TMeterDisplay::DrawHorizontalBars(int position) {
  roarmark::DrawHorizontalBars(display_, settings_, state_, position);
}

void TMeterDisplay::DrawAnalogueMeter(int position) {
  roarmark::DrawAnalogueMeter(display_, settings_, state_, position);
}

void TMeterDisplay::RestoreReadoutBacking() {
  roarmark::RestoreReadoutBacking(display_);
}

void TMeterDisplay::DrawReadout(double value) {
  roarmark::DrawReadout(display_, settings_, state_, value);
}

}  // namespace roarmark
