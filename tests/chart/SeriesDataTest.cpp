#include "chart/core/SeriesData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
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

// --- Many blocks ------------------------------------------------------------
//
// The points live in blocks of kBlockCapacity; these tests add enough of
// them, in the orders that reach every way a point finds its place, and
// compare everything the series answers with a plain model: the points in
// the order they came, stably sorted by X.

constexpr std::size_t kCapacity = SeriesData::kBlockCapacity;

struct ModelPoint {
  double x;
  double y;  // the arrival number, to tell points apart
  Color color;
  std::string label;
};

bool SameY(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// Adds the points in turn; each returned index must be that of the new
// point, after every point with an equal X.
SeriesData AddAll(const std::vector<ModelPoint>& points) {
  SeriesData data;
  for (const ModelPoint& p : points) {
    const std::size_t index = data.Add(p.x, p.y, p.label, p.color);
    EXPECT_TRUE(SameY(data.Y(index), p.y)) << "x " << p.x;
    EXPECT_EQ(index + 1, data.UpperBound(p.x)) << "x " << p.x;
    if (testing::Test::HasFailure()) break;
  }
  return data;
}

std::vector<ModelPoint> Sorted(std::vector<ModelPoint> points) {
  std::stable_sort(points.begin(), points.end(),
                   [](const ModelPoint& a, const ModelPoint& b) { return a.x < b.x; });
  return points;
}

void ExpectSameAsModel(const SeriesData& data, const std::vector<ModelPoint>& model) {
  ASSERT_EQ(data.Count(), model.size());
  for (std::size_t i = 0; i < model.size(); ++i) {
    ASSERT_EQ(data.X(i), model[i].x) << i;
    ASSERT_TRUE(SameY(data.Y(i), model[i].y)) << i;
    ASSERT_EQ(data.ColorAt(i), model[i].color) << i;
    ASSERT_EQ(data.Label(i), model[i].label) << i;
  }
  // The bounds at every X held and halfway between neighbours.
  std::vector<double> xs;
  for (const ModelPoint& p : model) xs.push_back(p.x);
  std::vector<double> probes;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    if (i > 0 && xs[i] == xs[i - 1]) continue;
    probes.push_back(xs[i]);
    if (i + 1 < xs.size() && std::isfinite(xs[i]) && std::isfinite(xs[i + 1]))
      probes.push_back(xs[i] + (xs[i + 1] - xs[i]) / 2);
  }
  probes.push_back(-std::numeric_limits<double>::infinity());
  probes.push_back(std::numeric_limits<double>::infinity());
  for (double x : probes) {
    ASSERT_EQ(data.LowerBound(x), std::lower_bound(xs.begin(), xs.end(), x) - xs.begin()) << x;
    ASSERT_EQ(data.UpperBound(x), std::upper_bound(xs.begin(), xs.end(), x) - xs.begin()) << x;
  }
}

// The spans of [first, end) read back the model's points in order, each
// span of one colour.
void ExpectSpansMatch(const SeriesData& data, const std::vector<ModelPoint>& model,
                      std::size_t first, std::size_t end) {
  std::size_t next = first;
  data.ForEachSpan(first, end, [&](const SeriesData::Span& span) {
    ASSERT_EQ(span.index, next);
    ASSERT_GT(span.count, 0u);
    for (std::size_t k = 0; k < span.count; ++k) {
      const ModelPoint& p = model[next + k];
      ASSERT_EQ(span.x[k], p.x) << next + k;
      ASSERT_TRUE(SameY(span.y[k], p.y)) << next + k;
      ASSERT_EQ(span.color, p.color) << next + k;
    }
    next += span.count;
  });
  EXPECT_EQ(next, std::min(end, model.size())) << first << ".." << end;
}

// One way of adding points: the scenario names what it reaches.
struct Scenario {
  const char* name;
  std::function<std::vector<ModelPoint>()> points;
};

std::vector<ModelPoint> Numbered(const std::vector<double>& xs, Color color = kDefault) {
  std::vector<ModelPoint> points;
  for (double x : xs) points.push_back({x, static_cast<double>(points.size()), color, ""});
  return points;
}

// X as the program's tick handler gives it: from 1000 in steps of 5, back
// to 0 after 65535.
std::vector<double> TickXs(std::size_t ticks) {
  std::vector<double> xs{0, 1000};
  std::uint32_t x = 1000;
  while (xs.size() < ticks) {
    x = x >= 65535 ? 0 : x + 5;
    xs.push_back(x);
  }
  return xs;
}

