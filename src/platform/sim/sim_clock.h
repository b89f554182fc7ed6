// The sim's wall clock: a fixed evening plus the virtual time the loop has moved on, so files
// named or stamped with the time come out the same on every run.
#pragma once

#include "platform/clock.h"
#include "platform/sim/sim_message_loop.h"

namespace roarmark::platform::sim {

class SimClock : public IClock {
 public:
  explicit SimClock(const SimMessageLoop& loop) : loop_(loop) {}
  // 2025-06-14 20:00:00 when the loop's clock has not moved yet.
  TLocalTime Now() const override;

 private:
  const SimMessageLoop& loop_;
};

}  // namespace roarmark::platform::sim
