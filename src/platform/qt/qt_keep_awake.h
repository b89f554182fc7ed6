// Keeps the projected meter lit: while held, the desktop's screen saver, display power saving and
// idle sleep are held off; released when the show ends.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>

namespace roarmark::platform::qt {

class TQtKeepAwake {
 public:
  TQtKeepAwake();
  ~TQtKeepAwake();  // releases whatever is held
  TQtKeepAwake(const TQtKeepAwake&) = delete;
  TQtKeepAwake& operator=(const TQtKeepAwake&) = delete;

  void Hold();
  void Release();

 private:
  // The desktop's own inhibitors, over the session bus.
  void InhibitDesktop();
  void UninhibitDesktop();
  // The X server's screen saver and DPMS timers.
  void SuspendXScreenSaver(bool suspend);

  bool held_ = false;
  std::optional<std::uint32_t> screen_saver_cookie_;
  std::optional<std::uint32_t> session_cookie_;
  QTimer x_reset_;
};

}  // namespace roarmark::platform::qt
