// The program's window as a person meets it: the start-up state, a run,
// the level buttons and the layout, driven through the real handlers on a
// headless window system.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "forms/AnsiText.h"
#include "tests/support/HeadlessApplication.h"
#include "ui/Unit1.h"

using testing_support::HeadlessApplication;
using testing_support::NativeOf;

namespace {

constexpr forms::TColor kBlue = 0xFF0000;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless.app().CreateForm(Form1);
    ASSERT_NE(Form1, nullptr);
  }
  void TearDown() override { Form1 = nullptr; }

  void Click(forms::TButton* button) { NativeOf(*button).Click(); }
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) headless.backend().TickTimers();
  }
  std::pair<double, double> Bottom() const {
    return {Form1->Chart1->BottomAxis->Minimum(), Form1->Chart1->BottomAxis->Maximum()};
  }
  std::pair<double, double> Left() const {
    return {Form1->Chart1->LeftAxis->Minimum(), Form1->Chart1->LeftAxis->Maximum()};
  }
  const chart::SeriesData& Points() const { return Form1->Series1->Data(); }

  HeadlessApplication headless;
};

TEST_F(MainWindowTest, TheDescriptionBuildsTheSevenComponentsWithTheirSettings) {
  EXPECT_EQ(Form1->Caption(), "Qel Tchart");
  EXPECT_EQ(Form1->Left(), 56);
  EXPECT_EQ(Form1->Top(), 134);
  EXPECT_EQ(Form1->ClientWidth(), 610);
  EXPECT_EQ(Form1->ClientHeight(), 422);
  EXPECT_EQ(Form1->Color(), forms::clBtnFace);
  EXPECT_EQ(Form1->Font().Height, -11);
  EXPECT_EQ(Form1->Font().Name, "MS Sans Serif");

  struct Expected {
    forms::TControl* control;
    forms::TRect bounds;
    int tabOrder;
  };
  for (const Expected& e : {Expected{Form1->Button1, {528, 40, 75, 25}, 0},
                            Expected{Form1->Chart1, {8, 8, 515, 401}, 1},
                            Expected{Form1->Button2, {528, 128, 75, 25}, 2},
                            Expected{Form1->Button3, {528, 184, 75, 25}, 3},
                            Expected{Form1->Label1, {528, 160, 24, 13}, -1}}) {
    EXPECT_EQ(e.control->BoundsRect(), e.bounds) << e.control->Name();
    EXPECT_EQ(e.control->TabOrder(), e.tabOrder) << e.control->Name();
  }
  EXPECT_EQ(forms::AnsiToUtf8(Form1->Button1->Caption()), "測試鍵");
  EXPECT_EQ(NativeOf(*Form1->Button1).text, "測試鍵");
  EXPECT_EQ(Form1->Button2->Caption(), "++");
  EXPECT_EQ(Form1->Button3->Caption(), "--");

  EXPECT_EQ(Form1->Chart1->BackWall->BrushStyle, chart::TBrushStyle::bsClear);
  EXPECT_EQ(Form1->Chart1->BackWall->BrushColor, forms::clWhite);
  EXPECT_EQ(Form1->Chart1->LeftWall->Color, forms::clFuchsia);
  EXPECT_TRUE(Form1->Chart1->AllowZoom());
  EXPECT_TRUE(Form1->Chart1->AllowPanning());
  EXPECT_EQ(Form1->Series1->ParentChart(), Form1->Chart1);
  EXPECT_EQ(Form1->Series1->SeriesColor(), forms::clRed);
  EXPECT_FALSE(Form1->Series1->PointerVisible());
  EXPECT_FALSE(Form1->Series1->MarksVisible());
  EXPECT_EQ(Form1->Timer1->Interval(), 100u);
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_FALSE(headless.backend().windows.front()->icon.empty()) << "the program icon is the window's";
}

TEST_F(MainWindowTest, AfterStartUpOnePointFixedAxesAndTheNewTitle) {
  EXPECT_EQ(CurrentX, 0u);
  EXPECT_EQ(CurrentY, 50u);
  ASSERT_EQ(Points().Count(), 1u);
  EXPECT_EQ(Points().X(0), 0.0);
  EXPECT_EQ(Points().Y(0), 50.0);
  EXPECT_EQ(Points().ColorAt(0), kBlue);
  EXPECT_EQ(Points().Label(0), "");
  EXPECT_EQ(Bottom(), std::make_pair(0.0, 1000.0));
  EXPECT_EQ(Left(), std::make_pair(0.0, 100.0));
  EXPECT_FALSE(Form1->Chart1->BottomAxis->Automatic());
  EXPECT_FALSE(Form1->Chart1->LeftAxis->AutomaticMaximum());
  EXPECT_FALSE(Form1->Chart1->View3D());
  EXPECT_FALSE(Form1->Chart1->Legend->Visible());
  ASSERT_EQ(Form1->Chart1->Title->Text->Count(), 1);
  EXPECT_EQ((*Form1->Chart1->Title->Text)[0], "\xB9\x71\xC0\xA3\xC5\xE3\xA5\xDC");
  EXPECT_EQ(Form1->Chart1->Title->DisplayLines(), std::vector<std::string>{"電壓顯示"});
  EXPECT_EQ(Form1->Label1->Caption(), "0000") << "the label keeps its designed text";
  EXPECT_FALSE(Form1->Timer1->Enabled());

  Tick(3);
  EXPECT_EQ(Points().Count(), 1u) << "no tick before the first start";
}

