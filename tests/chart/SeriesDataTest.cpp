#include "chart/core/SeriesData.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "chart/core/AxisRange.h"

namespace chart {
namespace {

constexpr Color kRed = 0x0000FF;
constexpr Color kBlue = 0xFF0000;
constexpr Color kDefault = SeriesData::kDefaultColor;

TEST(SeriesData, KeepsPointsSortedWithEqualXInArrivalOrder) {
  struct Step {
    double x;
    double tag;  // stored as Y to tell the points apart
    std::size_t index;
  };
  const Step steps[] = {
      {1, 10, 0},
      {3, 11, 1},  // appended
      {2, 12, 1},  // between
      {2, 13, 2},  // after the existing 2
      {0, 14, 0},  // below all: first
      {3, 15, 5},  // after the existing 3, at the end
      {5, 16, 6},
      {-1, 17, 0},
  };
  SeriesData data;
  for (const Step& s : steps) EXPECT_EQ(data.Add(s.x, s.tag, "", kDefault), s.index) << s.tag;

  const std::vector<double> xs{-1, 0, 1, 2, 2, 3, 3, 5};
  const std::vector<double> tags{17, 14, 10, 12, 13, 11, 15, 16};
  ASSERT_EQ(data.Count(), xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    EXPECT_EQ(data.X(i), xs[i]) << i;
    EXPECT_EQ(data.Y(i), tags[i]) << i;
  }
}

TEST(SeriesData, BoundsFindTheFirstPointAtOrPastAValue) {
  SeriesData data;
  for (double x : {0.0, 1.0, 2.0, 2.0, 2.0, 3.0}) data.Add(x, 0, "", kDefault);
  struct Case {
    double x;
    std::size_t lower, upper;
  };
  const Case cases[] = {
      {-1, 0, 0}, {0, 0, 1}, {0.5, 1, 1}, {2, 2, 5}, {2.5, 5, 5}, {3, 5, 6}, {9, 6, 6},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(data.LowerBound(c.x), c.lower) << c.x;
    EXPECT_EQ(data.UpperBound(c.x), c.upper) << c.x;
  }
  EXPECT_EQ(SeriesData().LowerBound(1), 0u);
  EXPECT_EQ(SeriesData().UpperBound(1), 0u);
}

TEST(SeriesData, ANaNXIsRefused) {
  SeriesData data;
  data.Add(1, 1, "", kDefault);
  EXPECT_THROW(data.Add(std::numeric_limits<double>::quiet_NaN(), 0, "", kDefault),
               ChartException);
  EXPECT_EQ(data.Count(), 1u);
  // Y is only drawn, never ordered by: any value is kept.
  data.Add(2, std::numeric_limits<double>::quiet_NaN(), "", kDefault);
  EXPECT_EQ(data.Count(), 2u);
}

TEST(SeriesData, ColoursAndLabelsFollowTheirPointsThroughInsertsInTheMiddle) {
  SeriesData data;
  data.Add(10, 0, "", kDefault);
  data.Add(20, 0, "twenty", kRed);
  data.Add(30, 0, "", kRed);
  data.Add(40, 0, "forty", kDefault);
  data.Add(25, 0, "", kDefault);     // splits the red run
  data.Add(5, 0, "five", kBlue);     // before everything
  data.Add(20, 0, "", kRed);         // joins the red point before it
  data.Add(35, 0, "", kBlue);

  const std::vector<double> xs{5, 10, 20, 20, 25, 30, 35, 40};
  const std::vector<Color> colors{kBlue, kDefault, kRed, kRed, kDefault, kRed, kBlue, kDefault};
  const std::vector<std::string> labels{"five", "", "twenty", "", "", "", "", "forty"};
  ASSERT_EQ(data.Count(), xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    EXPECT_EQ(data.X(i), xs[i]) << i;
    EXPECT_EQ(data.ColorAt(i), colors[i]) << i;
    EXPECT_EQ(data.Label(i), labels[i]) << i;
  }
}

// Many random inserts against a plain per-point list: every point keeps
// its own colour and label wherever later points land.
TEST(SeriesData, RandomInsertsMatchAPerPointList) {
  struct Point {
    double x;
    double y;
    std::string label;
    Color color;
  };
  std::mt19937 random(20240611);
  const Color palette[] = {kDefault, kDefault, kDefault, kRed, kBlue};
  SeriesData data;
  std::vector<Point> model;
  for (int n = 0; n < 600; ++n) {
    const double x = static_cast<double>(random() % 60);  // many equal X
    const Color color = palette[random() % 5];
    const std::string label = random() % 4 == 0 ? "p" + std::to_string(n) : "";
    const double y = n;
    std::size_t at = 0;
    while (at < model.size() && model[at].x <= x) ++at;
    model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), {x, y, label, color});
    ASSERT_EQ(data.Add(x, y, label, color), at);
  }
  ASSERT_EQ(data.Count(), model.size());
  for (std::size_t i = 0; i < model.size(); ++i) {
    ASSERT_EQ(data.X(i), model[i].x) << i;
    ASSERT_EQ(data.Y(i), model[i].y) << i;
    ASSERT_EQ(data.ColorAt(i), model[i].color) << i;
    ASSERT_EQ(data.Label(i), model[i].label) << i;
  }
}

}  // namespace
}  // namespace chart
