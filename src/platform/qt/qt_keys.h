// Qt key codes to the Windows virtual-key codes the program's key handlers expect.
#pragma once

#include <Qt>

#include "platform/ui/keys.h"

namespace roarmark::platform::qt {

// The virtual key of a Qt key; `keypad` tells a key of the numeric keypad (Qt::KeypadModifier).
// 0 for a key with no virtual key of its own. `scan_code` is the key's position (the XKB key
// code Qt reports on Linux, 0 when unknown): the digit row counts by position, so Ctrl+1..
// Ctrl+0 are the same keys on AZERTY, QWERTZ and with Shift held as on a US keyboard.
int VirtualKey(int qt_key, bool keypad, unsigned scan_code = 0);
// Ctrl, Shift and Alt of a Qt modifier set.
ui::TShiftState ShiftOf(Qt::KeyboardModifiers modifiers);

}  // namespace roarmark::platform::qt
