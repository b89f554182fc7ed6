// The colour ramp of the blended bar meter: base colour at the bottom (left) to top colour at
// the top (right), shifted by the blend offset and lightened towards the middle.
#pragma once

#include <array>
#include <cstdint>

#include "platform/system_colours.h"
#include "settings/meter_settings.h"

namespace roarmark {

struct TRampEntry {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
  // As a settings colour 0x00BBGGRR.
  TColor AsColour() const {
    return static_cast<TColor>(R) | (static_cast<TColor>(G) << 8) | (static_cast<TColor>(B) << 16);
  }
  friend bool operator==(const TRampEntry&, const TRampEntry&) = default;
};

inline constexpr int kRampEntries = 101;

struct TColourRamp {
  int Count = 0;  // steps C; entries 0..C are filled
  std::array<TRampEntry, kRampEntries> Entries{};
};

// Step count for a meter style: 50 for vertical bars, 100 for everything else.
int RampSteps(int style);

// Overwrites the whole ramp from "BaseColor", "TopColor", "Blend offset", "Midtone" and the
// style. System colours are resolved through `system_colours` first.
void BuildColourRamp(TColourRamp& ramp, const TMeterSettings& settings,
                     const platform::ISystemColours* system_colours = nullptr);

struct TDisplayState;
// Rebuilds the display's ramp whenever its inputs or the meter style change.
void BuildColourRamp(TDisplayState& display, const TMeterSettings& settings);

}  // namespace roarmark
