#include "forms/backend/qt/QtCanvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QString>
#include <algorithm>
#include <cstdlib>

namespace forms::backend::qt {

QColor ToQColor(TColor color) {
  if (IsSystemColor(color)) {
    QPalette palette = QGuiApplication::palette();
    switch (color) {
      case clWindowText: return palette.color(QPalette::WindowText);
      case clBtnFace: return palette.color(QPalette::Button);
      default: return palette.color(QPalette::Window);
    }
  }
  return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

QFont ToQFont(const TFontSpec& wanted) {
  QFont font(QString::fromStdString(wanted.Name));
  // However a height was scaled, no font is made taller than kMaxFontPixels.
  long long pixels = wanted.Height == 0 ? 11 : std::min<long long>(std::llabs(wanted.Height), kMaxFontPixels);
  font.setPixelSize(static_cast<int>(pixels));
  font.setBold(wanted.Style & fsBold);
  font.setItalic(wanted.Style & fsItalic);
  font.setUnderline(wanted.Style & fsUnderline);
  font.setStrikeOut(wanted.Style & fsStrikeOut);
  return font;
}

void QtCanvas::UsePen(TColor color, TPenStyle style) {
  if (penSet_ && color == penColor_ && style == penStyle_) return;
  QPen pen(ToQColor(color));
  pen.setWidth(0);  // cosmetic: one pixel whatever the transform
  pen.setStyle(style == TPenStyle::psDot ? Qt::DotLine : Qt::SolidLine);
  painter_.setPen(pen);
  penSet_ = true;
  penColor_ = color;
  penStyle_ = style;
}

void QtCanvas::UseFont(const TFontSpec& font) {
  if (fontSet_ && font == font_) return;
  painter_.setFont(ToQFont(font));
  fontSet_ = true;
  font_ = font;
}

void QtCanvas::FillRect(const TRect& r, TColor color) {
  painter_.fillRect(r.left, r.top, r.width, r.height, ToQColor(color));
}

void QtCanvas::FrameRect(const TRect& r, TColor color) {
  if (r.width <= 0 || r.height <= 0) return;
  UsePen(color, TPenStyle::psSolid);
  painter_.drawRect(r.left, r.top, r.width - 1, r.height - 1);
}

void QtCanvas::Line(TPoint from, TPoint to, TColor color, TPenStyle style) {
  UsePen(color, style);
  painter_.drawLine(from.x, from.y, to.x, to.y);
}

void QtCanvas::Polyline(const TPoint* points, std::size_t count, TColor color) {
  static_assert(sizeof(TPoint) == sizeof(QPoint));
  if (count < 2) return;
  UsePen(color, TPenStyle::psSolid);
  painter_.drawPolyline(reinterpret_cast<const QPoint*>(points), static_cast<int>(count));
}

void QtCanvas::TextOut(int x, int y, std::string_view utf8, const TFontSpec& font) {
  UseFont(font);
  UsePen(font.Color, TPenStyle::psSolid);
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  painter_.drawText(x, y + painter_.fontMetrics().ascent(), text);
}

int QtCanvas::TextWidth(std::string_view utf8, const TFontSpec& font) {
  UseFont(font);
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return painter_.fontMetrics().horizontalAdvance(text);
}

int QtCanvas::TextHeight(const TFontSpec& font) {
  UseFont(font);
  return painter_.fontMetrics().height();
}

}  // namespace forms::backend::qt
