#include "chart/core/SeriesPath.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace chart {
namespace {

using forms::TPoint;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr Color kSeries = 0x00FF00;
constexpr Color kRed = 0x0000FF;
constexpr Color kDefault = SeriesData::kDefaultColor;
// 101 columns and 101 rows: with both ranges [0, 100] a point (x, y) sits
// at pixel (10 + x, 120 - y).
constexpr PlotArea kArea{10, 20, 110, 120};

struct Drawn {
  std::vector<TPoint> points;
  Color color;
  bool operator==(const Drawn&) const = default;
};

void PrintTo(const Drawn& run, std::ostream* out) {
  *out << "{color " << std::hex << run.color << std::dec << ":";
  for (const TPoint& p : run.points) *out << " (" << p.x << "," << p.y << ")";
  *out << "}";
}

AxisRange Range(double minimum, double maximum) {
  AxisRange range;
  range.SetMinMax(minimum, maximum);
  return range;
}

SeriesData Series(const std::vector<std::pair<double, double>>& points, Color color = kDefault) {
  SeriesData data;
  for (const auto& [x, y] : points) data.Add(x, y, "", color);
  return data;
}

std::vector<Drawn> Draw(const SeriesData& data, const AxisRange& horizontal,
                      const AxisRange& vertical, const PlotArea& area = kArea,
                      Color seriesColor = kSeries) {
  std::vector<LineRun> runs;
  BuildSeriesPath(data, horizontal, vertical, area, seriesColor, runs);
  std::vector<Drawn> result;
  for (const LineRun& run : runs) result.push_back({run.points, run.color});
  return result;
}

// Points at X 0, 10, ..., 100, all at Y 50, point i in colour 0x100 + i, so
// each segment is a run of its own in the colour of the point it leads into.
TEST(BuildSeriesPath, DrawsTheVisibleSliceWithOneNeighbourEachSide) {
  SeriesData data;
  for (int i = 0; i <= 10; ++i) data.Add(10.0 * i, 50, "", 0x100u + static_cast<Color>(i));
  const auto flat = [](int fromX, int toX, int into) {
    return Drawn{{{fromX, 70}, {toX, 70}}, 0x100u + static_cast<Color>(into)};
  };
  std::vector<Drawn> whole;
  for (int i = 1; i <= 10; ++i) whole.push_back(flat(10 * i, 10 + 10 * i, i));

  struct Case {
    double hmin, hmax, vmin, vmax;
    std::vector<Drawn> runs;
  };
  const Case cases[] = {
      {0, 100, 0, 100, whole},
      {15, 35, 0, 100, {flat(10, 35, 2), flat(35, 85, 3), flat(85, 110, 4)}},
      {41, 49, 0, 100, {flat(10, 110, 5)}},  // no point inside: the crossing segment
      {-45, 5, 0, 100, {flat(100, 110, 1)}},  // before the first point
      {95, 145, 0, 100, {flat(10, 20, 10)}},  // past the last point
      {200, 300, 0, 100, {}},
      {-300, -200, 0, 100, {}},
      {0, 100, 60, 100, {}},  // the line is below the range
      {0, 100, 0, 50, [&] {   // the line is on the top edge
         std::vector<Drawn> top = whole;
         for (Drawn& run : top) {
           for (TPoint& p : run.points) p.y = 20;
         }
         return top;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x " << c.hmin << ".." << c.hmax << ", y " << c.vmin
                                    << ".." << c.vmax);
    EXPECT_EQ(Draw(data, Range(c.hmin, c.hmax), Range(c.vmin, c.vmax)), c.runs);
  }
}

TEST(BuildSeriesPath, ASegmentTakesTheColourOfThePointItLeadsIntoAndRunsSplitOnAChange) {
  SeriesData data;
  data.Add(0, 10, "", kDefault);
  data.Add(10, 20, "", kDefault);
  data.Add(20, 30, "", kRed);
  data.Add(30, 20, "", kRed);
  data.Add(40, 50, "", kDefault);
  data.Add(50, 40, "", kDefault);
  // Two pixels per unit across: (x, y) at (10 + 2x, 120 - y).
  const TPoint p0{10, 110}, p1{30, 100}, p2{50, 90}, p3{70, 100}, p4{90, 70}, p5{110, 80};
  EXPECT_EQ(Draw(data, Range(0, 50), Range(0, 100)),
            (std::vector<Drawn>{{{p0, p1}, kSeries}, {{p1, p2, p3}, kRed}, {{p3, p4, p5}, kSeries}}));
  // The default colour is the series' own: in red it is all one run.
  EXPECT_EQ(Draw(data, Range(0, 50), Range(0, 100), kArea, kRed),
            (std::vector<Drawn>{{{p0, p1, p2, p3, p4, p5}, kRed}}));
}

TEST(BuildSeriesPath, CutsAtTheEdgesLandOnTheEdgePixels) {
  struct Case {
    std::pair<double, double> a, b;
    std::vector<TPoint> drawn;  // empty: nothing
  };
  const Case cases[] = {
      {{20, 30}, {70, 80}, {{30, 90}, {80, 40}}},          // inside: as it is
      {{50, 50}, {150, 50}, {{60, 70}, {110, 70}}},        // right edge
      {{-50, 50}, {50, 50}, {{10, 70}, {60, 70}}},         // left edge
      {{20, 50}, {80, 200}, {{30, 70}, {50, 20}}},         // top edge, at x 40
      {{20, 50}, {80, -100}, {{30, 70}, {50, 120}}},       // bottom edge, at x 40
      {{40, -1000}, {60, 1000}, {{60, 120}, {61, 20}}},    // through bottom and top
      {{50, -50}, {50, 150}, {{60, 120}, {60, 20}}},       // vertical
      {{-100, -100}, {200, 200}, {{10, 120}, {110, 20}}},  // in and out at corners
      {{-10, 110}, {110, -10}, {{10, 20}, {110, 120}}},
      {{0, 0}, {100, 100}, {{10, 120}, {110, 20}}},        // corner to corner
      {{-50, 90}, {50, 200}, {}},                          // passes the top left corner
      {{-50, 150}, {150, 150}, {}},                        // above
      {{-50, -1}, {150, -1}, {}},                          // below
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.a.first << "," << c.a.second << ") to ("
                                    << c.b.first << "," << c.b.second << ")");
    const std::vector<Drawn> runs = Draw(Series({c.a, c.b}), Range(0, 100), Range(0, 100));
    if (c.drawn.empty()) {
      EXPECT_TRUE(runs.empty());
    } else {
      EXPECT_EQ(runs, (std::vector<Drawn>{{c.drawn, kSeries}}));
    }
  }
}

TEST(BuildSeriesPath, FarAwayPointsNeitherOverflowNorBendTheLine) {
  struct Case {
    std::vector<std::pair<double, double>> points;
    double hmin, hmax, vmin, vmax;
    std::vector<TPoint> drawn;
  };
  const Case cases[] = {
      {{{-1e300, 50}, {50, 50}, {1e300, 50}}, 0, 100, 0, 100, {{10, 70}, {60, 70}, {110, 70}}},
      {{{50, 50}, {1e300, 1e300}}, 0, 100, 0, 100, {{60, 70}, {110, 20}}},
      {{{-1e300, -1e300}, {50, 50}}, 0, 100, 0, 100, {{10, 120}, {60, 70}}},
      {{{-DBL_MAX, 50}, {DBL_MAX, 50}}, 0, 100, 0, 100, {{10, 70}, {110, 70}}},
      // Ranges a tiny fraction of the distance between the points.
      {{{-1e300, 50}, {1e300, 50}}, 49.99, 50.01, 0, 100, {{10, 70}, {110, 70}}},
      {{{49.995, -1e300}, {50.005, 1e300}}, 49.99, 50.01, 0, 100, {{60, 120}, {60, 20}}},
      // Ranges as wide as doubles go.
      {{{-1e308, 0}, {1e308, 0}}, -1e308, 1e308, -1, 1, {{10, 70}, {110, 70}}},
      {{{-DBL_MAX, -DBL_MAX}, {DBL_MAX, DBL_MAX}}, -DBL_MAX, DBL_MAX, -DBL_MAX, DBL_MAX,
       {{10, 120}, {110, 20}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x " << c.hmin << ".." << c.hmax);
    EXPECT_EQ(Draw(Series(c.points), Range(c.hmin, c.hmax), Range(c.vmin, c.vmax)),
              (std::vector<Drawn>{{c.drawn, kSeries}}));
  }
}

TEST(BuildSeriesPath, RandomExtremePointsStayInsideTheArea) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> exponent(-300, 300);
  std::uniform_real_distribution<double> mantissa(-9.99, 9.99);
  SeriesData data;
  for (int i = 0; i < 2000; ++i) {
    data.Add(mantissa(random) * std::pow(10.0, exponent(random)),
             mantissa(random) * std::pow(10.0, exponent(random)), "", kDefault);
  }
  const std::pair<double, double> ranges[] = {
      {0, 1}, {-1e-300, 1e-300}, {-1e300, 1e300}, {5e10, 5e10 + 1e-5}, {-DBL_MAX, DBL_MAX}};
  std::vector<LineRun> runs;
  for (const auto& [hmin, hmax] : ranges) {
    for (const auto& [vmin, vmax] : ranges) {
      BuildSeriesPath(data, Range(hmin, hmax), Range(vmin, vmax), kArea, kSeries, runs);
      for (const LineRun& run : runs) {
        EXPECT_GE(run.points.size(), 2u);
        for (const TPoint& p : run.points) {
          EXPECT_TRUE(p.x >= kArea.left && p.x <= kArea.right && p.y >= kArea.top &&
                      p.y <= kArea.bottom)
              << p.x << "," << p.y << " for x " << hmin << ".." << hmax << ", y " << vmin << ".."
              << vmax;
        }
      }
    }
  }
}

TEST(BuildSeriesPath, DrawsNothingWithoutARangeAnAreaOrTwoPoints) {
  const SeriesData two = Series({{20, 20}, {80, 80}});
  AxisRange notSet;  // [0, 0]
  struct Case {
    const char* name;
    SeriesData data;
    AxisRange horizontal, vertical;
    PlotArea area;
  };
  const Case cases[] = {
      {"empty horizontal range", two, notSet, Range(0, 100), kArea},
      {"empty vertical range", two, Range(0, 100), notSet, kArea},
      {"infinite horizontal range", two, Range(-kInf, kInf), Range(0, 100), kArea},
      {"half-infinite horizontal range", two, Range(0, kInf), Range(0, 100), kArea},
      {"infinite vertical range", two, Range(0, 100), Range(-kInf, 0), kArea},
      {"right left of left", two, Range(0, 100), Range(0, 100), {110, 20, 10, 120}},
      {"bottom above top", two, Range(0, 100), Range(0, 100), {10, 120, 110, 20}},
      {"no points", SeriesData(), Range(0, 100), Range(0, 100), kArea},
      {"one point", Series({{50, 50}}), Range(0, 100), Range(0, 100), kArea},
      {"all points left", two, Range(100, 200), Range(0, 100), kArea},
      {"all points right", two, Range(-200, -100), Range(0, 100), kArea},
  };
  for (const Case& c : cases) {
    std::vector<LineRun> runs{{{{1, 1}, {2, 2}}, kRed}};  // left from an earlier paint
    BuildSeriesPath(c.data, c.horizontal, c.vertical, c.area, kSeries, runs);
    EXPECT_TRUE(runs.empty()) << c.name;
  }
}

TEST(BuildSeriesPath, APointThatIsNotFiniteLeavesAGap) {
  // Even where the line comes back to the very pixel it left.
  const SeriesData data = Series(
      {{0, 10}, {10, 20}, {10, kNaN}, {10, 20}, {20, 30}, {30, kInf}, {40, 30}, {50, 30}});
  EXPECT_EQ(Draw(data, Range(0, 50), Range(0, 100)),
            (std::vector<Drawn>{{{{10, 110}, {30, 100}}, kSeries},
                                {{{30, 100}, {50, 90}}, kSeries},
                                {{{90, 90}, {110, 90}}, kSeries}}));
}

TEST(BuildSeriesPath, PointsOnOnePixelDrawOnce) {
  // Inside a run a repeated pixel is dropped.
  EXPECT_EQ(Draw(Series({{0, 50}, {0.2, 50.2}, {10, 50}, {10.2, 49.8}, {20, 50}}), Range(0, 100),
                 Range(0, 100)),
            (std::vector<Drawn>{{{{10, 70}, {20, 70}, {30, 70}}, kSeries}}));
  // A run of nothing but one pixel is still a line, from that pixel to itself.
  EXPECT_EQ(Draw(Series({{50, 50}, {50.2, 50.2}}), Range(0, 100), Range(0, 100)),
            (std::vector<Drawn>{{{{60, 70}, {60, 70}}, kSeries}}));
}

TEST(BuildSeriesPath, ReusesTheRunsOfTheLastPaint) {
  const SeriesData data = Series({{0, 0}, {50, 50}, {100, 0}});
  std::vector<LineRun> runs;
  BuildSeriesPath(data, Range(0, 100), Range(0, 100), kArea, kSeries, runs);
  ASSERT_EQ(runs.size(), 1u);
  const TPoint* buffer = runs[0].points.data();
  const std::vector<TPoint> first = runs[0].points;
  BuildSeriesPath(data, Range(0, 100), Range(0, 100), kArea, kSeries, runs);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].points, first);
  EXPECT_EQ(runs[0].points.data(), buffer);
}

