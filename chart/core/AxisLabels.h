// Where an axis puts its labels and how they read.
#pragma once

#include <string>
#include <vector>

namespace chart {

// Formats as "#,##0.###": thousands separated by ",", at least one integer
// digit, at most three decimals with trailing zeros dropped, rounded half
// away from zero. 1000 -> "1,000", 1234.5 -> "1,234.5", 0.12345 -> "0.123".
// A value that rounds to zero reads "0" (no "-0").
std::string FormatAxisLabel(double value);

// Label values for [minimum, maximum] on an axis `lengthPixels` long, each
// label taking `labelPixels` along the axis (its width on a horizontal axis,
// its height on a vertical one): multiples of a step of 1, 2 or 5 times a
// power of ten, the smallest step whose labels do not crowd (at least
// labelPixels plus a gap apart). Ascending, all within the range; at most a
// few hundred whatever the input; empty for a range that is not finite.
std::vector<double> AxisLabelValues(double minimum, double maximum, int lengthPixels,
                                    int labelPixels);
// The same into `values` (cleared first), reusing its room.
void AxisLabelValues(double minimum, double maximum, int lengthPixels, int labelPixels,
                     std::vector<double>& values);

}  // namespace chart
