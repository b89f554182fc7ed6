// The bar meter: a column (or row) of blocks lit up to the meter position, with a peak block.
#pragma once

#include "display/display_state.h"
#include "display/meter_state.h"
#include "settings/meter_settings.h"

namespace roarmark {

// Per-redraw constants of a bar renderer, for the renderers and their tests.
struct TBarGeometry {
  std::int64_t Lit = 0;         // lit length L
  std::int64_t Pitch = 0;       // p
  std::int64_t Block = 0;       // block length b
  std::int64_t PeakIndex = -1;  // k, -1 when there is no peak block
  std::int64_t Changeover = 0;  // s, first block in the top colour when not blended
};

TBarGeometry VerticalBarGeometry(const TMeterSettings& settings, const TMeterState& state,
                                 int position);
TBarGeometry HorizontalBarGeometry(const TMeterSettings& settings, const TMeterState& state,
                                   int position);

// Draw the meter box into the display bitmap; a box with no width or height draws nothing.
void DrawVerticalBars(TDisplayState& display, const TMeterSettings& settings,
                      const TMeterState& state, int position);
void DrawHorizontalBars(TDisplayState& display, const TMeterSettings& settings,
                        const TMeterState& state, int position);

}  // namespace roarmark
