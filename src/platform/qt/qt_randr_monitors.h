// What the X server itself says of its monitors (RandR): Qt passes on no new geometry for a
// monitor made of several outputs (a video wall, two projectors showing one picture).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QRect>
#include <QString>

namespace roarmark::platform::qt {

// Each active monitor's geometry in the server's pixels, by its name; empty when the display is
// not an X server or the server lists no monitors.
QHash<QString, QRect> XServerMonitors();

// Whether a native event of Qt's X connection tells of a change of outputs, CRTCs or monitors.
bool IsRandrChange(const QByteArray& event_type, const void* message);

}  // namespace roarmark::platform::qt