const Scenario kScenarios[] = {
    {"appends across several blocks",
     [] {
       std::vector<double> xs;
       for (std::size_t i = 0; i < 3 * kCapacity + 5; ++i) xs.push_back(static_cast<double>(i));
       return Numbered(xs);
     }},
    {"each point before all the others",
     [] {
       std::vector<double> xs;
       for (std::size_t i = 0; i < 3 * kCapacity + 5; ++i) xs.push_back(-static_cast<double>(i));
       return Numbered(xs);
     }},
    {"points between two full blocks and at their edges",
     [] {
       std::vector<double> xs;
       for (std::size_t i = 0; i < 2 * kCapacity; ++i) xs.push_back(static_cast<double>(i));
       const double edge = static_cast<double>(kCapacity) - 1;  // the first block's last X
       for (double x : {edge + 0.5, edge, edge + 1, 0.0, -1.0, edge + 0.5, 2.0 * kCapacity, edge})
         xs.push_back(x);
       for (int i = 0; i < 300; ++i) xs.push_back(edge + 0.25);  // again and again at one edge
       return Numbered(xs);
     }},
    {"a run of one X longer than a block, others landing around it",
     [] {
       std::vector<double> xs;
       for (std::size_t i = 0; i < 4 * kCapacity; ++i) xs.push_back(static_cast<double>(i % 3));
       return Numbered(xs);
     }},
    {"one place, far from any block with room",
     [] {
       // 40 full blocks, then thousands of points into the middle one:
       // no neighbour within reach has room, so new blocks come in there.
       std::vector<double> xs;
       for (std::size_t i = 0; i < 40 * kCapacity; ++i) xs.push_back(static_cast<double>(i));
       const double middle = 20.0 * kCapacity + 0.5;
       for (std::size_t i = 0; i < 3 * kCapacity; ++i) xs.push_back(middle);
       for (std::size_t i = 0; i < kCapacity; ++i) xs.push_back(middle - 300);
       return Numbered(xs);
     }},
    {"the program's ticks over three and a half passes, some points red or labelled",
     [] {
       std::vector<ModelPoint> points = Numbered(TickXs(46000));
       for (std::size_t i = 0; i < points.size(); ++i) {
         if (i % 97 == 0) points[i].color = kRed;
         if (i % 1013 == 0) points[i].label = "t" + std::to_string(i);
       }
       return points;
     }},
    {"random places, colours and labels, infinite X and Y that are not numbers",
     [] {
       std::mt19937 random(99);
       const Color palette[] = {kDefault, kDefault, kDefault, kRed, kBlue};
       std::vector<ModelPoint> points;
       for (std::size_t i = 0; i < 12 * kCapacity; ++i) {
         double x = static_cast<double>(random() % 3000);
         if (random() % 500 == 0) x = random() % 2 ? std::numeric_limits<double>::infinity()
                                                   : -std::numeric_limits<double>::infinity();
         double y = static_cast<double>(i);
         if (random() % 400 == 0) y = std::numeric_limits<double>::quiet_NaN();
         const std::string label = random() % 50 == 0 ? "r" + std::to_string(i) : "";
         points.push_back({x, y, palette[random() % 5], label});
       }
       return points;
     }},
};

TEST(SeriesDataBlocks, EveryWayOfAddingMatchesTheSortedModel) {
  for (const Scenario& scenario : kScenarios) {
    SCOPED_TRACE(scenario.name);
    const std::vector<ModelPoint> points = scenario.points();
    const SeriesData data = AddAll(points);
    ASSERT_FALSE(testing::Test::HasFailure());
    const std::vector<ModelPoint> model = Sorted(points);
    ExpectSameAsModel(data, model);
    ExpectSpansMatch(data, model, 0, model.size());
    for (std::size_t first : {std::size_t{1}, kCapacity - 1, kCapacity, model.size() / 2})
      ExpectSpansMatch(data, model, first, std::min(model.size(), first + kCapacity + 7));
  }
}

TEST(SeriesDataBlocks, ThroughManyWrapsTheBlocksStayNearlyFull) {
  // Ten passes of the program's ticks: every pass lands a point after each
  // group of equal X, all through the series.
  SeriesData data;
  for (double x : TickXs(10 * 13108)) data.Add(x, 50, "", kBlue);
  const double fill = static_cast<double>(data.Count()) /
                      static_cast<double>(data.BlockCount() * kCapacity);
  EXPECT_GE(fill, 0.95) << data.BlockCount() << " blocks for " << data.Count() << " points";
}

TEST(SeriesDataBlocks, ACopyKeepsItsOwnPoints) {
  SeriesData original = AddAll(Numbered(TickXs(2 * kCapacity)));
  const SeriesData copy = original;
  const std::size_t count = copy.Count();
  for (double x : TickXs(kCapacity)) original.Add(x, -1, "new", kRed);
  ASSERT_EQ(copy.Count(), count);
  ExpectSameAsModel(copy, Sorted(Numbered(TickXs(2 * kCapacity))));
}

