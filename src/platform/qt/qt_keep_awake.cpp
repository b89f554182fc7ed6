// The screen saver, DPMS and idle sleep held off on Linux: the desktop's inhibit services over
// D-Bus, and the X server's own timers, which those services do not always reach.
#include "platform/qt/qt_keep_awake.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QGuiApplication>
#include <cstdio>

namespace roarmark::platform::qt {

namespace {

constexpr char kApplication[] = "Roarmark";
constexpr char kReason[] = "Showing the sound level";
// Well inside the shortest screen-saver timeout a desktop offers (one minute).
constexpr int kXResetIntervalMs = 30000;
// The session manager's inhibit flags: suspending the session, and marking it idle.
constexpr std::uint32_t kInhibitSuspend = 4;
constexpr std::uint32_t kInhibitIdle = 8;

xcb_connection_t* XConnection() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

std::optional<std::uint32_t> Cookie(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
    return std::nullopt;
  return reply.arguments().front().toUInt();
}

}  // namespace

TQtKeepAwake::TQtKeepAwake() {
  x_reset_.setInterval(kXResetIntervalMs);
  QObject::connect(&x_reset_, &QTimer::timeout, [] {
    if (xcb_connection_t* c = XConnection()) {
      xcb_force_screen_saver(c, XCB_SCREEN_SAVER_RESET);
      xcb_flush(c);
    }
  });
}

TQtKeepAwake::~TQtKeepAwake() {
  Release();
}

void TQtKeepAwake::Hold() {
  if (held_) return;
  held_ = true;
  InhibitDesktop();
  SuspendXScreenSaver(true);
  x_reset_.start();
}

void TQtKeepAwake::Release() {
  if (!held_) return;
  held_ = false;
  x_reset_.stop();
  SuspendXScreenSaver(false);
  UninhibitDesktop();
}

void TQtKeepAwake::InhibitDesktop() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
      QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("Inhibit"));
  call << QString::fromLatin1(kApplication) << QString::fromLatin1(kReason);
  screen_saver_cookie_ = Cookie(bus.call(call, QDBus::Block, 3000));
  // GNOME answers the screen saver's name only in part; its session manager also holds off
  // suspending, which the screen saver's inhibit does not promise.
  if (screen_saver_cookie_) return;
  call = QDBusMessage::createMethodCall(
      QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
      QStringLiteral("org.gnome.SessionManager"), QStringLiteral("Inhibit"));
  call << QString::fromLatin1(kApplication) << 0u << QString::fromLatin1(kReason)
       << (kInhibitSuspend | kInhibitIdle);
  session_cookie_ = Cookie(bus.call(call, QDBus::Block, 3000));
  if (!session_cookie_)
    std::fprintf(stderr, "roarmark: the desktop offers no screen saver inhibit\n");
}

void TQtKeepAwake::UninhibitDesktop() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (screen_saver_cookie_) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.ScreenSaver"),
        QStringLiteral("/org/freedesktop/ScreenSaver"),
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("UnInhibit"));
    call << *screen_saver_cookie_;
    bus.call(call, QDBus::Block, 3000);
    screen_saver_cookie_.reset();
  }
  if (session_cookie_) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
        QStringLiteral("org.gnome.SessionManager"), QStringLiteral("Uninhibit"));
    call << *session_cookie_;
    bus.call(call, QDBus::Block, 3000);
    session_cookie_.reset();
  }
}

void TQtKeepAwake::SuspendXScreenSaver(bool suspend) {
  xcb_connection_t* c = XConnection();
  if (!c) return;
  // Suspending holds off both the screen saver and DPMS, and the server undoes it by itself
  // should the program die; the periodic reset covers servers without the extension.
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_screensaver_id);
  if (extension && extension->present) xcb_screensaver_suspend(c, suspend ? 1 : 0);
  if (suspend) xcb_force_screen_saver(c, XCB_SCREEN_SAVER_RESET);
  xcb_flush(c);
}

}  // namespace roarmark::platform::qt