// --- Dense data: thinned per pixel column ---------------------------------

int Column(double x, double hmin, double hmax, const PlotArea& area) {
  return static_cast<int>(
      std::lround(area.left + (x - hmin) / (hmax - hmin) * (area.right - area.left)));
}

int Row(double y, double vmin, double vmax, const PlotArea& area) {
  return static_cast<int>(
      std::lround(area.bottom - (y - vmin) / (vmax - vmin) * (area.bottom - area.top)));
}

using Pixel = std::tuple<int, int, Color>;

// The pixels a straight line between two pixel centres covers (Bresenham).
void Rasterize(TPoint from, TPoint to, Color color, std::set<Pixel>& pixels) {
  const int dx = std::abs(to.x - from.x);
  const int dy = -std::abs(to.y - from.y);
  const int sx = from.x < to.x ? 1 : -1;
  const int sy = from.y < to.y ? 1 : -1;
  int error = dx + dy;
  for (TPoint p = from;;) {
    pixels.insert({p.x, p.y, color});
    if (p == to) break;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      p.x += sx;
    }
    if (twice <= dx) {
      error += dx;
      p.y += sy;
    }
  }
}

std::set<Pixel> Rasterize(const std::vector<LineRun>& runs) {
  std::set<Pixel> pixels;
  for (const LineRun& run : runs) {
    for (std::size_t i = 1; i < run.points.size(); ++i) {
      Rasterize(run.points[i - 1], run.points[i], run.color, pixels);
    }
  }
  return pixels;
}

