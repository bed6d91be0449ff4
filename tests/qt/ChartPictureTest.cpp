// The chart's picture on the real Qt backend (offscreen) against the
// straightforward drawing: every segment between neighbouring points, none
// left out. Thinning a dense slice changes nothing visible, so the pixels
// must be the same.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "chart/LineSeries.h"
#include "chart/core/SeriesPath.h"
#include "forms/Application.h"
#include "forms/backend/qt/QtCanvas.h"
#include "ui/Unit1.h"

namespace {

constexpr forms::TColor kBlue = 0xFF0000;
constexpr forms::TColor kRed = 0x0000FF;
constexpr forms::TColor kDefault = chart::SeriesData::kDefaultColor;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Sample {
  double x;
  double y;
  forms::TColor color;
};

class ChartPictureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    forms::Application->CreateForm(Form1);
    // The program's window as it comes up: 610 x 422 inside, the chart
    // 505 x 407.
    Form1->Native().Show();
    QCoreApplication::processEvents();
    Form1->SetClientSize(610, 422);
    QCoreApplication::processEvents();
    // The program's own series would be drawn too; each case brings its own.
    Form1->Series1->SetParentChart(nullptr);
  }

  static QImage Render() {
    auto* widget = dynamic_cast<QWidget*>(Form1->Chart1->Native());
    QImage image(Form1->Chart1->Width(), Form1->Chart1->Height(), QImage::Format_RGB32);
    widget->render(&image);
    return image;
  }

  // The chart drawn without a series, then the straightforward line over
  // it: every segment between neighbouring points cut at the plot's edges
  // on its own, joined into one polyline while the colour stays and each
  // starts where the last ended, as the chart joins what it draws.
  static QImage EverySegment(const std::vector<Sample>& sorted, forms::TColor seriesColor) {
    QImage image = Render();
    const chart::PlotArea area = Form1->Chart1->LastPlotArea();
    std::vector<chart::LineRun> line;  // the polylines of the whole series
    bool joining = false;
    std::vector<chart::LineRun> cut;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
      chart::SeriesData segment;
      segment.Add(sorted[i - 1].x, sorted[i - 1].y, "", sorted[i - 1].color);
      segment.Add(sorted[i].x, sorted[i].y, "", sorted[i].color);
      chart::BuildSeriesPath(segment, Form1->Chart1->BottomAxis->Range(),
                             Form1->Chart1->LeftAxis->Range(), area, seriesColor, cut);
      if (cut.empty()) {  // off the plot, or a gap
        joining = false;
        continue;
      }
      const forms::TPoint from = cut.front().points.front(), to = cut.front().points.back();
      if (joining && line.back().color == cut.front().color && line.back().points.back() == from) {
        if (to != from) line.back().points.push_back(to);
      } else {
        line.push_back({{from, to}, cut.front().color});
        joining = true;
      }
    }
    QPainter painter(&image);
    for (const chart::LineRun& run : line) {
      QPen pen(forms::backend::qt::ToQColor(run.color));
      pen.setWidth(0);
      painter.setPen(pen);
      painter.drawPolyline(reinterpret_cast<const QPoint*>(run.points.data()),
                           static_cast<int>(run.points.size()));
    }
    return image;
  }

  static int DifferentPixels(const QImage& a, const QImage& b, const QRect& where) {
    int different = 0;
    for (int y = where.top(); y <= where.bottom(); ++y)
      for (int x = where.left(); x <= where.right(); ++x) different += a.pixel(x, y) != b.pixel(x, y);
    return different;
  }
  static int DifferentPixels(const QImage& a, const QImage& b) {
    return DifferentPixels(a, b, a.rect());
  }
};

struct Case {
  const char* name;
  double hmin, hmax, vmin, vmax;
  std::function<std::vector<Sample>()> samples;
  // Where a polyline ends at an edge of the plot, Qt's end pixel lies one
  // beyond it; thinning ends some polylines elsewhere, so for a line cut at
  // the edges only the plot itself, frame included, is the same.
  bool cutAtTheEdges = false;
};

