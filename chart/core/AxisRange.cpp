#include "chart/core/AxisRange.h"

#include <cmath>
#include <utility>

namespace chart {

void AxisRange::SetMinimum(double value) {
  // A NaN compares false with everything, so it would slip past the check
  // below and leave a range nothing can be drawn in.
  if (std::isnan(value)) throw ChartException("Axis Minimum Value must be a number");
  if (value > maximum_) throw ChartException("Axis Minimum Value must be <= Maximum");
  minimum_ = value;
}

void AxisRange::SetMaximum(double value) {
  if (std::isnan(value)) throw ChartException("Axis Maximum Value must be a number");
  if (value < minimum_) throw ChartException("Axis Maximum Value must be >= Minimum");
  maximum_ = value;
}

void AxisRange::SetMinMax(double minimum, double maximum) {
  // This one never throws, so a NaN end leaves the range (and the automatic
  // flags) as they were rather than storing something unusable.
  if (std::isnan(minimum) || std::isnan(maximum)) return;
  if (minimum > maximum) std::swap(minimum, maximum);
  // Far from zero minimum + kMinimumSpan can round back to minimum; the span
  // is then empty and the chart draws nothing on that axis rather than guess.
  if (maximum - minimum < kMinimumSpan) maximum = minimum + kMinimumSpan;
  minimum_ = minimum;
  maximum_ = maximum;
  automatic_ = false;
  automaticMinimum_ = false;
  automaticMaximum_ = false;
}

}  // namespace chart