// Many points inside [0, 1] x [0, 100], in the series colour with red
// stretches: every segment drawn on its own, without any thinning.
struct DenseFixture {
  static constexpr double kHmin = 0, kHmax = 1, kVmin = 0, kVmax = 100;
  SeriesData data;

  explicit DenseFixture(SeriesData points) : data(std::move(points)) {}
  DenseFixture(int count, bool redStretches) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> x(0.001, 0.999), y(5, 95);
    std::vector<double> xs(static_cast<std::size_t>(count));
    for (double& v : xs) v = x(random);
    std::sort(xs.begin(), xs.end());
    Color color = kDefault;
    for (double v : xs) {
      if (redStretches && random() % 500 == 0) color = color == kDefault ? kRed : kDefault;
      data.Add(v, y(random), "", color);
    }
  }

  TPoint PixelOf(std::size_t i) const {
    return {Column(data.X(i), kHmin, kHmax, kArea), Row(data.Y(i), kVmin, kVmax, kArea)};
  }

  bool Finite(std::size_t i) const { return std::isfinite(data.Y(i)); }

  std::set<Pixel> EverySegment() const {
    std::set<Pixel> pixels;
    for (std::size_t i = 1; i < data.Count(); ++i) {
      if (!Finite(i - 1) || !Finite(i)) continue;  // a gap
      const Color c = data.ColorAt(i);
      Rasterize(PixelOf(i - 1), PixelOf(i), c == kDefault ? kSeries : c, pixels);
    }
    return pixels;
  }

  std::vector<LineRun> Build() const {
    std::vector<LineRun> runs;
    BuildSeriesPath(data, Range(kHmin, kHmax), Range(kVmin, kVmax), kArea, kSeries, runs);
    return runs;
  }
};

