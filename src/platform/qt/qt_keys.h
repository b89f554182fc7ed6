// Qt key codes to the Windows virtual-key codes the program's key handlers expect.
#pragma once

#include <Qt>

#include "platform/ui/keys.h"

namespace roarmark::platform::qt {

// The virtual key of a Qt key; `keypad` tells a key of the numeric keypad (Qt::KeypadModifier).
// 0 for a key with no virtual key of its own.
int VirtualKey(int qt_key, bool keypad);
// Ctrl, Shift and Alt of a Qt modifier set.
ui::TShiftState ShiftOf(Qt::KeyboardModifiers modifiers);

}  // namespace roarmark::platform::qt
