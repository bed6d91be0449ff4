// Small value types shared by the components, the canvas and the backends.
#pragma once

#include <cstdint>
#include <string>

namespace forms {

// A colour as 0x00BBGGRR, or a system colour (high byte 0x80, index below)
// that the backend resolves to the desktop's own.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnFace = clSystemColor | 15;

constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == clSystemColor; }
constexpr int RedOf(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

// Positions and sizes hold what a window system can show: X and Windows
// keep window coordinates in 16 bits. Kept within it, a control's right or
// bottom edge never overflows, and no paint is asked for billions of pixels.
constexpr int kMinCoordinate = -32768;
constexpr int kMaxCoordinate = 32767;
// No font is drawn or measured taller than this many pixels.
constexpr int kMaxFontPixels = 1000;

struct TPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const TRect&) const = default;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font as the description gives it. Height < 0 is the character height in
// pixels (without internal leading), Height > 0 the cell height.
struct TFontSpec {
  std::string Name = "MS Sans Serif";
  int Height = -11;
  TColor Color = clWindowText;
  unsigned Style = 0;
  int Charset = 1;  // DEFAULT_CHARSET
  bool operator==(const TFontSpec&) const = default;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

}  // namespace forms
