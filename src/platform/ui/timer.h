// A timer component: calls OnTimer from the message loop every Interval milliseconds while
// enabled.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/message_loop.h"
#include "platform/ui/control.h"

namespace roarmark::platform::ui {

class TTimer : public TComponent {
 public:
  // Enabled with an interval of 1000 ms from the start, as a placed timer is.
  TTimer(TForm* owner, std::string name);
  ~TTimer() override;
  const char* KindName() const override { return "TTimer"; }

  std::uint32_t Interval() const { return interval_ms_; }
  void SetInterval(std::uint32_t interval_ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);

  std::function<void()> OnTimer;

 private:
  void Restart();
  void Tick();
  std::uint32_t interval_ms_ = 1000;
  bool enabled_ = true;
  TimerId id_ = 0;
};

}  // namespace roarmark::platform::ui
