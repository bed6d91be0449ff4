// The mouse on the program's chart: a zoom or a pan during a run, and the
// ticks that follow from the ranges it left.
#include <gtest/gtest.h>

#include "tests/support/HeadlessApplication.h"
#include "ui/Unit1.h"

using forms::TMouseButton;
using forms::backend::headless::RecordingCanvas;
using testing_support::HeadlessApplication;
using testing_support::NativeOf;

namespace {

class ChartMouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless.app().CreateForm(Form1);
    headless.backend().windows.front()->Show();
    Paint();
    area = Form1->Chart1->LastPlotArea();
    ASSERT_GT(area.right, area.left);
  }
  void TearDown() override { Form1 = nullptr; }

  RecordingCanvas Paint() {
    RecordingCanvas canvas;
    NativeOf(*Form1->Chart1).Paint(canvas);
    return canvas;
  }
  void Drag(TMouseButton button, int x0, int y0, int x1, int y1) {
    auto& chart = NativeOf(*Form1->Chart1);
    chart.MouseDown(button, x0, y0);
    chart.MouseMove(x1, y1);
    chart.MouseUp(button, x1, y1);
  }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) headless.backend().TickTimers();
  }
  std::pair<double, double> Bottom() const {
    return {Form1->Chart1->BottomAxis->Minimum(), Form1->Chart1->BottomAxis->Maximum()};
  }
  std::pair<double, double> Left() const {
    return {Form1->Chart1->LeftAxis->Minimum(), Form1->Chart1->LeftAxis->Maximum()};
  }
  int Width() const { return area.right - area.left; }
  int Height() const { return area.bottom - area.top; }

  HeadlessApplication headless;
  chart::PlotArea area;
};

TEST_F(ChartMouseTest, TicksAfterAZoomMoveOnFromTheMaximumItLeft) {
  NativeOf(*Form1->Button1).Click();
  Tick(3);
  Drag(TMouseButton::mbLeft, area.left + Width() / 4, area.top + Height() / 4,
       area.left + Width() / 2, area.top + Height() / 2);
  auto [zoomMin, zoomMax] = Bottom();
  auto zoomedLeft = Left();
  EXPECT_LT(zoomMax - zoomMin, 1000.0);
  EXPECT_GT(zoomedLeft.first, 0.0);

  Tick();
  EXPECT_EQ(Bottom(), std::make_pair(zoomMax - 999, zoomMax + 1)) << "the width is back to 1000";
  Tick();
  EXPECT_EQ(Bottom(), std::make_pair(zoomMax - 998, zoomMax + 2)) << "one unit a tick";
  EXPECT_EQ(Left(), zoomedLeft) << "the zoomed left axis keeps its range during the run";

  NativeOf(*Form1->Button1).Click();
  EXPECT_EQ(Left(), std::make_pair(0.0, 100.0)) << "until the next start";
}

TEST_F(ChartMouseTest, TicksAfterAPanMoveOnFromThePannedWindow) {
  NativeOf(*Form1->Button1).Click();
  Tick(10);  // [10, 1010]
  const int dx = 50;
  Drag(TMouseButton::mbRight, area.left + 100, area.top + 100, area.left + 100 + dx, area.top + 100);
  auto [panMin, panMax] = Bottom();
  EXPECT_NEAR(panMax - panMin, 1000.0, 1e-9);
  EXPECT_NEAR(panMin, 10.0 - dx * 1000.0 / Width(), 1e-9) << "the plot follows the pointer";
  Tick();
  EXPECT_EQ(Bottom(), std::make_pair(panMax - 999, panMax + 1));
}

TEST_F(ChartMouseTest, RestoreBringsBackTheRangesBeforeTheFirstZoom) {
  Drag(TMouseButton::mbLeft, area.left + 20, area.top + 20, area.left + 120, area.top + 120);
  Drag(TMouseButton::mbLeft, area.left + 20, area.top + 20, area.left + 120, area.top + 120);
  Drag(TMouseButton::mbLeft, area.left + 120, area.top + 120, area.left + 20, area.top + 20);
  EXPECT_EQ(Bottom(), std::make_pair(0.0, 1000.0));
  EXPECT_EQ(Left(), std::make_pair(0.0, 100.0));
}

TEST_F(ChartMouseTest, NoZoomWhenTheChartDoesNotAllowIt) {
  Form1->Chart1->SetAllowZoom(false);
  Drag(TMouseButton::mbLeft, area.left + 20, area.top + 20, area.left + 120, area.top + 120);
  EXPECT_EQ(Bottom(), std::make_pair(0.0, 1000.0));
  Form1->Chart1->SetAllowPanning(false);
  Drag(TMouseButton::mbRight, area.left + 20, area.top + 20, area.left + 120, area.top + 120);
  EXPECT_EQ(Bottom(), std::make_pair(0.0, 1000.0));
}

TEST_F(ChartMouseTest, TheRubberBandIsDrawnWhileDragging) {
  std::size_t linesAtRest = Paint().lines.size();
  auto& chart = NativeOf(*Form1->Chart1);
  chart.MouseDown(TMouseButton::mbLeft, area.left + 10, area.top + 10);
  chart.MouseMove(area.left + 22, area.top + 40);
  EXPECT_TRUE(chart.invalid) << "the chart asks to be repainted as the band moves";
  RecordingCanvas dragging = Paint();
  ASSERT_EQ(dragging.lines.size(), linesAtRest + 4);
  EXPECT_EQ(dragging.lines.back().to, (forms::TPoint{area.left + 10, area.top + 10}));
  chart.MouseUp(TMouseButton::mbLeft, area.left + 22, area.top + 40);  // too short to zoom
  EXPECT_EQ(Paint().lines.size(), linesAtRest);
}

}  // namespace