std::vector<Sample> Random(int count, double xFrom, double xTo, double yFrom, double yTo,
                           int redEvery = 0, int gapEvery = 0) {
  std::mt19937 random(static_cast<unsigned>(count));
  std::uniform_real_distribution<double> x(xFrom, xTo), y(yFrom, yTo);
  std::vector<Sample> samples;
  forms::TColor color = kDefault;
  for (int i = 0; i < count; ++i) {
    if (redEvery > 0 && random() % static_cast<unsigned>(redEvery) == 0)
      color = color == kDefault ? kRed : kDefault;
    samples.push_back({x(random), gapEvery > 0 && i % gapEvery == 0 ? kNaN : y(random), color});
  }
  return samples;
}

// The program's ticks over a few passes of X, at levels moved now and then.
std::vector<Sample> Ticks(int count) {
  std::mt19937 random(3);
  std::vector<Sample> samples;
  std::uint32_t x = 1000;
  double level = 50;
  for (int i = 0; i < count; ++i) {
    x = x >= 65535 ? 0 : x + 5;
    if (random() % 40 == 0) level = std::clamp(level + (random() % 2 ? 5.0 : -5.0), 0.0, 100.0);
    samples.push_back({static_cast<double>(x), level, kBlue});
  }
  return samples;
}

TEST_F(ChartPictureTest, ThePictureIsThatOfEverySegment) {
  ASSERT_EQ(Form1->Chart1->BoundsRect(), (forms::TRect{8, 8, 505, 407}));
  const Case cases[] = {
      {"a few points, none thinned", 0, 1000, 0, 100, [] { return Random(60, 0, 1000, 5, 95); }},
      {"dense, thinned to a few points a column", 0, 1000, 0, 100,
       [] { return Random(20000, 0, 1000, 5, 95); }},
      {"dense with red stretches", 0, 1000, 0, 100, [] { return Random(20000, 0, 1000, 5, 95, 300); }},
      {"dense with gaps", 0, 1000, 0, 100, [] { return Random(20000, 0, 1000, 5, 95, 0, 97); }},
      {"dense, reaching beyond every edge", 100, 900, 20, 80,
       [] { return Random(20000, -500, 1500, -50, 150); }, true},
      {"the program's ticks over four passes, back at the start", 0, 1000, 0, 100,
       [] { return Ticks(4 * 13108); }},
      {"the same, a window the ticks have moved on", 2000, 3000, 0, 100, [] { return Ticks(4 * 13108); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Form1->Chart1->BottomAxis->SetMinMax(c.hmin, c.hmax);
    Form1->Chart1->LeftAxis->SetMinMax(c.vmin, c.vmax);
    const std::vector<Sample> samples = c.samples();

    auto series = std::make_unique<chart::TLineSeries>(nullptr);
    series->SetSeriesColor(forms::clRed);
    for (const Sample& s : samples) series->AddXY(s.x, s.y, "", s.color);
    std::vector<Sample> sorted;
    for (std::size_t i = 0; i < series->Count(); ++i)
      sorted.push_back({series->Data().X(i), series->Data().Y(i), series->Data().ColorAt(i)});

    const QImage expected = EverySegment(sorted, series->SeriesColor());
    series->SetParentChart(Form1->Chart1);
    const QImage drawn = Render();
    series.reset();

    ASSERT_EQ(drawn.size(), expected.size());
    const chart::PlotArea area = Form1->Chart1->LastPlotArea();
    const QRect plot(QPoint(area.left, area.top), QPoint(area.right, area.bottom));
    EXPECT_EQ(DifferentPixels(drawn, expected, c.cutAtTheEdges ? plot : drawn.rect()), 0);
  }
}

// Painting keeps what it measured and laid out; a paint after many must
// still look like the first.
TEST_F(ChartPictureTest, APaintFromWhatWasKeptLooksLikeTheFirst) {
  Form1->Chart1->BottomAxis->SetMinMax(0, 1000);
  Form1->Chart1->LeftAxis->SetMinMax(0, 100);
  const QImage first = Render();
  for (int i = 1; i <= 50; ++i) {
    Form1->Chart1->BottomAxis->SetMinMax(i, 1000 + i);  // as the ticks move it
    Render();
  }
  Form1->Chart1->BottomAxis->SetMinMax(0, 1000);
  EXPECT_EQ(DifferentPixels(Render(), first), 0);
}

}  // namespace
