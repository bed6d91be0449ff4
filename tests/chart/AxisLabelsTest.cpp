#include "chart/core/AxisLabels.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(FormatAxisLabel, GroupsThousandsAndRoundsToThreeDecimals) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {12, "12"},
      {999, "999"},
      {1000, "1,000"},
      {123456, "123,456"},
      {1234567, "1,234,567"},
      {1234.5, "1,234.5"},
      {0.1, "0.1"},
      {0.3, "0.3"},
      {0.12345, "0.123"},
      {2.675, "2.675"},
      {-1234567.891, "-1,234,567.891"},
      {0.0005, "0.001"},       // half rounds away from zero
      {-0.0005, "-0.001"},
      {1.0005, "1.001"},       // as written, though the double is a hair below
      {1.2345, "1.235"},
      {0.0004999, "0"},
      {-0.0001, "0"},          // rounds to zero: no "-0"
      {-0.00025, "0"},
      {1e-300, "0"},
      {999.9996, "1,000"},     // the carry reaches a new group
      {-999999.9999, "-1,000,000"},
      {1e15, "1,000,000,000,000,000"},
      {1e21, "1,000,000,000,000,000,000,000"},
      {123456789012345678.0, "123,456,789,012,345,680"},
      {kNaN, "NaN"},
      {kInf, "Inf"},
      {-kInf, "-Inf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatAxisLabel(c.value), c.text);
  }
}

TEST(FormatAxisLabel, WritesTheLargestDoublesOutInFull) {
  std::string expected = "1";
  for (int group = 0; group < 100; ++group) expected += ",000";
  EXPECT_EQ(FormatAxisLabel(1e300), expected);
  EXPECT_EQ(FormatAxisLabel(-DBL_MAX).substr(0, 8), "-179,769");
  EXPECT_EQ(FormatAxisLabel(-DBL_MAX).size(), 1 + 309 + 102u);
}

std::vector<double> Steps(double first, double step, int count) {
  std::vector<double> values;
  for (int i = 0; i < count; ++i) values.push_back(first + step * i);
  return values;
}

TEST(AxisLabelValues, PicksTheSmallestOneTwoFiveStepWhoseLabelsDoNotCrowd) {
  struct Case {
    double minimum, maximum;
    int lengthPixels, labelPixels;
    std::vector<double> values;
  };
  const Case cases[] = {
      {0, 1000, 490, 30, Steps(0, 100, 11)},
      {0, 100, 370, 13, Steps(0, 10, 11)},
      {-50, 50, 300, 20, Steps(-50, 10, 11)},
      {3, 97, 370, 13, Steps(10, 10, 9)},      // only multiples inside the range
      {0, 1000, 120, 30, {0, 500, 1000}},      // short axis: steps of 5
      {0, 1000, 4000, 30, Steps(0, 10, 101)},  // long axis: steps of 1
      {0, 100, 20, 13, {0}},                   // room for one label only
      {2.5, 2.5, 300, 13, {2.5}},              // a point range reads its value
      // Labels show three decimals: no finer step, so no repeated text.
      {0, 1e-10, 300, 13, {0}},
      {1e6, 1e6 + 1e-10, 300, 13, {1e6}},
      {0.0004, 0.0016, 300, 13, {0.001}},
      // Far from zero the step stays above the doubles' own spacing.
      {1e20, 1e20 + 1e6, 400, 13, Steps(1e20, 1e5, 11)},
      {1e20, 1e20 + 1e6, INT_MAX, 0, Steps(1e20, 1e5, 11)},
      // Decimal steps land on the doubles the same decimals are read as.
      {0.3, 0.7, 400, 20, {0.3, 0.35, 0.4, 0.45, 0.5, 0.55, 0.6, 0.65, 0.7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.minimum) + " .. " + std::to_string(c.maximum) + " on " +
                 std::to_string(c.lengthPixels) + " px");
    EXPECT_EQ(AxisLabelValues(c.minimum, c.maximum, c.lengthPixels, c.labelPixels), c.values);
  }
}

TEST(AxisLabelValues, NoneForARangeThatIsNotFiniteOrReversedOrAnEmptyAxis) {
  for (const auto& [minimum, maximum, length] :
       {std::tuple{kNaN, 1.0, 400}, {0.0, kNaN, 400}, {-kInf, 0.0, 400}, {0.0, kInf, 400},
        {10.0, 0.0, 400}, {0.0, 10.0, 0}, {0.0, 10.0, -5}}) {
    EXPECT_TRUE(AxisLabelValues(minimum, maximum, length, 13).empty())
        << minimum << " .. " << maximum << " on " << length;
  }
}

TEST(AxisLabelValues, PathologicalRangesGiveFewDistinctFiniteLabelsInsideTheRange) {
  struct Case {
    double minimum, maximum;
    int lengthPixels, labelPixels;
  };
  const Case cases[] = {
      {1e6, 1e6 + 1e-10, 400, 13},
      {0, 1e-10, 400, 13},
      {0, 4.9e-324, 400, 13},
      {-1e-300, 1e-300, INT_MAX, 0},
      {1e300, 1e300, 400, 13},
      {1e300, 1.0000000000001e300, INT_MAX, 1},
      {-1e308, 1e308, 400, 13},
      {-DBL_MAX, DBL_MAX, INT_MAX, 0},
      {-DBL_MAX, DBL_MAX, 1, INT_MAX},
      {0, DBL_MAX, 400, 13},
      {1e20, 1e20 + 1e5, 400, 13},
      {4503599627370496.0, 4503599627370496.0 + 64, INT_MAX, 0},
      {0, 1, INT_MAX, 0},
      {0, 1e9, INT_MAX, -100},
      {-1, 1, 1, INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.minimum) + " .. " + std::to_string(c.maximum) + " on " +
                 std::to_string(c.lengthPixels) + " px, labels " + std::to_string(c.labelPixels));
    const auto start = std::chrono::steady_clock::now();
    const std::vector<double> values =
        AxisLabelValues(c.minimum, c.maximum, c.lengthPixels, c.labelPixels);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_LE(values.size(), 300u);
    for (std::size_t i = 0; i < values.size(); ++i) {
      EXPECT_TRUE(std::isfinite(values[i]));
      EXPECT_GE(values[i], c.minimum);
      EXPECT_LE(values[i], c.maximum);
      if (i > 0) {
        EXPECT_LT(values[i - 1], values[i]);
      }
    }
  }
}

TEST(AxisLabelValues, ALongAxisOnAWideRangeStillGetsEvenlySpacedLabels) {
  // Far more room than labels: the count is capped, the step stays 1-2-5.
  const std::vector<double> values = AxisLabelValues(0, 1000, 1000000, 10);
  ASSERT_GE(values.size(), 100u);
  ASSERT_LE(values.size(), 300u);
  const double step = values[1] - values[0];
  for (std::size_t i = 1; i < values.size(); ++i) EXPECT_DOUBLE_EQ(values[i] - values[i - 1], step);
  EXPECT_EQ(values.front(), 0);
  EXPECT_EQ(values.back(), 1000);
}

}  // namespace
}  // namespace chart
