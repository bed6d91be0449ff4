// The program's window on the real Qt backend (offscreen): the 100 ms timer
// really ticks, the form's font needs no scaling, and the chart's picture
// shows the level-50 line where the ranges put it.
#include <gtest/gtest.h>

#include <QEvent>
#include <QEventLoop>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "forms/Application.h"
#include "ui/Unit1.h"

namespace {

class QtWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { forms::Application->CreateForm(Form1); }
  static void RunLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
  }
  static QImage ChartPicture() {
    auto* widget = dynamic_cast<QWidget*>(Form1->Chart1->Native());
    return widget ? widget->grab().toImage().convertToFormat(QImage::Format_RGB32) : QImage();
  }
};

TEST_F(QtWindowTest, TheFormFontMeasuresThirteenPixelsSoNothingIsScaled) {
  EXPECT_EQ(forms::Application->Backend().TextHeight(Form1->Font()), 13);
  EXPECT_EQ(Form1->Button1->BoundsRect(), (forms::TRect{528, 40, 75, 25}));
  EXPECT_EQ(Form1->Chart1->BoundsRect(), (forms::TRect{8, 8, 515, 401}));
}

TEST_F(QtWindowTest, TheRealTimerDeliversTicksOnceStarted) {
  std::size_t before = Form1->Series1->Count();
  Form1->Button1->Click();
  RunLoopFor(1500);
  // About 15 ticks are due; a loaded machine may deliver fewer, but some.
  EXPECT_GE(Form1->Series1->Count(), before + 1 + 5);
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(QtWindowTest, SeveralAdditionsBeforeAPaintGiveOneRepaint) {
  auto* window = dynamic_cast<QWidget*>(&Form1->Native());
  auto* chart = dynamic_cast<QWidget*>(Form1->Chart1->Native());
  ASSERT_TRUE(window && chart);
  window->show();
  RunLoopFor(200);
  PaintCounter counter;
  chart->installEventFilter(&counter);
  for (int i = 0; i < 5; ++i) Form1->Series1->AddXY(2000 + i, 50, "", 0xFF0000);
  RunLoopFor(200);
  EXPECT_EQ(counter.paints, 1);
  RunLoopFor(200);
  EXPECT_EQ(counter.paints, 1) << "an idle chart does not repaint";
  chart->removeEventFilter(&counter);
}

// A control whose paint fails while told to.
class FailingControl : public forms::TControl {
 public:
  explicit FailingControl(forms::TComponent* owner)
      : forms::TControl(owner, forms::backend::ControlKind::Custom) {}
  bool fail = true;
  int paints = 0;

 protected:
  void Paint(forms::TCanvas&) override {
    ++paints;
    if (fail) throw forms::Exception("paint failed");
  }
};

TEST_F(QtWindowTest, AFailedPaintIsReportedAfterItAndTheNextPaintHappens) {
  std::vector<std::string> caught;
  forms::Application->OnException = [&](forms::TObject*, const forms::Exception& e) {
    caught.push_back(e.Message());
  };
  auto* control = new FailingControl(Form1);
  control->SetParent(Form1);
  control->SetBounds(520, 300, 40, 40);
  dynamic_cast<QWidget*>(&Form1->Native())->show();
  RunLoopFor(200);
  EXPECT_EQ(caught, std::vector<std::string>{"paint failed"});
  EXPECT_GE(control->paints, 1);

  control->fail = false;
  int before = control->paints;
  control->Invalidate();
  RunLoopFor(200);
  EXPECT_EQ(control->paints, before + 1);
  EXPECT_EQ(caught.size(), 1u);
  delete control;
  forms::Application->OnException = nullptr;
}

// Rows where a dark line runs across most of the picture: the plot frame.
std::vector<int> FrameRows(const QImage& image) {
  std::vector<int> rows;
  for (int y = 0; y < image.height(); ++y) {
    int dark = 0;
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 60;
    if (dark > image.width() / 2) rows.push_back(y);
  }
  return rows;
}

std::optional<int> LongestBlueRow(const QImage& image, int* length) {
  std::optional<int> best;
  *length = 0;
  for (int y = 0; y < image.height(); ++y) {
    int run = 0;
    for (int x = 0; x < image.width(); ++x) run += image.pixel(x, y) == qRgb(0, 0, 255);
    if (run > *length) {
      *length = run;
      best = y;
    }
  }
  return best;
}

TEST_F(QtWindowTest, TheLevelFiftyLineRunsAcrossTheMiddleOfThePlot) {
  Form1->Button1->Click();
  Form1->Chart1->SetBounds(8, 8, 505, 407);
  QImage picture = ChartPicture();
  ASSERT_FALSE(picture.isNull());
  std::vector<int> frame = FrameRows(picture);
  ASSERT_GE(frame.size(), 2u);
  int top = frame.front(), bottom = frame.back();
  int blueLength = 0;
  std::optional<int> blueRow = LongestBlueRow(picture, &blueLength);
  ASSERT_TRUE(blueRow.has_value());
  EXPECT_EQ(*blueRow, top + (bottom - top + 1) / 2) << "frame rows " << top << ".." << bottom;
  EXPECT_GT(blueLength, picture.width() * 3 / 4);
}

}  // namespace
