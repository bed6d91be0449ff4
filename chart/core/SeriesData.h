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

  // Inserts the point and returns its index.
  std::size_t Add(double x, double y, const std::string& label, Color color);

  std::size_t Count() const;
  double X(std::size_t index) const;
  double Y(std::size_t index) const;
  Color ColorAt(std::size_t index) const;
  const std::string& Label(std::size_t index) const;

  // The first index whose X is >= x (LowerBound) or > x (UpperBound).
  std::size_t LowerBound(double x) const;
  std::size_t UpperBound(double x) const;
};

}  // namespace chart
