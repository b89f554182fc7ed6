// <windows.h> for the backend: its virtual-key macros give way to the control model's
// constants of the same names and values (platform/ui/keys.h).
#pragma once

#include <windows.h>

#undef VK_BACK
#undef VK_TAB
#undef VK_RETURN
#undef VK_SHIFT
#undef VK_CONTROL
#undef VK_MENU
#undef VK_ESCAPE
#undef VK_SPACE
#undef VK_LEFT
#undef VK_UP
#undef VK_RIGHT
#undef VK_DOWN
#undef VK_DELETE
#undef VK_NUMPAD0
#undef VK_NUMPAD9
#undef VK_DECIMAL
#undef VK_F1
#undef VK_F12
#undef MessageBox  // the dialogs seam's own name
