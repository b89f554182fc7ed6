// Small value types of the control model: fonts, cursors, border styles, modal results and the
// property kinds a backend is told about.
#pragma once

#include <cstdint>
#include <string>

namespace roarmark::platform::ui {

// Settings colour 0x00BBGGRR; a value with the top bit set is a system colour (index in the low
// bits), resolved by the backend through ISystemColours.
using TColour = std::uint32_t;
inline constexpr TColour clBtnFace = 0x8000000F;
inline constexpr TColour clWindow = 0x80000005;
inline constexpr TColour clWindowText = 0x80000008;
inline constexpr TColour clBlack = 0x000000;
inline constexpr TColour clRed = 0x0000FF;
inline constexpr TColour clWhite = 0xFFFFFF;
inline constexpr TColour clGray = 0x808080;

// Font style bits, as in the settings.
inline constexpr int fsBold = 1;
inline constexpr int fsItalic = 2;
inline constexpr int fsUnderline = 4;
inline constexpr int fsStrikeOut = 8;

struct TFont {
  std::string Name = "Tahoma";
  int Size = 8;         // points; used when PixelHeight is 0
  int PixelHeight = 0;  // character height in pixels when the layout gives one
  int Style = 0;
  TColour Colour = clWindowText;
  friend bool operator==(const TFont&, const TFont&) = default;
};

// Pointer shapes; set for the whole application.
enum class TCursor { crDefault, crSizeNS, crSizeWE, crSizeAll, crDrag };

enum class TBorderStyle { bsSizeable, bsNone, bsDialog };

// Where a form places itself when it is shown.
enum class TFormPosition { poDesigned, poScreenCenter };

enum class TCloseAction { caNone, caHide };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

enum class TOrientation { Horizontal, Vertical };

// What changed, as a control tells its peer.
enum class TProperty {
  Bounds,
  Visible,
  Enabled,
  Caption,
  Text,
  Font,
  Colour,
  Hint,
  ReadOnly,
  Checked,
  Items,
  ItemIndex,
  Range,
  Position,
  Increment,
  Associate,
  Cells,
  Selection,
  ColWidths,
  Picture,
  ImageChanged,
  ScaleMode,
  Lines,
  BorderStyle,
  StayOnTop,
  Focus,
  Active,
  KeyPreview,
  Other,
};

}  // namespace roarmark::platform::ui
