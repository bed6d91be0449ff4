// The chart for people who do not use the mouse or do not see the screen,
// and on dense screens: it stops Tab and shows its focus, tells a screen
// reader its title, ranges and latest sample, and its fonts follow the
// screen's density. On the headless window system.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "chart/Chart.h"
#include "chart/LineSeries.h"
#include "tests/support/HeadlessApplication.h"
#include "ui/Unit1.h"

using forms::backend::headless::RecordingCanvas;
using testing_support::HeadlessApplication;
using testing_support::NativeOf;

namespace {

class ChartAccessTest : public ::testing::Test {
 protected:
  void Create(int pixelsPerInch = 96) {
    headless.backend().pixelsPerInch = pixelsPerInch;
    headless.app().CreateForm(Form1);
    headless.backend().windows.front()->Show();
  }
  void TearDown() override { Form1 = nullptr; }

  // The dotted rectangle one pixel inside the chart's edge, as four lines.
  static long FocusLines(const RecordingCanvas& canvas, const forms::TControl& chart) {
    const int right = chart.Width() - 2;
    const int bottom = chart.Height() - 2;
    const forms::TPoint corners[] = {{1, 1}, {right, 1}, {right, bottom}, {1, bottom}};
    long found = 0;
    for (int i = 0; i < 4; ++i)
      found += std::count_if(canvas.lines.begin(), canvas.lines.end(), [&](const auto& line) {
        return line.from == corners[i] && line.to == corners[(i + 1) % 4];
      });
    return found;
  }
  RecordingCanvas Paint() {
    RecordingCanvas canvas;
    NativeOf(*Form1->Chart1).Paint(canvas);
    return canvas;
  }

  HeadlessApplication headless;
};

TEST_F(ChartAccessTest, TabStopsAtTheButtonsAndTheChartButNotTheLabel) {
  Create();
  struct Case {
    forms::TControl* control;
    bool tabStop;
  };
  for (const Case& c : {Case{Form1->Button1, true}, Case{Form1->Chart1, true}, Case{Form1->Button2, true},
                        Case{Form1->Button3, true}, Case{Form1->Label1, false}}) {
    SCOPED_TRACE(c.control->Name());
    EXPECT_EQ(c.control->TabStop(), c.tabStop);
    EXPECT_EQ(NativeOf(*c.control).tabStop, c.tabStop) << "the window system is told";
  }
}

TEST_F(ChartAccessTest, TheFocusedChartRepaintsWithItsDottedRectangleAndLosesItWithTheFocus) {
  Create();
  auto& native = NativeOf(*Form1->Chart1);
  EXPECT_EQ(FocusLines(Paint(), *Form1->Chart1), 0);

  native.SetFocus(true);
  EXPECT_TRUE(Form1->Chart1->Focused());
  EXPECT_TRUE(native.invalid) << "a focus change asks for a paint";
  EXPECT_EQ(FocusLines(Paint(), *Form1->Chart1), 4);

  native.SetFocus(false);
  EXPECT_FALSE(Form1->Chart1->Focused());
  EXPECT_TRUE(native.invalid);
  EXPECT_EQ(FocusLines(Paint(), *Form1->Chart1), 0);
}

TEST_F(ChartAccessTest, AScreenReaderHearsTheTitleTheRangesAndTheLatestSampleAsTheyAreWhenAsked) {
  Create();
  auto& native = NativeOf(*Form1->Chart1);
  EXPECT_EQ(native.AccessibleName(), "電壓顯示");
  struct Step {
    const char* what;
    void (*act)(HeadlessApplication&);
    const char* description;
  };
  const Step steps[] = {
      {"start-up", [](HeadlessApplication&) {},
       "Bottom axis 0 to 1,000; left axis 0 to 100; latest sample 50 at 0"},
      {"a start and a tick", [](HeadlessApplication& h) {
         NativeOf(*Form1->Button1).Click();
         h.backend().TickTimers();
       },
       "Bottom axis 1 to 1,001; left axis 0 to 100; latest sample 50 at 1,005"},
      {"-- and 20 ticks", [](HeadlessApplication& h) {
         NativeOf(*Form1->Button3).Click();
         for (int i = 0; i < 20; ++i) h.backend().TickTimers();
       },
       "Bottom axis 21 to 1,021; left axis 0 to 100; latest sample 45 at 1,105"},
      // The latest sample is the one added last, not the one furthest right.
      {"a tick past the wrap", [](HeadlessApplication& h) {
         CurrentX = 65535;
         h.backend().TickTimers();
       },
       "Bottom axis 22 to 1,022; left axis 0 to 100; latest sample 45 at 0"},
      {"a zoom by the mouse", [](HeadlessApplication&) {
         Form1->Chart1->BottomAxis->SetMinMax(100.5, 250.25);
         Form1->Chart1->LeftAxis->SetMinMax(-12345.5, 0.125);
       },
       "Bottom axis 100.5 to 250.25; left axis -12,345.5 to 0.125; latest sample 45 at 0"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act(headless);
    EXPECT_EQ(native.AccessibleDescription(), step.description);
  }
}

TEST_F(ChartAccessTest, AChartWithoutSamplesSaysSoAndSeveralSeriesAreToldApartByName) {
  Create();
  auto* chart = new chart::TChart(Form1);
  chart->SetParent(Form1);
  chart->BottomAxis->SetMinMax(0, 10);
  chart->LeftAxis->SetMinMax(0, 1);
  auto& native = NativeOf(*chart);
  EXPECT_EQ(native.AccessibleName(), "") << "no title, no name";
  EXPECT_EQ(native.AccessibleDescription(), "Bottom axis 0 to 10; left axis 0 to 1; no samples");

  auto* a = new chart::TLineSeries(Form1);
  a->SetName("Volts");
  a->SetParentChart(chart);
  auto* b = new chart::TLineSeries(Form1);
  b->SetName("Amps");
  b->SetParentChart(chart);
  a->AddXY(3, 0.5, "", forms::clRed);
  EXPECT_EQ(native.AccessibleDescription(), "Bottom axis 0 to 10; left axis 0 to 1; Volts latest sample 0.5 at 3");
  b->AddXY(1, 0.25, "", forms::clBlue);
  EXPECT_EQ(native.AccessibleDescription(),
            "Bottom axis 0 to 10; left axis 0 to 1; Volts latest sample 0.5 at 3; Amps latest sample 0.25 at 1");
}

// 8 points are 11 pixels at 96 pixels per inch: the chart's title and axis
// labels follow the screen as the form's font does.
TEST_F(ChartAccessTest, TheChartsFontsFollowTheScreensDensity) {
  struct Case {
    int pixelsPerInch;
    int height;
  };
  for (const Case& c : {Case{96, -11}, Case{120, -14}, Case{144, -17}, Case{192, -22}}) {
    SCOPED_TRACE(c.pixelsPerInch);
    HeadlessApplication fresh;
    fresh.backend().pixelsPerInch = c.pixelsPerInch;
    fresh.app().CreateForm(Form1);
    EXPECT_EQ(Form1->Font().Height, c.height);
    EXPECT_EQ(Form1->Chart1->Title->Font.Height, c.height);
    EXPECT_EQ(Form1->Chart1->LabelsFont().Height, c.height);
    Form1 = nullptr;
  }
}

}  // namespace
