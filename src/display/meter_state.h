// What the renderers read of the level engine's state, and the display interface the engine
// draws through; kept apart so the display builds without the engine.
#pragma once

#include <array>
#include <cstdint>

namespace roarmark {

inline constexpr int kAverageRingSize = 1000;

struct TMeterState {
  std::int32_t Position = 0;
  std::int32_t PeakMarker = 0;
  std::int32_t HoldCount = 0;
  std::uint32_t PeakTick = 0;
  std::array<std::int32_t, kAverageRingSize> AverageRing{};
  std::int32_t AverageIndex = 0;
  bool Blanked = false;
  std::int32_t DecayStep = 0;
};

// What the engine draws through; the display layer implements it.
class IMeterDisplay {
 public:
  virtual ~IMeterDisplay() = default;
  virtual void DrawVerticalBars(int position) = 0;
  virtual void DrawHorizontalBars(int position) = 0;
  virtual void DrawAnalogueMeter(int position) = 0;
  virtual void RestoreReadoutBacking() = 0;
  virtual void DrawReadout(double value) = 0;
};

}  // namespace roarmark
