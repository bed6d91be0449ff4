// One axis' range and the rules for changing it: the set-range operation
// (swap when reversed, a minimum span, automatic scaling off) and the
// one-end setters that refuse a reversed range.
#pragma once

#include "forms/Exceptions.h"

namespace chart {

// The chart's own error, raised for an axis range that cannot be.
class ChartException : public forms::Exception {
 public:
  using forms::Exception::Exception;
};

class AxisRange {
 public:
  static constexpr double kMinimumSpan = 1e-10;

  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }
  // Throws ChartException "Axis Minimum Value must be <= Maximum" when value
  // is above the maximum; leaves the automatic flags as they are.
  void SetMinimum(double value);
  // Throws ChartException "Axis Maximum Value must be >= Minimum".
  void SetMaximum(double value);
  // Swaps a reversed pair, widens a span below kMinimumSpan to it, and
  // turns automatic scaling off. Never throws.
  void SetMinMax(double minimum, double maximum);

  bool Automatic() const { return automatic_; }
  bool AutomaticMinimum() const { return automaticMinimum_; }
  bool AutomaticMaximum() const { return automaticMaximum_; }

 private:
  double minimum_ = 0;
  double maximum_ = 0;
  bool automatic_ = true;
  bool automaticMinimum_ = true;
  bool automaticMaximum_ = true;
};

}  // namespace chart
