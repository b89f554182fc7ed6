// Window-manager hints on X11, set on the native window directly.
#include "platform/qt/qt_x11_hints.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QWidget>
#include <cstdint>
#include <cstdlib>

namespace roarmark::platform::qt {

void ForbidClosing(QWidget* window) {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection() || !window) return;
  xcb_connection_t* c = x11->connection();
  static const char kName[] = "_MOTIF_WM_HINTS";
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof kName - 1, kName), nullptr);
  if (!atom) return;
  // Qt offers every function when a window asks for no title-bar button, close included; the
  // hints name the functions allowed: moving only, with a border and a title.
  constexpr std::uint32_t kHasFunctions = 1;
  constexpr std::uint32_t kHasDecorations = 2;
  constexpr std::uint32_t kFunctionMove = 4;
  constexpr std::uint32_t kDecorBorder = 2;
  constexpr std::uint32_t kDecorTitle = 8;
  const std::uint32_t hints[5] = {kHasFunctions | kHasDecorations, kFunctionMove,
                                  kDecorBorder | kDecorTitle, 0, 0};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()),
                      atom->atom, atom->atom, 32, 5, hints);
  xcb_flush(c);
  std::free(atom);
}

}  // namespace roarmark::platform::qt
