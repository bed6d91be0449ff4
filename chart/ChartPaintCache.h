// What painting the chart measures and formats, kept from one paint to the
// next: text widths and heights per font, label texts per value, and each
// axis' labels for its range and length. Laying out text costs far more
// than drawing lines, and from one tick to the next little of it changes:
// the left axis not at all, the bottom axis' labels mostly to texts already
// seen.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "chart/core/AxisRange.h"
#include "forms/Canvas.h"
#include "forms/Types.h"

namespace chart {

// Widths and heights as the canvas measures them, remembered per font.
class TextMetrics {
 public:
  int Width(forms::TCanvas& canvas, std::string_view text, const forms::TFontSpec& font);
  int Height(forms::TCanvas& canvas, const forms::TFontSpec& font);

 private:
  struct PerFont {
    forms::TFontSpec font;
    int height = -1;
    std::map<std::string, int, std::less<>> widths;
  };
  PerFont& For(const forms::TFontSpec& font);

  std::vector<PerFont> fonts_;
};

// FormatAxisLabel, remembered per value.
class LabelTexts {
 public:
  const std::string& Text(double value);

 private:
  std::map<double, std::string> texts_;
};

struct AxisLabel {
  int pixel;
  std::string text;
  int width;  // in the axis font
};

// One axis' labels, laid out again only when what they depend on changes.
class AxisLabelLayout {
 public:
  // The labels of range on an axis running from pixel `from` (its minimum)
  // to pixel `to`, each label taking labelPixels along the axis.
  const std::vector<AxisLabel>& Labels(const AxisRange& range, int from, int to, int labelPixels,
                                       const forms::TFontSpec& font, forms::TCanvas& canvas,
                                       TextMetrics& metrics, LabelTexts& texts);

 private:
  struct Key {
    double minimum = 0;
    double maximum = 0;
    int from = 0;
    int to = 0;
    int labelPixels = 0;
    forms::TFontSpec font;
  };
  bool valid_ = false;
  Key key_;
  std::vector<double> values_;
  std::vector<AxisLabel> labels_;
};

struct ChartPaintCache {
  TextMetrics metrics;
  LabelTexts texts;
  AxisLabelLayout left;
  AxisLabelLayout bottom;
};

}  // namespace chart
