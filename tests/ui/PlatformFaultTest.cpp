// What the platform may refuse or throw, met by the program's own window on
// a headless window system: a system timer that cannot be had, and handlers
// that throw something that is not an Exception.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>

#include "tests/support/HeadlessApplication.h"
#include "ui/Unit1.h"

using testing_support::HeadlessApplication;
using testing_support::NativeOf;

namespace {

class PlatformFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless.app().CreateForm(Form1);
    ASSERT_NE(Form1, nullptr);
    window().Show();
  }
  void TearDown() override { Form1 = nullptr; }

  forms::backend::headless::HeadlessWindow& window() { return *headless.backend().windows.front(); }
  std::vector<forms::backend::headless::HeadlessBackend::ErrorBox>& boxes() {
    return headless.backend().errorBoxes;
  }
  void Click(forms::TButton* button) { NativeOf(*button).Click(); }

  HeadlessApplication headless;
};

// The timer stays enabled after the refusal, and setting Enabled to the
// value it has does nothing: so the refusal is met once, and from then on
// a start adds its sample and nothing else, even once timers are to be had.
TEST_F(PlatformFaultTest, ARefusedTimerIsShownOnceAndNoStartAsksAgainNorTicks) {
  headless.backend().programPath = "/usr/bin/voltage-display";
  headless.backend().refuseTimers = true;
  Click(Form1->Button1);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].caption, "voltage-display");
  EXPECT_EQ(boxes()[0].text, "Not enough timers available.");
  EXPECT_TRUE(Form1->Timer1->Enabled());
  EXPECT_FALSE(Form1->Timer1->Running());

  headless.backend().refuseTimers = false;
  for (int i = 0; i < 5; ++i) {
    Click(Form1->Button1);
    headless.backend().TickTimers();
  }
  EXPECT_EQ(boxes().size(), 1u) << "no later start asks for a timer, so none is refused";
  EXPECT_EQ(headless.backend().RunningTimers(), 0u);
  EXPECT_EQ(headless.backend().LastTimerInterval(), 0u) << "no system timer was ever handed out";
  EXPECT_EQ(Form1->Series1->Count(), 1u + 6u) << "the start-up sample and one per start; no tick came";
  EXPECT_EQ(CurrentX, 1000u);

  Click(Form1->Button2);
  EXPECT_EQ(Form1->Label1->Caption(), "55") << "the rest of the window goes on working";
}

// Whatever a handler throws that is not an Exception is shown with an empty
// message; the handler runs again at the next event.
struct ForeignThrowCase {
  const char* name;
  std::function<void()> raise;
};

class ForeignThrowTest : public PlatformFaultTest, public ::testing::WithParamInterface<ForeignThrowCase> {};

TEST_P(ForeignThrowTest, FromTheResizeHandlerIsShownAndTheNextResizeLaysOut) {
  forms::TCanResizeEvent layOut = Form1->OnCanResize;
  bool fail = true;
  Form1->OnCanResize = [&](forms::TObject* sender, int& w, int& h, bool& resize) {
    layOut(sender, w, h, resize);
    if (fail) GetParam().raise();
  };
  window().UserResize(800, 600);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].text, GetParam().name == std::string("BadAlloc") ? "std::bad_alloc." : "");

  fail = false;
  window().UserResize(700, 500);
  EXPECT_EQ(boxes().size(), 1u);
  EXPECT_EQ(Form1->Chart1->BoundsRect(), (forms::TRect{8, 8, 700 - 105, 500 - 15}));
  EXPECT_EQ(Form1->Button1->Left(), 700 - 105 + 15);
}

INSTANTIATE_TEST_SUITE_P(
    Objects, ForeignThrowTest,
    ::testing::Values(ForeignThrowCase{"Int", [] { throw 7; }},
                      ForeignThrowCase{"String", [] { throw std::string("not an exception"); }},
                      ForeignThrowCase{"BadAlloc", [] { throw std::bad_alloc(); }}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
