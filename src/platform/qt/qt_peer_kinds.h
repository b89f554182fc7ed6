// The peers of each kind of control, and what their files share.
#pragma once

#include <QColor>
#include <QString>
#include <memory>
#include <string>

#include "platform/qt/qt_services.h"
#include "platform/qt/qt_ui_backend.h"
#include "platform/qt/qt_ui_peers.h"

namespace roarmark::platform::qt {

inline QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// A colour of the model, system colours resolved.
inline QColor ColourOf(const TQtUiBackend& backend, ui::TColour colour) {
  if (colour & 0x80000000u)
    return ToQColor(backend.Colours().SystemColour(static_cast<int>(colour & 0xFF)));
  return ToQColor(colour);
}

// Each returns the peer of `control` if it is of the file's kinds, else null.
std::unique_ptr<ui::IControlPeer> CreateImagePeer(TQtUiBackend& backend, ui::TControl& control);
std::unique_ptr<ui::IControlPeer> CreateEditPeer(TQtUiBackend& backend, ui::TControl& control);
std::unique_ptr<ui::IControlPeer> CreateButtonPeer(TQtUiBackend& backend, ui::TControl& control);
std::unique_ptr<ui::IControlPeer> CreateRangePeer(TQtUiBackend& backend, ui::TControl& control);
std::unique_ptr<ui::IControlPeer> CreatePaintedPeer(TQtUiBackend& backend, ui::TControl& control);

}  // namespace roarmark::platform::qt
