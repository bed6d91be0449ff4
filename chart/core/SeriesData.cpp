#include "chart/core/SeriesData.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "chart/core/AxisRange.h"

namespace chart {

std::size_t SeriesData::Add(double x, double y, const std::string& label, Color color) {
  if (std::isnan(x)) throw ChartException("A point's X value must be a number");
  // After every point with X <= x, so equal X keep their arrival order. A
  // point at or past the last one, the usual case for a live series, is
  // appended without a search.
  const std::size_t index = x_.empty() || x >= x_.back() ? x_.size() : UpperBound(x);
  x_.insert(x_.begin() + static_cast<std::ptrdiff_t>(index), x);
  y_.insert(y_.begin() + static_cast<std::ptrdiff_t>(index), y);
  InsertColor(index, color);
  InsertLabel(index, label);
  return index;
}

std::size_t SeriesData::Count() const { return x_.size(); }

double SeriesData::X(std::size_t index) const { return x_[index]; }

double SeriesData::Y(std::size_t index) const { return y_[index]; }

Color SeriesData::ColorAt(std::size_t index) const {
  if (colorRuns_.empty()) return kDefaultColor;
  // The last run starting at or before index.
  const auto after = std::upper_bound(
      colorRuns_.begin(), colorRuns_.end(), index,
      [](std::size_t i, const ColorRun& run) { return i < run.start; });
  return std::prev(after)->color;
}

const std::string& SeriesData::Label(std::size_t index) const {
  static const std::string kNoLabel;
  const auto it = std::lower_bound(
      labels_.begin(), labels_.end(), index,
      [](const PointLabel& label, std::size_t i) { return label.index < i; });
  return it != labels_.end() && it->index == index ? it->text : kNoLabel;
}

std::size_t SeriesData::LowerBound(double x) const {
  return static_cast<std::size_t>(std::lower_bound(x_.begin(), x_.end(), x) - x_.begin());
}

std::size_t SeriesData::UpperBound(double x) const {
  return static_cast<std::size_t>(std::upper_bound(x_.begin(), x_.end(), x) - x_.begin());
}

// Called after the columns took the new point at `index`; the runs still
// describe the old points.
void SeriesData::InsertColor(std::size_t index, Color color) {
  if (colorRuns_.empty()) {
    if (color == kDefaultColor) return;  // one colour for all: nothing stored
    if (Count() > 1) colorRuns_.push_back({0, kDefaultColor});
  }
  const std::size_t oldCount = Count() - 1;
  auto at = std::lower_bound(colorRuns_.begin(), colorRuns_.end(), index,
                             [](const ColorRun& run, std::size_t i) { return run.start < i; });
  const bool runStartsAtIndex = at != colorRuns_.end() && at->start == index;
  for (auto it = at; it != colorRuns_.end(); ++it) ++it->start;  // the old points move up
  auto position = at - colorRuns_.begin();
  if (index < oldCount && !runStartsAtIndex) {
    // The new point lands inside a run: the part after it starts again
    // one further on, in that run's colour.
    const Color split = colorRuns_[static_cast<std::size_t>(position - 1)].color;
    colorRuns_.insert(colorRuns_.begin() + position, {index + 1, split});
  }
  colorRuns_.insert(colorRuns_.begin() + position, {index, color});
  // Merge with equal neighbours so each run differs from the next.
  const auto next = static_cast<std::size_t>(position + 1);
  if (next < colorRuns_.size() && colorRuns_[next].color == color) {
    colorRuns_.erase(colorRuns_.begin() + position + 1);
  }
  if (position > 0 && colorRuns_[static_cast<std::size_t>(position - 1)].color == color) {
    colorRuns_.erase(colorRuns_.begin() + position);
  }
  if (colorRuns_.size() == 1 && colorRuns_.front().color == kDefaultColor) colorRuns_.clear();
}

void SeriesData::InsertLabel(std::size_t index, const std::string& label) {
  auto at = std::lower_bound(labels_.begin(), labels_.end(), index,
                             [](const PointLabel& l, std::size_t i) { return l.index < i; });
  for (auto it = at; it != labels_.end(); ++it) ++it->index;
  if (!label.empty()) labels_.insert(at, {index, label});
}

}  // namespace chart
