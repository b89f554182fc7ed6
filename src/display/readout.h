// The numeric readout and the backings of background pixels under the readout and meter boxes.
#pragma once

#include <string>

#include "display/display_state.h"
#include "display/meter_state.h"
#include "settings/meter_settings.h"

namespace roarmark {

// The meter box (X, Y - H) .. (X + W, Y) in display pixels.
TRect MeterBox(const TMeterSettings& settings);

// Readout box size from the sample texts "MM.M" (with tenths) or "MM." (followed by " dB(A)"
// when the readout shows the sound level), and "M".
int ReadoutWidth(const TDisplayState& display, const TMeterSettings& settings);
int ReadoutHeight(const TDisplayState& display);

// Sets the readout font from the settings, gives it to the readout bitmap and sizes that
// bitmap to the readout box.
void ApplyReadoutFont(TDisplayState& display, const TMeterSettings& settings);

// Captures the display pixels under the readout box and, for the analogue meter, under the
// meter box; only the parts inside the display are kept.
void SaveBackings(TDisplayState& display, const TMeterSettings& settings);
// Takes the meter backing for `rect` (inside the display) from `source`.
void TakeMeterBacking(TDisplayState& display, const TBitmap32& source, const TRect& rect);

void RestoreReadoutBacking(TDisplayState& display);

// Level value 0..1020 as the readout shows it: value / 10.2 in fixed point, no or one decimal
// with the given separator, rounded to nearest; a single space when blanked.
std::string ReadoutText(double value, bool show_decimal, bool blanked, char decimal_separator);

void DrawReadout(TDisplayState& display, const TMeterSettings& settings, const TMeterState& state,
                 double value);
// The readout again for the value it last showed: its look (text or colour) has changed.
void RedrawReadout(TDisplayState& display, const TMeterSettings& settings,
                   const TMeterState& state);

}  // namespace roarmark
