// Windows virtual-key codes and the modifier state carried by key and mouse events.
#pragma once

namespace roarmark::platform::ui {

inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;  // Alt
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_0 = 0x30;        // '0'..'9' are 0x30..0x39
inline constexpr int VK_A = 0x41;        // 'A'..'Z' are 0x41..0x5A
inline constexpr int VK_NUMPAD0 = 0x60;  // ..VK_NUMPAD9 0x69
inline constexpr int VK_NUMPAD9 = 0x69;
inline constexpr int VK_DECIMAL = 0x6E;
inline constexpr int VK_F1 = 0x70;  // ..VK_F12 0x7B
inline constexpr int VK_F12 = 0x7B;

constexpr int VkDigit(int digit) {
  return VK_0 + digit;
}
constexpr int VkLetter(char upper) {
  return VK_A + (upper - 'A');
}
constexpr int VkNumpad(int digit) {
  return VK_NUMPAD0 + digit;
}
constexpr int VkF(int n) {
  return VK_F1 + n - 1;
}

// Modifier keys and mouse buttons held during an event.
using TShiftState = unsigned;
inline constexpr TShiftState ssNone = 0;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;
inline constexpr TShiftState ssDouble = 64;  // the press of a double click

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

}  // namespace roarmark::platform::ui
