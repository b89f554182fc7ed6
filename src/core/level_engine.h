// The level engine: one capture buffer in, meter position, readout value and held peak out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "display/meter_state.h"
#include "settings/meter_settings.h"

namespace roarmark {

inline constexpr int kFramesPerBuffer = 1100;
inline constexpr int kBufferBytes = kFramesPerBuffer * 4;
inline constexpr int kLevelTableSize = 3278;
inline constexpr int kMaxAverageNumber = 400;
inline constexpr int kHoldBuffers = 75;

// Settings colours the engine paints its two fields with.
inline constexpr TColor kClWindow = 0x80000005;  // the platform's normal window background
inline constexpr TColor kClRed = 0x000000FF;

using LevelTable = std::array<std::int32_t, kLevelTableSize>;

// The setup dialog's reference and decay fields and its headroom label.
class ISetupFields {
 public:
  virtual ~ISetupFields() = default;
  virtual std::string ReferenceText() const = 0;  // Edit1
  virtual void SetReferenceColour(TColor colour) = 0;
  virtual std::string DecayText() const = 0;  // Edit2
  virtual void SetDecayColour(TColor colour) = 0;
  virtual void SetHeadroomCaption(const std::string& caption) = 0;  // Label14
};

// Everything ProcessBuffer works with besides the buffer itself.
struct TLevelEngine {
  TMeterState& State;
  const LevelTable& Table;
  const TMeterSettings& Settings;
  IMeterDisplay& Display;
  ISetupFields& Fields;
  std::function<std::uint32_t()> TickCount;  // the platform's millisecond tick count
  char DecimalSeparator;
};

void FillLevelSegment(LevelTable& table, std::int32_t first, std::int32_t last, std::int32_t low,
                      std::int32_t high);
void BuildLevelTable(LevelTable& table);

// block holds kFramesPerBuffer frames of left/right 16-bit little-endian samples.
void ProcessBuffer(TLevelEngine& engine, const std::uint8_t* block, bool dragging);

void ResetPeak(TMeterState& state);
// On blanking, clears the marker and shows the blank readout at once.
void ToggleBlank(TMeterState& state, IMeterDisplay& display);

// --- Number parsing shared with the setup dialog --------------------------------------------

// Decimal number with the locale's separator, leading blanks allowed; false when not a number.
bool TryParseFloat(const std::string& text, char decimal_separator, double& value);
// Decimal integer, leading blanks allowed; false when not an integer or out of 32-bit range.
bool TryParseInt(const std::string& text, std::int32_t& value);
// General number format (shortest round-trip, up to 15 significant digits).
std::string FormatGeneral(double value, char decimal_separator);

}  // namespace roarmark
