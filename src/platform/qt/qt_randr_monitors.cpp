// The X server's monitor list (RandR 1.5) read on Qt's own X connection.
#include "platform/qt/qt_randr_monitors.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/randr.h>
#include <xcb/xcb.h>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <vector>

namespace roarmark::platform::qt {

namespace {

xcb_connection_t* XConnection() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

struct TFree {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using TReply = std::unique_ptr<T, TFree>;

}  // namespace

QHash<QString, QRect> XServerMonitors() {
  QHash<QString, QRect> monitors;
  xcb_connection_t* c = XConnection();
  if (c == nullptr) return monitors;
  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
  if (randr == nullptr || !randr->present) return monitors;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const TReply<xcb_randr_get_monitors_reply_t> reply(
      xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, root, 1), nullptr));
  if (!reply) return monitors;
  // All names asked for at once: one round trip, not one a monitor.
  std::vector<xcb_randr_monitor_info_t*> infos;
  std::vector<xcb_get_atom_name_cookie_t> names;
  for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
       xcb_randr_monitor_info_next(&it)) {
    infos.push_back(it.data);
    names.push_back(xcb_get_atom_name(c, it.data->name));
  }
  for (std::size_t i = 0; i < infos.size(); ++i) {
    const TReply<xcb_get_atom_name_reply_t> name(xcb_get_atom_name_reply(c, names[i], nullptr));
    if (!name) continue;
    const xcb_randr_monitor_info_t& info = *infos[i];
    monitors.insert(QString::fromUtf8(xcb_get_atom_name_name(name.get()),
                                      xcb_get_atom_name_name_length(name.get())),
                    QRect(info.x, info.y, info.width, info.height));
  }
  return monitors;
}

bool IsRandrChange(const QByteArray& event_type, const void* message) {
  if (event_type != "xcb_generic_event_t" || message == nullptr) return false;
  xcb_connection_t* c = XConnection();
  if (c == nullptr) return false;
  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
  if (randr == nullptr || !randr->present) return false;
  // The top bit only marks an event sent by another client.
  const int kind = static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7F;
  return kind == randr->first_event + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
         kind == randr->first_event + XCB_RANDR_NOTIFY;
}

}  // namespace roarmark::platform::qt
