// Tells when the desktop's monitors change: one added or removed, the primary one changed, or
// one's geometry changed (a projector switched to another resolution, an output of a video wall
// changed).
#pragma once

#include <functional>

class QObject;

namespace roarmark::platform::qt {

// Calls `changed` on the GUI thread for every such change while `context` lives.
void WatchMonitors(QObject* context, std::function<void()> changed);

}  // namespace roarmark::platform::qt
