#include "chart/ChartPaintCache.h"

#include <cmath>
#include <cstdlib>

#include "chart/core/AxisLabels.h"

namespace chart {
namespace {

// A live chart meets a new label text every so many ticks; past this many
// remembered entries the oldest are not worth keeping, so all start over.
constexpr std::size_t kMostRemembered = 512;

int ToPixel(double value, const AxisRange& range, int from, int to) {
  double t = (value - range.Minimum()) / (range.Maximum() - range.Minimum());
  return from + static_cast<int>(std::lround(t * (to - from)));
}

}  // namespace

TextMetrics::PerFont& TextMetrics::For(const forms::TFontSpec& font) {
  for (PerFont& f : fonts_)
    if (f.font == font) return f;
  if (fonts_.size() >= 8) fonts_.clear();
  fonts_.push_back(PerFont{font, -1, {}});
  return fonts_.back();
}

int TextMetrics::Width(forms::TCanvas& canvas, std::string_view text, const forms::TFontSpec& font) {
  PerFont& f = For(font);
  auto it = f.widths.find(text);
  if (it != f.widths.end()) return it->second;
  if (f.widths.size() >= kMostRemembered) f.widths.clear();
  const int width = canvas.TextWidth(text, font);
  f.widths.emplace(std::string(text), width);
  return width;
}

int TextMetrics::Height(forms::TCanvas& canvas, const forms::TFontSpec& font) {
  PerFont& f = For(font);
  if (f.height < 0) f.height = canvas.TextHeight(font);
  return f.height;
}

const std::string& LabelTexts::Text(double value) {
  auto it = texts_.find(value);
  if (it != texts_.end()) return it->second;
  if (texts_.size() >= kMostRemembered) texts_.clear();
  return texts_.emplace(value, FormatAxisLabel(value)).first->second;
}

const std::vector<AxisLabel>& AxisLabelLayout::Labels(const AxisRange& range, int from, int to,
                                                      int labelPixels, const forms::TFontSpec& font,
                                                      forms::TCanvas& canvas, TextMetrics& metrics,
                                                      LabelTexts& texts) {
  const bool same = valid_ && key_.minimum == range.Minimum() && key_.maximum == range.Maximum() &&
                    key_.from == from && key_.to == to && key_.labelPixels == labelPixels &&
                    key_.font == font;
  if (same) return labels_;
  key_ = Key{range.Minimum(), range.Maximum(), from, to, labelPixels, font};
  valid_ = true;
  AxisLabelValues(range.Minimum(), range.Maximum(), std::abs(to - from) + 1, labelPixels, values_);
  labels_.resize(values_.size());
  for (std::size_t i = 0; i < values_.size(); ++i) {
    AxisLabel& label = labels_[i];
    label.pixel = ToPixel(values_[i], range, from, to);
    label.text = texts.Text(values_[i]);
    label.width = metrics.Width(canvas, label.text, font);
  }
  return labels_;
}

}  // namespace chart