TEST_F(MainWindowTest, ARunAddsASampleEachTickAndCreepsTheWindow) {
  Click(Form1->Button1);
  EXPECT_TRUE(Form1->Timer1->Running());
  EXPECT_EQ(CurrentX, 1000u);
  ASSERT_EQ(Points().Count(), 2u);
  EXPECT_EQ(Points().X(1), 1000.0);

  Tick();
  EXPECT_EQ(CurrentX, 1005u);
  EXPECT_EQ(Points().X(2), 1005.0);
  EXPECT_EQ(Points().Y(2), 50.0);
  EXPECT_EQ(Bottom(), std::make_pair(1.0, 1001.0));

  Tick(9);
  EXPECT_EQ(CurrentX, 1050u);
  EXPECT_EQ(Bottom(), std::make_pair(10.0, 1010.0));
  EXPECT_EQ(Left(), std::make_pair(0.0, 100.0));
  EXPECT_EQ(Points().Count(), 12u);
}

TEST_F(MainWindowTest, XWrapsFrom65535ToZeroAndLandsAmongTheOldPoints) {
  Click(Form1->Button1);
  CurrentX = 65530;
  Tick();
  EXPECT_EQ(CurrentX, 65535u);
  Tick();
  EXPECT_EQ(CurrentX, 0u);
  Tick();
  EXPECT_EQ(CurrentX, 5u);
  // (0, 50) from start-up, then the wrapped 0 after it, then 5; (1000, 50) follows.
  ASSERT_EQ(Points().Count(), 5u);
  EXPECT_EQ(Points().X(0), 0.0);
  EXPECT_EQ(Points().X(1), 0.0);
  EXPECT_EQ(Points().X(2), 5.0);
  EXPECT_EQ(Points().X(3), 1000.0);
  EXPECT_EQ(Points().X(4), 65535.0);
  EXPECT_EQ(Bottom(), std::make_pair(3.0, 1003.0)) << "the window keeps moving right";
}

TEST_F(MainWindowTest, ASecondStartMidRunResetsTheAxesAndTheLevel) {
  Click(Form1->Button1);
  Tick(20);
  Click(Form1->Button2);
  Form1->Chart1->LeftAxis->SetMinMax(40, 60);
  Click(Form1->Button1);
  EXPECT_EQ(CurrentY, 50u);
  EXPECT_EQ(Form1->Label1->Caption(), "55") << "the label is not updated by a start";
  EXPECT_EQ(Bottom(), std::make_pair(0.0, 1000.0));
  EXPECT_EQ(Left(), std::make_pair(0.0, 100.0));
  // The second (1000, 50) goes right after the first.
  EXPECT_EQ(Points().X(1), 1000.0);
  EXPECT_EQ(Points().X(2), 1000.0);
  EXPECT_EQ(Points().X(3), 1005.0);

  Tick();
  EXPECT_EQ(CurrentX, 1005u);
  EXPECT_EQ(Bottom(), std::make_pair(1.0, 1001.0));
  EXPECT_EQ(Points().Count(), 24u);
}

TEST_F(MainWindowTest, TicksContinueFromARangeTheUserLeft) {
  Click(Form1->Button1);
  Tick(5);
  Form1->Chart1->BottomAxis->SetMinMax(200, 300);  // as a zoom leaves it
  Form1->Chart1->LeftAxis->SetMinMax(45, 55);
  Tick();
  EXPECT_EQ(Bottom(), std::make_pair(-699.0, 301.0));
  Tick();
  EXPECT_EQ(Bottom(), std::make_pair(-698.0, 302.0));
  EXPECT_EQ(Left(), std::make_pair(45.0, 55.0)) << "the left axis keeps its range until the next start";
}

struct LevelCase {
  const char* name;
  int ups;
  int downs;
  std::uint32_t level;
  const char* label;
};

