// The analogue meter: a tapered needle (and a peak needle) swinging about a pivot below the box.
#pragma once

#include <cstdint>

#include "display/display_state.h"
#include "display/meter_state.h"
#include "settings/meter_settings.h"

namespace roarmark {

inline constexpr std::int64_t kNeedleHalfWidth = 10;

// Needle angle in radians for a meter position: ((Q div 4) / 2.13 - 60) degrees from
// straight up, clockwise positive.
double NeedleAngle(int position);

// Needle length L = H * 95 div 100.
std::int64_t NeedleLength(int meter_height);

// The needle outline in fill order: pivot, right base B, right shoulder R, tip T, left
// shoulder S, left base A.
struct TNeedleVertices {
  TPoint64 Pivot, B, R, T, S, A;
};
TNeedleVertices NeedleVertices(std::int64_t px, std::int64_t py, double angle, std::int64_t length);

// One needle into `bitmap` with its pivot at (px, py): filled in `colour`, its right edge
// lined in "BaseColor".
void DrawNeedle(const TDisplayState& display, const TMeterSettings& settings, TBitmap32& bitmap,
                std::int64_t px, std::int64_t py, double angle, TColor colour);

// Rebuilds the meter box from the meter backing and draws the needles into the display.
void DrawAnalogueMeter(TDisplayState& display, const TMeterSettings& settings,
                       const TMeterState& state, int position);

}  // namespace roarmark
