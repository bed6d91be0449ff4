// Building a form from its description: what a broken description says,
// and the timer, label and resize rules the built components keep.
#include <gtest/gtest.h>

#include <limits>

#include "forms/Application.h"
#include "tests/forms/TestForm.h"
#include "tests/support/HeadlessApplication.h"

using forms::Exception;
using testing_support::HeadlessApplication;
using testing_support::NativeOf;

namespace {

TTestForm* TestForm1 = nullptr;

class FormTest : public ::testing::Test {
 protected:
  void TearDown() override {
    TTestForm::nextDescription.clear();
    TestForm1 = nullptr;
  }
  void Create() {
    headless.app().CreateForm(TestForm1);
    ASSERT_NE(TestForm1, nullptr);
  }
  HeadlessApplication headless;
};

struct BrokenCase {
  const char* description;
  const char* message;
};

class BrokenDescriptionTest : public FormTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenDescriptionTest, NamesTheCulpritAndItsLine) {
  TTestForm::nextDescription = GetParam().description;
  try {
    Create();
    FAIL() << "the description should be refused";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), GetParam().message);
  }
  EXPECT_EQ(TestForm1, nullptr);
}

constexpr const char* kComponents = R"(
  object Button1: TButton
  end
  object Label1: TLabel
  end
  object Timer1: TTimer
  end
end
)";

std::string WithForm(const std::string& formLines) {
  return "object Form1: TTestForm\n" + formLines + kComponents;
}

const std::string kUnknownClass = WithForm("  object Edit1: TEdit\n  end");
const std::string kUnknownProperty = WithForm("  Captoin = 'x'");
const std::string kBadValue = WithForm("  Width = 'wide'");
const std::string kBadColor = WithForm("  Color = clPlaid");
const std::string kUnknownHandler = WithForm("  OnCreate = FormCreat");
const std::string kWrongHandler = WithForm("  OnCreate = FormCanResize");
const std::string kUnrepresentable = WithForm("  Caption = #55357#56832");
const std::string kSecondButton = WithForm("  object Button1: TButton\n  end");
// Numbers no window system can show, which would overflow an edge or ask a
// paint for billions of pixels.
const std::string kHugeWidth = WithForm("  Width = 2147483647");
const std::string kHugeFont = WithForm("  Font.Height = -2147483648");
const std::string kFarButton = "object Form1: TTestForm\n  object Button1: TButton\n    Left = 40000\n  end\n  object Label1: TLabel\n  end\n  object Timer1: TTimer\n  end\nend\n";
const std::string kHugeInterval = "object Form1: TTestForm\n  object Button1: TButton\n  end\n  object Label1: TLabel\n  end\n  object Timer1: TTimer\n    Interval = 4294967296\n  end\nend\n";

