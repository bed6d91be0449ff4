// What the chart paints in the program's window: the title centred, the
// back wall's frame round the plot, the axis labels, and the series as one
// blue line cut at the plot's edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tests/support/HeadlessApplication.h"
#include "ui/Unit1.h"

using forms::backend::headless::RecordingCanvas;
using testing_support::HeadlessApplication;
using testing_support::NativeOf;

namespace {

class ChartPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless.app().CreateForm(Form1);
    headless.backend().windows.front()->Show();  // lays the chart out at 505 x 407
  }
  void TearDown() override { Form1 = nullptr; }

  RecordingCanvas Paint() {
    RecordingCanvas canvas;
    NativeOf(*Form1->Chart1).Paint(canvas);
    return canvas;
  }
  static std::vector<std::string> Texts(const RecordingCanvas& canvas) {
    std::vector<std::string> texts;
    for (const auto& t : canvas.texts) texts.push_back(t.utf8);
    return texts;
  }
  static bool Has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  HeadlessApplication headless;
};

TEST_F(ChartPaintTest, TitleCentredFrameAndLabelsInTheAxisFormat) {
  RecordingCanvas canvas = Paint();
  ASSERT_FALSE(canvas.texts.empty());
  const auto& title = canvas.texts.front();
  EXPECT_EQ(title.utf8, "電壓顯示");
  int titleWidth = canvas.TextWidth(title.utf8, Form1->Chart1->Title->Font);
  EXPECT_NEAR(title.at.x + titleWidth / 2.0, 505 / 2.0, 1.0);

  ASSERT_EQ(canvas.frames.size(), 1u) << "only the back wall's frame, unfilled";
  EXPECT_EQ(canvas.fills.size(), 1u) << "the chart's background, nothing inside the frame";

  std::vector<std::string> texts = Texts(canvas);
  for (const char* label : {"0", "50", "100", "400", "1,000"}) EXPECT_TRUE(Has(texts, label)) << label;
  EXPECT_FALSE(Has(texts, "Series1")) << "no legend";
}

TEST_F(ChartPaintTest, ARunDrawsOneBlueLineAcrossTheMiddleCutAtTheEdges) {
  NativeOf(*Form1->Button1).Click();
  headless.backend().TickTimers();
  RecordingCanvas canvas = Paint();
  const forms::TRect& frame = canvas.frames.front();
  ASSERT_EQ(canvas.polylines.size(), 1u);
  const auto& line = canvas.polylines.front();
  EXPECT_EQ(line.color, 0xFF0000u);
  int middle = frame.Bottom() - 1 - static_cast<int>(std::lround((frame.height - 1) / 2.0));
  EXPECT_EQ(line.points.front(), (forms::TPoint{frame.left, middle}))
      << "the segment from (0, 50) is cut at the left edge";
  EXPECT_EQ(line.points.back(), (forms::TPoint{frame.Right() - 1, middle}))
      << "the segment towards (1005, 50) is cut at the right edge";
  for (const auto& p : line.points) EXPECT_EQ(p.y, middle);
}

TEST_F(ChartPaintTest, LevelsAtTheBoundsRunAlongTheFrame) {
  NativeOf(*Form1->Button1).Click();
  for (int i = 0; i < 10; ++i) NativeOf(*Form1->Button2).Click();
  Form1->Series1->AddXY(500, 100, "", 0xFF0000);
  Form1->Series1->AddXY(600, 100, "", 0xFF0000);
  RecordingCanvas canvas = Paint();
  const forms::TRect& frame = canvas.frames.front();
  bool alongTop = false;
  for (const auto& run : canvas.polylines)
    for (std::size_t i = 1; i < run.points.size(); ++i)
      alongTop |= run.points[i - 1].y == frame.top && run.points[i].y == frame.top;
  EXPECT_TRUE(alongTop) << "level 100 lies on the top border";
}

TEST_F(ChartPaintTest, AChartWithNoRoomPaintsWithoutFailing) {
  headless.backend().windows.front()->UserResize(100, 10);
  EXPECT_EQ(Form1->Chart1->Width(), 0);
  RecordingCanvas canvas = Paint();
  EXPECT_TRUE(canvas.polylines.empty());
  EXPECT_TRUE(headless.backend().errorBoxes.empty());
}

}  // namespace
