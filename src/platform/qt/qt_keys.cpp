// Qt key codes to Windows virtual-key codes.
#include "platform/qt/qt_keys.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

// XKB key codes of the digit row: 1..9 are 10..18, 0 is 19, on every layout.
constexpr unsigned kDigitRowOne = 10;
constexpr unsigned kDigitRowZero = 19;

}  // namespace

int VirtualKey(int k, bool keypad, unsigned scan_code) {
  if (!keypad && scan_code >= kDigitRowOne && scan_code <= kDigitRowZero)
    return VkDigit(scan_code == kDigitRowZero ? 0 : static_cast<int>(scan_code - 9));
  if (k >= Qt::Key_0 && k <= Qt::Key_9)
    return keypad ? VkNumpad(k - Qt::Key_0) : VkDigit(k - Qt::Key_0);
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return VK_A + (k - Qt::Key_A);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return VK_F1 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
      return VK_MENU;
    case Qt::Key_Pause:
      return 0x13;
    case Qt::Key_CapsLock:
      return 0x14;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return 0x21;
    case Qt::Key_PageDown:
      return 0x22;
    case Qt::Key_End:
      return 0x23;
    case Qt::Key_Home:
      return 0x24;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Print:
      return 0x2C;
    case Qt::Key_Insert:
      return 0x2D;
    case Qt::Key_Delete:
      return VK_DELETE;
    case Qt::Key_Asterisk:
      return keypad ? 0x6A : 0;
    case Qt::Key_Plus:
      return keypad ? 0x6B : 0xBB;
    case Qt::Key_Equal:
      return 0xBB;
    case Qt::Key_Minus:
      return keypad ? 0x6D : 0xBD;
    case Qt::Key_Period:
      return keypad ? VK_DECIMAL : 0xBE;
    case Qt::Key_Comma:
      return keypad ? VK_DECIMAL : 0xBC;
    case Qt::Key_Slash:
      return keypad ? 0x6F : 0xBF;
    case Qt::Key_NumLock:
      return 0x90;
    case Qt::Key_ScrollLock:
      return 0x91;
    case Qt::Key_Semicolon:
      return 0xBA;
    case Qt::Key_QuoteLeft:
      return 0xC0;
    case Qt::Key_BracketLeft:
      return 0xDB;
    case Qt::Key_Backslash:
      return 0xDC;
    case Qt::Key_BracketRight:
      return 0xDD;
    case Qt::Key_Apostrophe:
      return 0xDE;
    default:
      return 0;
  }
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
  TShiftState shift = ssNone;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  return shift;
}

}  // namespace roarmark::platform::qt
