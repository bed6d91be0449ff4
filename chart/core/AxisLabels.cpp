#include "chart/core/AxisLabels.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace chart {

namespace {

// Pixels kept free between two neighbouring labels.
constexpr double kLabelGap = 8;
// No axis gets more labels than this, whatever its length.
constexpr double kMaxLabels = 200;
// Labels show three decimals, so a finer step would only repeat the same text.
constexpr double kSmallestStep = 0.001;
// Neighbouring labels stay at least this many units in the last place apart,
// so far from zero they are still distinct numbers.
constexpr double kStepUlps = 4;

// Adds one to a string of decimal digits, growing it on a carry out.
void IncrementDigits(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return;
    }
    *it = '0';
  }
  digits.insert(digits.begin(), '1');
}

std::string GroupThousands(std::string_view integerDigits) {
  std::string grouped;
  grouped.reserve(integerDigits.size() + integerDigits.size() / 3);
  for (std::size_t i = 0; i < integerDigits.size(); ++i) {
    if (i > 0 && (integerDigits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(integerDigits[i]);
  }
  return grouped;
}

}  // namespace

std::string FormatAxisLabel(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";

  // Rounds the shortest decimal that reads back as this double rather than
  // its exact binary value, so 1.0005 reads "1.001" as whoever typed it
  // expects, and not "1" because the double sits a hair below.
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t e = text.find('e');
  std::string digits;  // significant digits: d.ddd x 10^exponent
  for (char c : text.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  std::string_view exponentText = text.substr(e + 1);
  if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
  int exponent = 0;
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

  // The value in thousandths: digit i weighs 10^(exponent - i), so the
  // first exponent + 4 digits reach down to 10^-3; the next one rounds.
  const long keep = static_cast<long>(exponent) + 4;
  std::string thousandths;
  if (keep > 0) {
    const std::size_t k = static_cast<std::size_t>(keep);
    thousandths = digits.substr(0, std::min(k, digits.size()));
    thousandths.append(k - thousandths.size(), '0');
  }
  if (keep >= 0 && static_cast<std::size_t>(keep) < digits.size() &&
      digits[static_cast<std::size_t>(keep)] >= '5') {
    IncrementDigits(thousandths);  // half away from zero: the sign is applied last
  }

  const std::size_t firstNonZero = thousandths.find_first_not_of('0');
  if (firstNonZero == std::string::npos) return "0";  // no "-0"
  thousandths.erase(0, firstNonZero);
  if (thousandths.size() < 4) thousandths.insert(0, 4 - thousandths.size(), '0');

  const std::string_view all(thousandths);
  std::string_view fraction = all.substr(all.size() - 3);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);

  std::string label;
  if (value < 0) label.push_back('-');
  label += GroupThousands(all.substr(0, all.size() - 3));
  if (!fraction.empty()) {
    label.push_back('.');
    label.append(fraction);
  }
  return label;
}

std::vector<double> AxisLabelValues(double minimum, double maximum, int lengthPixels,
                                    int labelPixels) {
  std::vector<double> values;
  AxisLabelValues(minimum, maximum, lengthPixels, labelPixels, values);
  return values;
}

void AxisLabelValues(double minimum, double maximum, int lengthPixels, int labelPixels,
                     std::vector<double>& values) {
  values.clear();
  if (!std::isfinite(minimum) || !std::isfinite(maximum) || maximum < minimum ||
      lengthPixels <= 0) {
    return;
  }

  // Half the span never overflows, even for -DBL_MAX..DBL_MAX.
  const double halfSpan = maximum * 0.5 - minimum * 0.5;
  const double spacing = static_cast<double>(std::max(labelPixels, 0)) + kLabelGap;
  const double magnitude = std::max(std::fabs(minimum), std::fabs(maximum));
  const double smallest = std::max({
      halfSpan * (2 * spacing / static_cast<double>(lengthPixels)),  // labels do not crowd
      halfSpan / (kMaxLabels / 2),                                   // a bounded count
      magnitude * kStepUlps * DBL_EPSILON,                           // distinct numbers
      kSmallestStep,                                                 // distinct text
  });
  if (!std::isfinite(smallest)) return;

  // The step is mantissa x 10^power with mantissa 1, 2 or 5, the smallest
  // such step not below `smallest`. log10 may be off by one either way near
  // a power of ten; the search below absorbs that.
  int power = static_cast<int>(std::floor(std::log10(smallest))) - 1;
  int mantissa = 1;
  for (;;) {
    const double scale = std::pow(10.0, power);
    if (scale >= smallest) {
      mantissa = 1;
      break;
    }
    if (2 * scale >= smallest) {
      mantissa = 2;
      break;
    }
    if (5 * scale >= smallest) {
      mantissa = 5;
      break;
    }
    ++power;
  }
  const double scale = std::pow(10.0, std::abs(power));
  if (!std::isfinite(scale * mantissa)) return;

  // A label is index * mantissa * 10^power. For a negative power dividing by
  // the exact 10^-power keeps 0.3 from reading 0.30000000000000004.
  const auto toIndex = [&](double v) {
    return power < 0 ? v * scale / mantissa : v / scale / mantissa;
  };
  const auto fromIndex = [&](std::int64_t index) {
    const double units = static_cast<double>(index * mantissa);
    return power < 0 ? units / scale : units * scale;
  };
  const double first = std::ceil(toIndex(minimum));
  const double last = std::floor(toIndex(maximum));
  // The step is never below a few units in the last place of the range's
  // ends, so these indices are far inside what an int64 holds exactly.
  constexpr double kIndexLimit = 9007199254740992.0 / 8;  // 2^50
  if (!(std::fabs(first) <= kIndexLimit && std::fabs(last) <= kIndexLimit) || last < first) {
    return;
  }
  const auto firstIndex = static_cast<std::int64_t>(first);
  const auto lastIndex =
      std::min(static_cast<std::int64_t>(last), firstIndex + static_cast<std::int64_t>(kMaxLabels));
  values.reserve(static_cast<std::size_t>(lastIndex - firstIndex + 1));
  for (std::int64_t index = firstIndex; index <= lastIndex; ++index) {
    const double v = fromIndex(index);
    // Rounding can put an end label a hair outside the range: leave it out.
    if (v >= minimum && v <= maximum && (values.empty() || v > values.back())) values.push_back(v);
  }
}

}  // namespace chart