void ExpectFewPointsPerColumnAndTheColumnsExtremes(const DenseFixture& fixture) {
  const std::vector<LineRun> runs = fixture.Build();

  std::map<int, std::pair<int, int>> extremes;  // column -> lowest and highest row of any point
  for (std::size_t i = 0; i < fixture.data.Count(); ++i) {
    if (!fixture.Finite(i)) continue;
    const TPoint p = fixture.PixelOf(i);
    auto [it, fresh] = extremes.try_emplace(p.x, p.y, p.y);
    it->second = {std::min(it->second.first, p.y), std::max(it->second.second, p.y)};
  }
  std::map<int, std::pair<int, int>> drawn;
  std::size_t total = 0;
  for (const LineRun& run : runs) {
    // A run after a colour change starts from the last point of the group
    // before it, which may share the column: that point is the other group's.
    std::map<int, int> perColumn;
    for (const TPoint& p : run.points) {
      if (&p != &run.points.front()) ++perColumn[p.x];
      auto [it, fresh] = drawn.try_emplace(p.x, p.y, p.y);
      it->second = {std::min(it->second.first, p.y), std::max(it->second.second, p.y)};
    }
    for (const auto& [column, count] : perColumn) EXPECT_LE(count, 4) << "column " << column;
    total += run.points.size();
  }
  EXPECT_EQ(drawn, extremes);
  EXPECT_LT(total, fixture.data.Count() / 4);
}