class LevelTest : public MainWindowTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(LevelTest, MovesInStepsOfFiveWithinZeroAndHundred) {
  for (int i = 0; i < GetParam().ups; ++i) Click(Form1->Button2);
  for (int i = 0; i < GetParam().downs; ++i) Click(Form1->Button3);
  EXPECT_EQ(CurrentY, GetParam().level);
  EXPECT_EQ(Form1->Label1->Caption(), GetParam().label);
  EXPECT_EQ(NativeOf(*Form1->Label1).text, GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Clicks, LevelTest,
                         ::testing::Values(LevelCase{"OneUp", 1, 0, 55, "55"},
                                           LevelCase{"OneDown", 0, 1, 45, "45"},
                                           LevelCase{"TenUp", 10, 0, 100, "100"},
                                           LevelCase{"PastTheTop", 14, 0, 100, "100"},
                                           LevelCase{"TenDown", 0, 10, 0, "0"},
                                           LevelCase{"PastTheBottom", 0, 13, 0, "0"}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(MainWindowTest, SamplesFollowTheLevel) {
  Click(Form1->Button1);
  Tick();
  Click(Form1->Button2);
  Tick();
  EXPECT_EQ(Points().Y(Points().Count() - 1) - Points().Y(Points().Count() - 2), 5.0);
}

struct LayoutCase {
  const char* name;
  forms::TPoint window;  // inside the frame
  forms::TPoint client;  // less the scroll bars the controls bring
  forms::TRect chart;
  int controlsLeft;
};

class LayoutTest : public MainWindowTest, public ::testing::WithParamInterface<LayoutCase> {
 protected:
  void ExpectLayout(const LayoutCase& c) {
    EXPECT_EQ(Form1->ClientWidth(), c.client.x) << c.name;
    EXPECT_EQ(Form1->ClientHeight(), c.client.y) << c.name;
    EXPECT_EQ(Form1->Chart1->BoundsRect(), c.chart) << c.name;
    EXPECT_EQ(NativeOf(*Form1->Chart1).bounds, c.chart) << c.name;
    for (forms::TControl* control : {static_cast<forms::TControl*>(Form1->Button1),
                                     static_cast<forms::TControl*>(Form1->Button2),
                                     static_cast<forms::TControl*>(Form1->Button3),
                                     static_cast<forms::TControl*>(Form1->Label1)})
      EXPECT_EQ(control->Left(), c.controlsLeft) << c.name << " " << control->Name();
    EXPECT_EQ(Form1->Button1->Top(), 40) << "the buttons keep their designed tops";
    EXPECT_EQ(Form1->Button2->Top(), 128);
    EXPECT_EQ(Form1->Button3->Top(), 184);
    EXPECT_EQ(Form1->Label1->Top(), 160);
  }
};

const LayoutCase kDesigned{"designed", {610, 422}, {610, 422}, {8, 8, 505, 407}, 520};
const LayoutCase kLarge{"large", {1600, 1000}, {1600, 1000}, {8, 8, 1495, 985}, 1510};
// Lower than the bottom of "--" (184 + 25): a vertical scroll bar narrows the client area.
const LayoutCase kLow{"low", {300, 150}, {300 - 17, 150}, {8, 8, 178, 135}, 193};
// Too small for the chart: it is left at zero size, and the buttons need both bars.
const LayoutCase kTiny{"tiny", {100, 10}, {100 - 17, 0}, {8, 8, 0, 0}, 15};

TEST_P(LayoutTest, ChartFillsTheClientAreaAndTheControlsStandRightOfIt) {
  auto& window = *headless.backend().windows.front();
  window.Show();
  window.UserResize(GetParam().window.x, GetParam().window.y);
  ExpectLayout(GetParam());
  EXPECT_TRUE(headless.backend().errorBoxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, LayoutTest, ::testing::Values(kDesigned, kLarge, kLow, kTiny),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(LayoutTest, EverySizeInTurnAndBackGivesTheSameLayoutEachTime) {
  auto& window = *headless.backend().windows.front();
  window.Show();
  for (const LayoutCase& c : {kLow, kDesigned, kTiny, kLarge, kLow, kTiny, kDesigned}) {
    window.UserResize(c.window.x, c.window.y);
    ExpectLayout(c);
    EXPECT_EQ(window.VerticalScrollBar(), c.client.x < c.window.x) << c.name;
  }
}

TEST_F(MainWindowTest, ShowingTheWindowLaysItOut) {
  headless.backend().windows.front()->Show();
  EXPECT_EQ(Form1->Chart1->BoundsRect(), (forms::TRect{8, 8, 505, 407}));
  EXPECT_EQ(Form1->Button1->Left(), 520);
}

}  // namespace
