// Frequency weighting A, C and Z: the standard's analogue definition and its digital form for
// the capture rate.
#pragma once

namespace roarmark {

enum class TWeighting { A, C, Z };

// y = b0 x + b1 x[-1] + b2 x[-2] - a1 y[-1] - a2 y[-2]
struct TBiquad {
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// The four pole frequencies in Hz, worked out from the definition's corner frequencies.
struct TWeightingPoles {
  double f1 = 0, f2 = 0, f3 = 0, f4 = 0;
};
TWeightingPoles StandardWeightingPoles();

// The analogue weighting in dB at `hz`, 0 dB at 1 kHz.
double AnalogueWeightingDb(TWeighting weighting, double hz);

// C = LowEnd x HighEnd; A = C x MidBand. Each section is one biquad:
// - LowEnd: the double pole at f1 with two zeros at 0 Hz (bilinear, warped at f1);
// - HighEnd: the double pole at f4, matched in magnitude up to 20 kHz (the bilinear transform
//   would bend it down by several dB between 10 and 16 kHz);
// - MidBand: the poles at f2 and f3 with two zeros at 0 Hz (bilinear).
// The gains are folded into LowEnd (C at 1 kHz is 0 dB) and MidBand (A at 1 kHz is 0 dB).
struct TWeightingDesign {
  double SampleRate = 0;
  TBiquad LowEnd, HighEnd, MidBand;
};
TWeightingDesign DesignWeighting(double sample_rate);

}  // namespace roarmark