TEST(BuildSeriesPath, DenseDataKeepsAtMostFourPointsPerColumnWithTheColumnsExtremes) {
  {
    SCOPED_TRACE("one colour");
    ExpectFewPointsPerColumnAndTheColumnsExtremes(DenseFixture(20000, false));
  }
  {
    SCOPED_TRACE("red stretches");
    ExpectFewPointsPerColumnAndTheColumnsExtremes(DenseFixture(20000, true));
  }
}

TEST(BuildSeriesPath, DenseDataCoversTheSamePixelsInTheSameColoursAsEverySegment) {
  const DenseFixture fixture(20000, true);
  EXPECT_EQ(Rasterize(fixture.Build()), fixture.EverySegment());
}

TEST(BuildSeriesPath, SparseDataIsDrawnPointForPoint) {
  // Two points per column on average: at the limit, nothing is thinned.
  const DenseFixture fixture(2 * (kArea.right - kArea.left + 1), false);
  std::vector<TPoint> expected;
  for (std::size_t i = 0; i < fixture.data.Count(); ++i) {
    if (!fixture.Finite(i)) continue;
    const TPoint p = fixture.PixelOf(i);
    if (expected.empty() || expected.back() != p) expected.push_back(p);
  }
  std::vector<TPoint> drawn;
  for (const LineRun& run : fixture.Build()) {
    for (const TPoint& p : run.points) {
      if (drawn.empty() || drawn.back() != p) drawn.push_back(p);
    }
  }
  EXPECT_EQ(drawn, expected);
  EXPECT_EQ(Rasterize(fixture.Build()), fixture.EverySegment());
}