INSTANTIATE_TEST_SUITE_P(
    Descriptions, BrokenDescriptionTest,
    ::testing::Values(
        BrokenCase{kUnknownClass.c_str(), "Test.form:2: unknown class 'TEdit' of 'Edit1'"},
        BrokenCase{kUnknownProperty.c_str(), "Test.form:2: unknown property 'Captoin' of TTestForm"},
        BrokenCase{kBadValue.c_str(), "Test.form:2: Form1.Width: expected an integer, found 'wide'"},
        BrokenCase{kBadColor.c_str(), "Test.form:2: Form1.Color: expected a colour, found 'clPlaid'"},
        BrokenCase{kUnknownHandler.c_str(), "Test.form:2: Form1.OnCreate: unknown handler 'FormCreat'"},
        BrokenCase{kWrongHandler.c_str(),
                   "Test.form:2: Form1.OnCreate: handler 'FormCanResize' takes other parameters"},
        BrokenCase{kUnrepresentable.c_str(),
                   "Test.form:2: Form1.Caption: character #55357 has no code in code page 950"},
        BrokenCase{kSecondButton.c_str(), "Test.form:4: a second component named 'Button1'"},
        BrokenCase{kHugeWidth.c_str(), "Test.form:2: Form1.Width: integer 2147483647 is out of range (-32768..32767)"},
        BrokenCase{kHugeFont.c_str(),
                   "Test.form:2: Form1.Font.Height: integer -2147483648 is out of range (-1000..1000)"},
        BrokenCase{kFarButton.c_str(), "Test.form:3: Button1.Left: integer 40000 is out of range (-32768..32767)"},
        BrokenCase{kHugeInterval.c_str(),
                   "Test.form:7: Timer1.Interval: integer 4294967296 is out of range (-2147483648..2147483647)"},
        BrokenCase{"object Form1: TOtherForm\nend\n",
                   "Test.form:1: the description is of class 'TOtherForm', expected 'TTestForm'"},
        BrokenCase{"object Form1: TTestForm\n  object Button1: TLabel\n  end\nend\n",
                   "Test.form:2: component 'Button1' must be of class TButton"},
        BrokenCase{"object Form1: TTestForm\n  object Button1: TButton\n  end\nend\n",
                   "Test.form:1: the description lacks Label1 (TLabel), Timer1 (TTimer)"},
        BrokenCase{"object Form1: TTestForm\n  object Button1: TButton\n    object Label1: TLabel\n"
                   "    end\n  end\nend\n",
                   "Test.form:3: 'Label1' (TLabel) cannot be placed in 'Button1'"},
        BrokenCase{"object Form1: TTestForm\n  Left = 1\n", "Test.form:2: missing 'end' for object 'Form1' (opened at line 1)"}));

TEST_F(FormTest, TheDescriptionSetsTheComponents) {
  Create();
  EXPECT_EQ(TestForm1->Caption(), "Test");
  EXPECT_EQ(TestForm1->ClientWidth(), 300 - 8) << "the designed outer size less the design's frame";
  EXPECT_EQ(TestForm1->ClientHeight(), 200 - 27);
  EXPECT_EQ(TestForm1->Button1->Caption(), "Go");
  EXPECT_EQ(NativeOf(*TestForm1->Button1).text, "Go");
  EXPECT_EQ(TestForm1->Button1->BoundsRect(), (forms::TRect{10, 10, 75, 25}));
  EXPECT_EQ(TestForm1->Timer1->Interval(), 100u);
  EXPECT_FALSE(TestForm1->Timer1->Running());
}

TEST_F(FormTest, ControlsFollowTheMeasuredTextHeight) {
  headless.backend().pixelsPerInch = 192;  // the font doubles to 22 px, its text to 26
  Create();
  EXPECT_EQ(TestForm1->Font().Height, -22);
  EXPECT_EQ(TestForm1->Button1->BoundsRect(), (forms::TRect{20, 20, 150, 50}));
  EXPECT_EQ(TestForm1->ClientWidth(), 292) << "the window's own size is not scaled";
}

// Set from code, positions and sizes are kept within what a window system
// can show, and text is measured no taller than the tallest font.
TEST_F(FormTest, PositionsSizesAndFontsStayWithinWhatAWindowSystemShows) {
  Create();
  constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
  TestForm1->SetClientSize(kMax, kMax);
  EXPECT_EQ(TestForm1->ClientWidth(), 32767);
  EXPECT_EQ(TestForm1->ClientHeight(), 32767);
  TestForm1->Button1->SetBounds(kMax, kMin, kMax, kMin);
  EXPECT_EQ(TestForm1->Button1->BoundsRect(), (forms::TRect{32767, -32768, 32767, 0}));
  EXPECT_EQ(TestForm1->Button1->BoundsRect().Right(), 65534);
  forms::TFontSpec font;
  font.Height = kMin;
  EXPECT_EQ(headless.backend().TextHeight(font), 1182) << "1000 pixels and the leading";
}

