// Monitor changes from QGuiApplication and each QScreen, and from the X server's RandR
// notifications for the monitors Qt sends no signal for.
#include "platform/qt/qt_monitor_watch.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/qt_randr_monitors.h"

namespace roarmark::platform::qt {

namespace {

void WatchScreen(QObject* context, QScreen* screen, const std::function<void()>& changed) {
  QObject::connect(screen, &QScreen::geometryChanged, context, [changed] { changed(); });
  QObject::connect(screen, &QScreen::availableGeometryChanged, context, [changed] { changed(); });
}

// Sees the X events before Qt handles them and lets all of them through. Qt's connection already
// selects RandR notifications on the root window: it follows its screens with them.
class TRandrWatch final : public QObject, public QAbstractNativeEventFilter {
 public:
  TRandrWatch(QObject* context, std::function<void()> changed)
      : QObject(context), changed_(std::move(changed)) {
    qApp->installNativeEventFilter(this);
  }

  bool nativeEventFilter(const QByteArray& event_type, void* message, qintptr*) override {
    if (IsRandrChange(event_type, message)) changed_();
    return false;
  }

 private:
  std::function<void()> changed_;
};

}  // namespace

void WatchMonitors(QObject* context, std::function<void()> changed) {
  for (QScreen* screen : QGuiApplication::screens())
    WatchScreen(context, screen, changed);
  QObject::connect(qApp, &QGuiApplication::screenAdded, context, [context, changed](QScreen* s) {
    WatchScreen(context, s, changed);
    changed();
  });
  QObject::connect(qApp, &QGuiApplication::screenRemoved, context, [changed] { changed(); });
  QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, context, [changed] { changed(); });
  new TRandrWatch(context, changed);
}

}  // namespace roarmark::platform::qt
