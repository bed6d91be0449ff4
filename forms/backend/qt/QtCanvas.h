// The canvas over a QPainter, and the conversions from the components'
// colours and fonts to Qt's.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>

#include "forms/Canvas.h"

namespace forms::backend::qt {

QColor ToQColor(TColor color);
QFont ToQFont(const TFontSpec& font);

class QtCanvas final : public TCanvas {
 public:
  explicit QtCanvas(QPainter& painter) : painter_(painter) {}

  void FillRect(const TRect& r, TColor color) override;
  void FrameRect(const TRect& r, TColor color) override;
  void Line(TPoint from, TPoint to, TColor color, TPenStyle style) override;
  void Polyline(const TPoint* points, std::size_t count, TColor color) override;
  void TextOut(int x, int y, std::string_view utf8, const TFontSpec& font) override;
  int TextWidth(std::string_view utf8, const TFontSpec& font) override;
  int TextHeight(const TFontSpec& font) override;

 private:
  void UsePen(TColor color, TPenStyle style);
  void UseFont(const TFontSpec& font);

  QPainter& painter_;
  // Pen and font are switched only when they change: most calls reuse them.
  bool penSet_ = false;
  TColor penColor_ = 0;
  TPenStyle penStyle_ = TPenStyle::psSolid;
  bool fontSet_ = false;
  TFontSpec font_;
};

}  // namespace forms::backend::qt
