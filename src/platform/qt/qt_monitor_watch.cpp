// Monitor changes from QGuiApplication and each QScreen.
#include "platform/qt/qt_monitor_watch.h"

#include <QGuiApplication>
#include <QScreen>

namespace roarmark::platform::qt {

namespace {

void WatchScreen(QObject* context, QScreen* screen, const std::function<void()>& changed) {
  QObject::connect(screen, &QScreen::geometryChanged, context, [changed] { changed(); });
  QObject::connect(screen, &QScreen::availableGeometryChanged, context, [changed] { changed(); });
}

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
}

}  // namespace roarmark::platform::qt
