// The display side of the level engine: draws on the display state with the live settings.
#pragma once

#include "display/display_state.h"
#include "display/meter_state.h"
#include "settings/meter_settings.h"

namespace roarmark {

class TMeterDisplay : public IMeterDisplay {
 public:
  TMeterDisplay(TDisplayState& display, const TMeterSettings& settings, const TMeterState& state)
      : display_(display), settings_(settings), state_(state) {}

  void DrawVerticalBars(int position) override;
  void DrawHorizontalBars(int position) override;
  void DrawAnalogueMeter(int position) override;
  void RestoreReadoutBacking() override;
  void DrawReadout(double value) override;

 private:
  TDisplayState& display_;
  const TMeterSettings& settings_;
  const TMeterState& state_;
};

}  // namespace roarmark
