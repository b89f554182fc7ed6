// The desktop program: Roarmark on Qt.
#include <QApplication>

#include "core/application.h"
#include "platform/qt/qt_platform.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Roarmark"));
  QApplication::setDesktopFileName(QStringLiteral("roarmark"));
  // The program ends when its main window closes, not when Qt sees no window left.
  QApplication::setQuitOnLastWindowClosed(false);
  roarmark::platform::qt::TQtPlatform platform;
  return roarmark::RunRoarmark(platform.Platform());
}
