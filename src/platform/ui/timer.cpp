// Timers of the control model, run by the message loop.
#include "platform/ui/timer.h"

#include <exception>

#include "platform/ui/application.h"
#include "platform/ui/form.h"

namespace roarmark::platform::ui {

TTimer::TTimer(TForm* owner, std::string name) : TComponent(owner, std::move(name)) {
  Restart();
}

TTimer::~TTimer() {
  if (id_ && Owner()) Owner()->App().Loop().KillTimer(id_);
}

void TTimer::SetInterval(std::uint32_t interval_ms) {
  if (interval_ms == interval_ms_) return;
  interval_ms_ = interval_ms;
  Restart();
}

void TTimer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Restart();
}

void TTimer::Restart() {
  if (!Owner()) return;
  IMessageLoop& loop = Owner()->App().Loop();
  if (id_) loop.KillTimer(id_);
  id_ = 0;
  if (enabled_ && interval_ms_ > 0) id_ = loop.SetTimer(interval_ms_, [this] { Tick(); });
}

void TTimer::Tick() {
  if (!OnTimer) return;
  try {
    OnTimer();
  } catch (const std::exception& error) {
    if (!Owner()) throw;
    Owner()->App().ShowException(error);
  }
}

}  // namespace roarmark::platform::ui
