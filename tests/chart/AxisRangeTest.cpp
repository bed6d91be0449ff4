#include "chart/core/AxisRange.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace chart {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void ExpectAutomatic(const AxisRange& range, bool automatic) {
  EXPECT_EQ(range.Automatic(), automatic);
  EXPECT_EQ(range.AutomaticMinimum(), automatic);
  EXPECT_EQ(range.AutomaticMaximum(), automatic);
}

TEST(AxisRangeSetMinMax, StoresTheOrderedPairWidenedToTheMinimumSpanAndTurnsScalingOff) {
  struct Case {
    double minimum, maximum;
    double storedMinimum, storedMaximum;
  };
  const Case cases[] = {
      {0, 100, 0, 100},
      {100, 0, 0, 100},                        // reversed: swapped
      {-7.5, -7.25, -7.5, -7.25},
      {5, 5, 5, 5 + 1e-10},                    // equal: widened
      {-3, -3, -3, -3 + 1e-10},
      {1, 1 + 1e-11, 1, 1 + 1e-10},            // too narrow: widened from the minimum
      {2 + 1e-12, 2, 2, 2 + 1e-10},            // reversed and too narrow
      {0, 1e-10, 0, 1e-10},                    // exactly the minimum span: kept
      {-1e300, 1e300, -1e300, 1e300},
      {-kInf, kInf, -kInf, kInf},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.minimum) + " .. " + std::to_string(c.maximum));
    AxisRange range;
    range.SetMinMax(c.minimum, c.maximum);
    EXPECT_EQ(range.Minimum(), c.storedMinimum);
    EXPECT_EQ(range.Maximum(), c.storedMaximum);
    ExpectAutomatic(range, false);
  }
}

TEST(AxisRangeSetMinMax, ANaNEndLeavesRangeAndFlagsAsTheyWere) {
  AxisRange fresh;
  fresh.SetMinMax(kNaN, 5);
  EXPECT_EQ(fresh.Minimum(), 0);
  EXPECT_EQ(fresh.Maximum(), 0);
  ExpectAutomatic(fresh, true);

  for (const auto& [minimum, maximum] : {std::pair{kNaN, 5.0}, {1.0, kNaN}, {kNaN, kNaN}}) {
    AxisRange range;
    range.SetMinMax(1, 2);
    range.SetMinMax(minimum, maximum);
    EXPECT_EQ(range.Minimum(), 1);
    EXPECT_EQ(range.Maximum(), 2);
  }
}

TEST(AxisRangeSetters, RefuseAReversedRangeOrNaNAndNeverTouchTheFlags) {
  enum class Setter { kMinimum, kMaximum };
  struct Case {
    Setter setter;
    double value;
    const char* error;  // nullptr: allowed
  };
  const Case cases[] = {
      {Setter::kMinimum, 5, nullptr},
      {Setter::kMinimum, 10, nullptr},  // equal to the maximum
      {Setter::kMinimum, -1e300, nullptr},
      {Setter::kMinimum, -kInf, nullptr},
      {Setter::kMinimum, 10.5, "Axis Minimum Value must be <= Maximum"},
      {Setter::kMinimum, kInf, "Axis Minimum Value must be <= Maximum"},
      {Setter::kMinimum, kNaN, "Axis Minimum Value must be a number"},
      {Setter::kMaximum, 20, nullptr},
      {Setter::kMaximum, 0, nullptr},  // equal to the minimum
      {Setter::kMaximum, kInf, nullptr},
      {Setter::kMaximum, -0.5, "Axis Maximum Value must be >= Minimum"},
      {Setter::kMaximum, kNaN, "Axis Maximum Value must be a number"},
  };
  for (const bool automatic : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.setter == Setter::kMinimum ? "SetMinimum(" : "SetMaximum(") +
                   std::to_string(c.value) + ") automatic=" + (automatic ? "yes" : "no"));
      // [0, 10], reached without or with the set-range operation.
      AxisRange range;
      if (automatic) {
        range.SetMaximum(10);
      } else {
        range.SetMinMax(0, 10);
      }
      const auto set = [&] {
        if (c.setter == Setter::kMinimum) {
          range.SetMinimum(c.value);
        } else {
          range.SetMaximum(c.value);
        }
      };
      if (c.error == nullptr) {
        EXPECT_NO_THROW(set());
        EXPECT_EQ(c.setter == Setter::kMinimum ? range.Minimum() : range.Maximum(), c.value);
      } else {
        try {
          set();
          ADD_FAILURE() << "no exception";
        } catch (const ChartException& e) {
          EXPECT_EQ(e.Message(), c.error);
        }
        EXPECT_EQ(range.Minimum(), 0);
        EXPECT_EQ(range.Maximum(), 10);
      }
      ExpectAutomatic(range, automatic);
    }
  }
}

}  // namespace
}  // namespace chart
