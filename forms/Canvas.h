// The drawing surface a control paints on. Backends implement it over their
// native painter; components draw through it and never see the window system.
#pragma once

#include <cstddef>
#include <string_view>

#include "forms/Types.h"

namespace forms {

enum class TPenStyle { psSolid, psDot };

class TCanvas {
 public:
  virtual ~TCanvas() = default;

  virtual void FillRect(const TRect& r, TColor color) = 0;
  // A frame one pixel wide along the inside of r.
  virtual void FrameRect(const TRect& r, TColor color) = 0;
  virtual void Line(TPoint from, TPoint to, TColor color, TPenStyle style = TPenStyle::psSolid) = 0;
  // Joined segments through count points, one pixel wide.
  virtual void Polyline(const TPoint* points, std::size_t count, TColor color) = 0;
  // Text in UTF-8 with its top-left corner at (x, y).
  virtual void TextOut(int x, int y, std::string_view utf8, const TFontSpec& font) = 0;
  virtual int TextWidth(std::string_view utf8, const TFontSpec& font) = 0;
  virtual int TextHeight(const TFontSpec& font) = 0;
};

}  // namespace forms