// The extremes of a span's points against a look at every point: the first
// lowest and the first highest, stopping at a Y that is not finite.
TEST(SeriesDataBlocks, SpanExtremesAreThoseOfEveryPointUpToOneThatIsNotFinite) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const auto randomX = [](std::mt19937& random, std::size_t) { return static_cast<double>(random() % 500); };
  const auto inTurn = [](std::mt19937&, std::size_t i) { return static_cast<double>(i); };
  struct Case {
    const char* name;
    std::size_t count;
    std::function<double(std::mt19937&, std::size_t)> x;
    std::function<double(std::mt19937&, std::size_t)> y;
  };
  const Case cases[] = {
      {"many equal values, a few that are not finite", 6 * kCapacity, randomX,
       [](std::mt19937& random, std::size_t) {
         if (random() % 700 == 0)
           return random() % 2 ? kNaN : -std::numeric_limits<double>::infinity();
         return static_cast<double>(random() % 40);
       }},
      {"one level throughout", 6 * kCapacity, randomX, [](std::mt19937&, std::size_t) { return 50.0; }},
      {"one level but for a rare spike", 6 * kCapacity, randomX,
       [](std::mt19937& random, std::size_t) { return random() % 800 == 0 ? 95.0 : 50.0; }},
      {"one level but for a rare gap", 6 * kCapacity, randomX,
       [](std::mt19937& random, std::size_t) { return random() % 800 == 0 ? kNaN : 50.0; }},
      {"one level, a gap at the end of a block not yet full", 700, inTurn,
       [](std::mt19937&, std::size_t i) { return i == 690 ? kNaN : 50.0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 random(5);
    SeriesData data;
    for (std::size_t i = 0; i < c.count; ++i) {
      const double x = c.x(random, i);
      data.Add(x, c.y(random, i), "", kDefault);
    }
    std::size_t checked = 0;
    data.ForEachSpan(0, data.Count(), [&](const SeriesData::Span& span) {
      for (int trial = 0; trial < 40; ++trial) {
        // The whole span first, then pieces of it.
        const std::size_t from = trial == 0 ? 0 : random() % span.count;
        const std::size_t end = trial == 0 ? span.count : from + random() % (span.count - from + 1);
        std::size_t stop = from;
        double low = std::numeric_limits<double>::infinity(), high = -low;
        std::size_t lowAt = from, highAt = from;
        for (; stop < end && std::isfinite(span.y[stop]); ++stop) {
          if (span.y[stop] < low) low = span.y[lowAt = stop];
          if (span.y[stop] > high) high = span.y[highAt = stop];
        }
        const SeriesData::YExtremes e = data.FiniteYExtremes(span, from, end);
        ASSERT_EQ(e.end, stop) << from << ".." << end;
        if (stop == from) continue;
        ASSERT_EQ(e.low, low) << from << ".." << end;
        ASSERT_EQ(e.lowAt, lowAt) << from << ".." << end;
        ASSERT_EQ(e.high, high) << from << ".." << end;
        ASSERT_EQ(e.highAt, highAt) << from << ".." << end;
        ++checked;
      }
    });
    EXPECT_GE(checked, 20u);
  }
}

// More blocks asked for their extremes than keep them at once: the oldest
// summaries go and are made again when asked, with the same answers. Also
// one block changed and asked again and again, far more often than that.
TEST(SeriesDataBlocks, ExtremesStayRightWhenSummariesComeAndGo) {
  {
    SeriesData one;
    for (int i = 0; i < 200; ++i) one.Add(i, i % 7, "", kDefault);
    for (std::size_t n = 0; n < 3 * SeriesData::kMostSummaries; ++n) {
      one.Add(static_cast<double>(n % 150), 3, "", kDefault);
      std::size_t wrong = 0;
      one.ForEachSpan(0, one.Count(), [&](const SeriesData::Span& span) {
        const SeriesData::YExtremes e = one.FiniteYExtremes(span, 0, span.count);
        wrong += e.end != span.count || e.low != *std::min_element(span.y, span.y + span.count) ||
                 e.high != *std::max_element(span.y, span.y + span.count);
      });
      ASSERT_EQ(wrong, 0u) << "after " << n << " changes";
    }
  }

  SeriesData data;
  const std::size_t blocks = SeriesData::kMostSummaries + 40;
  for (std::size_t i = 0; i < blocks * kCapacity; ++i)
    data.Add(static_cast<double>(i), static_cast<double>((i * 7919) % 101), "", kDefault);
  for (int sweep = 0; sweep < 2; ++sweep) {
    std::size_t wrong = 0;
    data.ForEachSpan(0, data.Count(), [&](const SeriesData::Span& span) {
      const auto lowest = std::min_element(span.y, span.y + span.count);
      const auto highest = std::max_element(span.y, span.y + span.count);
      const SeriesData::YExtremes e = data.FiniteYExtremes(span, 0, span.count);
      wrong += e.end != span.count || e.low != *lowest || e.high != *highest ||
               e.lowAt != static_cast<std::size_t>(lowest - span.y) ||
               e.highAt != static_cast<std::size_t>(highest - span.y);
    });
    EXPECT_EQ(wrong, 0u) << "sweep " << sweep;
  }
}

}  // namespace
}  // namespace chart
