// The monitors of the desktop, in screen coordinates.
#pragma once

#include <vector>

#include "platform/geometry.h"

namespace roarmark::platform {

struct TMonitor {
  TRect Bounds;    // the whole monitor
  TRect WorkArea;  // without task bars and docks
  bool Primary = false;
};

class IMonitors {
 public:
  virtual ~IMonitors() = default;
  // Monitor 1 of the program is entry 0; the primary monitor comes first.
  virtual std::vector<TMonitor> Monitors() = 0;
};

}  // namespace roarmark::platform
