// The points of a line series, sorted by X. A point goes after every point
// whose X is less than or equal to its own, so equal X keep the order they
// came in. Colours and labels are stored only where they differ from the
// default, not per point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace chart {

using Color = std::uint32_t;  // 0x00BBGGRR

class SeriesData {
 public:
  static constexpr Color kDefaultColor = 0x1FFFFFFF;  // "the series' own colour"

  // Inserts the point and returns its index. A NaN x has no place in the
  // order and throws ChartException.
  std::size_t Add(double x, double y, const std::string& label, Color color);

  std::size_t Count() const;
  double X(std::size_t index) const;
  double Y(std::size_t index) const;
  Color ColorAt(std::size_t index) const;
  const std::string& Label(std::size_t index) const;

  // The first index whose X is >= x (LowerBound) or > x (UpperBound).
  std::size_t LowerBound(double x) const;
  std::size_t UpperBound(double x) const;

 private:
  // Points from `start` up to the next run's start have `color`. Empty while
  // every point has the default colour; otherwise the first run starts at 0
  // and neighbouring runs differ in colour.
  struct ColorRun {
    std::size_t start;
    Color color;
  };
  struct PointLabel {
    std::size_t index;
    std::string text;
  };

  void InsertColor(std::size_t index, Color color);
  void InsertLabel(std::size_t index, const std::string& label);

  std::vector<double> x_;
  std::vector<double> y_;
  std::vector<ColorRun> colorRuns_;
  std::vector<PointLabel> labels_;  // the non-empty ones only, by index
};

}  // namespace chart
