// Window-manager hints Qt cannot express on X11.
#pragma once

class QWidget;

namespace roarmark::platform::qt {

// Tells the window manager that `window` may be moved but not closed, resized, minimised or
// maximised, so its title bar shows no buttons. Does nothing outside X11.
void ForbidClosing(QWidget* window);

}  // namespace roarmark::platform::qt