// The timer's Enabled switch: a system timer only while enabled, with an
// interval and a handler; the same value twice does nothing.
TEST_F(FormTest, TimerAsksForASystemTimerOnlyWhenItsStateChanges) {
  Create();
  forms::TTimer& timer = *TestForm1->Timer1;
  auto& backend = headless.backend();

  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Running());
  EXPECT_EQ(backend.LastTimerInterval(), 100u);
  std::size_t before = backend.RunningTimers();
  timer.SetEnabled(true);
  EXPECT_EQ(backend.RunningTimers(), before) << "the same value does not restart the period";

  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running()) << "no timer without an interval";
  timer.SetInterval(50);
  EXPECT_TRUE(timer.Running());
  EXPECT_EQ(backend.LastTimerInterval(), 50u);

  timer.SetOnTimer(nullptr);
  EXPECT_FALSE(timer.Running()) << "no timer without a handler";
  timer.SetOnTimer([](forms::TObject*) {});
  EXPECT_TRUE(timer.Running());

  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  EXPECT_FALSE(timer.Enabled());
}

TEST_F(FormTest, ARefusedTimerRaisesOnceAndStaysEnabled) {
  Create();
  headless.backend().refuseTimers = true;
  forms::TTimer& timer = *TestForm1->Timer1;
  try {
    timer.SetEnabled(true);
    FAIL() << "the refusal should raise";
  } catch (const forms::EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "Not enough timers available");
  }
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(timer.Running());
  headless.backend().refuseTimers = false;
  EXPECT_NO_THROW(timer.SetEnabled(true));
  EXPECT_FALSE(timer.Running()) << "an unchanged Enabled does not ask again";
}

TEST_F(FormTest, LabelFitsItsTextKeepingLeftAndTopAndIgnoresTheSameText) {
  Create();
  forms::TLabel& label = *TestForm1->Label1;
  EXPECT_EQ(label.BoundsRect(), (forms::TRect{10, 50, 24, 13}));
  int queries = TestForm1->resizeQueries;
  label.SetCaption("100");
  EXPECT_EQ(label.BoundsRect(), (forms::TRect{10, 50, 18, 13}));
  EXPECT_EQ(NativeOf(label).text, "100");
  EXPECT_EQ(TestForm1->resizeQueries, queries + 1) << "a label fitting its text asks the window again";
  label.SetCaption("100");
  EXPECT_EQ(TestForm1->resizeQueries, queries + 1) << "the same text changes nothing";
}

TEST_F(FormTest, ResizeQueriesComeAfterCreationAroundEachSizeChange) {
  TTestForm::onCreate = [] { EXPECT_EQ(TestForm1->resizeQueries, 0) << "none before FormCreate"; };
  Create();
  TTestForm::onCreate = nullptr;
  EXPECT_EQ(TestForm1->resizeQueries, 0) << "none while reading";

  auto& window = *headless.backend().windows.front();
  window.Show();
  EXPECT_EQ(TestForm1->resizeQueries, 1) << "the first showing completes a size change";

  std::vector<std::pair<int, int>> seen;
  TestForm1->onResize = [&](int&, int&, bool&) {
    seen.emplace_back(TestForm1->ClientWidth(), TestForm1->ClientHeight());
  };
  TestForm1->SetClientSize(400, 300);
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{292, 173}, {400, 300}}))
      << "before the change with the old client size, after it with the new";

  seen.clear();
  TestForm1->onResize = [&](int&, int&, bool& resize) { resize = false; };
  TestForm1->SetClientSize(500, 300);
  EXPECT_EQ(TestForm1->ClientWidth(), 400) << "a refused size is not applied";

  seen.clear();
  TestForm1->onResize = [&](int&, int&, bool&) {
    seen.emplace_back(TestForm1->ClientWidth(), TestForm1->ClientHeight());
  };
  window.UserResize(640, 480);
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{640, 480}}));
}

TEST_F(FormTest, TheHandlerMayReenterTheQueryOnlyOnce) {
  Create();
  headless.backend().windows.front()->Show();
  int depth = 0;
  int deepest = 0;
  TestForm1->onResize = [&](int&, int&, bool&) {
    ++depth;
    deepest = std::max(deepest, depth);
    TestForm1->Button1->SetLeft(TestForm1->Button1->Left() + 1);  // every call moves it
    --depth;
  };
  headless.backend().windows.front()->UserResize(500, 400);
  EXPECT_EQ(deepest, 2);
}

}  // namespace
