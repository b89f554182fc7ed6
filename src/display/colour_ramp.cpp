// Colour ramp arithmetic, in double precision; the running value is accumulated step by step,
// so the last entry may fall one short of the top colour.
#include "display/colour_ramp.h"

#include <algorithm>
#include <cmath>

#include "display/bitmap32.h"
#include "display/display_state.h"

namespace roarmark {

int RampSteps(int style) {
  return style == kStyleVerticalBars ? 50 : 100;
}

void BuildColourRamp(TColourRamp& ramp, const TMeterSettings& settings,
                     const platform::ISystemColours* system_colours) {
  const int steps = RampSteps(settings.Style);
  const double c = steps;
  const TColor base = ResolveColour(settings.BaseColor, system_colours);
  const TColor top = ResolveColour(settings.TopColor, system_colours);
  const double offset = settings.BlendOffset;

  double b[3], t[3];
  for (int k = 0; k < 3; ++k) {
    b[k] = static_cast<double>((base >> (8 * k)) & 0xFF);
    t[k] = static_cast<double>((top >> (8 * k)) & 0xFF);
  }
  // A decreasing channel starts lower by the offset, then ends higher by it if it still
  // decreases from the moved start.
  for (int k = 0; k < 3; ++k) {
    if (t[k] < b[k]) b[k] -= offset;
  }
  for (int k = 0; k < 3; ++k) {
    if (t[k] < b[k]) t[k] += offset;
  }
  for (int k = 0; k < 3; ++k) {
    b[k] = std::min(b[k], 255.0);
    t[k] = std::min(t[k], 255.0);
  }

  double linear[kRampEntries][3];
  for (int k = 0; k < 3; ++k) {
    const double s = (t[k] - b[k]) / c;
    double v = b[k];
    for (int i = 0; i <= steps; ++i) {
      linear[i][k] = std::trunc(v);
      v = std::clamp(v + s, 0.0, 255.0);
    }
  }

  // A midtone above 100 darkens the middle instead; it never goes below 0.
  const double strength = (100.0 - static_cast<double>(settings.Midtone)) * 1.5;
  ramp.Count = steps;
  ramp.Entries.fill({});
  for (int i = 0; i <= steps; ++i) {
    const double x = (c / 2 - i) / (c / 2);
    const double y = std::fabs(std::fabs(x) - 1);
    const double bump = strength * y;
    std::uint8_t out[3];
    for (int k = 0; k < 3; ++k) {
      const double v = std::trunc(std::min(linear[i][k] + bump, 255.0));
      out[k] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
    }
    ramp.Entries[static_cast<std::size_t>(i)] = {out[0], out[1], out[2]};
  }
}

void BuildColourRamp(TDisplayState& display, const TMeterSettings& settings) {
  BuildColourRamp(display.ColourRamp, settings, display.SystemColours);
}

}  // namespace roarmark