TEST(BuildSeriesPath, AColumnKeepsFirstLowestHighestAndLastPerColour) {
  const PlotArea oneColumn{10, 20, 10, 120};
  SeriesData data;
  const double ys[] = {50, 10, 90, 40, 60};
  for (int i = 0; i < 5; ++i) data.Add(0.1 * (i + 1), ys[i], "", kDefault);
  EXPECT_EQ(Draw(data, Range(0, 1), Range(0, 100), oneColumn),
            (std::vector<Drawn>{{{{10, 70}, {10, 110}, {10, 30}, {10, 60}}, kSeries}}));

  // A red point in between starts a group of its own.
  SeriesData coloured;
  for (int i = 0; i < 5; ++i) coloured.Add(0.1 * (i + 1), ys[i], "", i == 3 ? kRed : kDefault);
  EXPECT_EQ(Draw(coloured, Range(0, 1), Range(0, 100), oneColumn),
            (std::vector<Drawn>{{{{10, 70}, {10, 110}, {10, 30}}, kSeries},
                              {{{10, 30}, {10, 80}}, kRed},
                              {{{10, 80}, {10, 60}}, kSeries}}));

  // A column too tall to look at point by point: the highest comes first.
  SeriesData tall;
  for (int i = 0; i < 300; ++i) tall.Add(0.5, i == 40 ? 90 : i == 250 ? 10 : 50, "", kDefault);
  EXPECT_EQ(Draw(tall, Range(0, 1), Range(0, 100), oneColumn),
            (std::vector<Drawn>{{{{10, 70}, {10, 30}, {10, 110}, {10, 70}}, kSeries}}));
}

// Columns of many points with one X each, as the program's series holds
// them after many wraps: groups far longer than a stretch, crossing block
// edges, now and then split by a colour or a Y that is not a number.
TEST(BuildSeriesPath, TallColumnsOfOneXCoverTheSamePixelsAsEverySegment) {
  struct Case {
    const char* name;
    int passes;
    double redEvery;  // a red point every so many, 0 for none
    int nanEvery;     // a Y that is not a number every so many points, 0 for none
    bool flat;        // Y 50 but for a few spikes
  };
  const Case cases[] = {
      {"random levels", 150, 0, 0, false},
      {"a flat level with spikes", 150, 0, 0, true},
      {"red stretches and gaps", 150, 3000, 331, false},
      {"a column per pixel or two, few points each", 3, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 random(31);
    std::uniform_real_distribution<double> level(5, 95);
    SeriesData data;
    int n = 0;
    Color color = kDefault;
    // Pass by pass, one point at each of 60 X, as a run over a wrapped axis.
    for (int pass = 0; pass < c.passes; ++pass) {
      for (int k = 0; k < 60; ++k, ++n) {
        if (c.redEvery > 0 && random() % static_cast<unsigned>(c.redEvery) == 0)
          color = color == kDefault ? kRed : kDefault;
        double y = c.flat ? (random() % 997 == 0 ? level(random) : 50.0) : level(random);
        if (c.nanEvery > 0 && n % c.nanEvery == 0) y = kNaN;
        data.Add(0.0105 + k * 0.0163, y, "", color);
      }
    }
    const DenseFixture fixture(std::move(data));
    EXPECT_EQ(Rasterize(fixture.Build()), fixture.EverySegment());
    if (c.passes > 10) ExpectFewPointsPerColumnAndTheColumnsExtremes(fixture);
  }
}

}  // namespace
}  // namespace chart
