// The application object: creating the main form, the one place that
// catches what delivered events throw, and the standard exception display.
#include <gtest/gtest.h>

#include <utility>

#include "forms/Application.h"
#include "tests/forms/TestForm.h"
#include "tests/support/HeadlessApplication.h"

using forms::Exception;
using testing_support::HeadlessApplication;
using testing_support::NativeOf;

namespace {

TTestForm* TestForm1 = nullptr;

class ApplicationTest : public ::testing::Test {
 protected:
  void TearDown() override {
    TTestForm::nextDescription.clear();
    TTestForm::onCreate = nullptr;
    TestForm1 = nullptr;
  }
  HeadlessApplication headless;
};

struct TitleCase {
  const char* path;
  const char* title;
};

class TitleFromPathTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleFromPathTest, CutsDirectoryAndExtensionsAndLowersAllButTheFirst) {
  EXPECT_EQ(forms::TitleFromPath(GetParam().path), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Paths, TitleFromPathTest,
                         ::testing::Values(TitleCase{"/usr/bin/voltage-display", "voltage-display"},
                                           TitleCase{"/x/VOLTage.Display.bin", "Voltage"},
                                           TitleCase{"PROJECT1.EXE", "Project1"},
                                           TitleCase{"/opt/a.b/Tool", "Tool"},
                                           TitleCase{"/home/u/.hidden", ""},
                                           TitleCase{"", ""}));

struct DisplayCase {
  const char* message;
  const char* shown;
};

class MessageForDisplayTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(MessageForDisplayTest, AddsAFullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(forms::MessageForDisplay(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MessageForDisplayTest,
    ::testing::Values(DisplayCase{"Not enough timers available", "Not enough timers available."},
                      DisplayCase{"", ""}, DisplayCase{"done.", "done."}, DisplayCase{"a!", "a!"},
                      DisplayCase{"ends in a slash/", "ends in a slash/."},
                      DisplayCase{"3", "3."}, DisplayCase{"-", "-"},
                      DisplayCase{"\xA5\xDC", "\xA5\xDC."}));

TEST_F(ApplicationTest, ShowsAnExceptionInAStopBoxCaptionedWithTheTitle) {
  headless.backend().programPath = "/opt/tools/MyProgram.bin";
  headless.app().ShowException(Exception("Not enough timers available"));
  ASSERT_EQ(headless.backend().errorBoxes.size(), 1u);
  EXPECT_EQ(headless.backend().errorBoxes[0].caption, "Myprogram");
  EXPECT_EQ(headless.backend().errorBoxes[0].text, "Not enough timers available.");
}

TEST_F(ApplicationTest, EventsThatThrowAreShownOnceAndTheLoopGoesOn) {
  headless.app().CreateForm(TestForm1);
  forms::TButton& button = *TestForm1->Button1;
  auto& boxes = headless.backend().errorBoxes;

  int clicks = 0;
  TestForm1->onClick = [&] {
    ++clicks;
    throw Exception("first");
  };
  NativeOf(button).Click();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "first.");

  TestForm1->onClick = [&] {
    ++clicks;
    throw forms::EAbort("silent");
  };
  NativeOf(button).Click();
  EXPECT_EQ(boxes.size(), 1u) << "an abort shows nothing";

  TestForm1->onClick = [&] {
    ++clicks;
    throw std::runtime_error("from the library");
  };
  NativeOf(button).Click();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "from the library.");

  TestForm1->onClick = [&] {
    ++clicks;
    throw 42;
  };
  NativeOf(button).Click();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].text, "") << "nothing of a foreign object is shown";

  TestForm1->onClick = [&] { ++clicks; };
  NativeOf(button).Click();
  EXPECT_EQ(clicks, 5);
  EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(ApplicationTest, OnExceptionReplacesTheDisplay) {
  std::vector<std::string>& caught = headless.CatchExceptions();
  headless.app().CreateForm(TestForm1);
  TestForm1->onTick = [] { throw Exception("tick failed"); };
  TestForm1->Timer1->SetEnabled(true);
  headless.backend().TickTimers();
  headless.backend().TickTimers();
  EXPECT_EQ(caught, (std::vector<std::string>{"tick failed", "tick failed"}));
  EXPECT_TRUE(headless.backend().errorBoxes.empty());
  EXPECT_TRUE(TestForm1->Timer1->Running()) << "a failing tick does not stop the timer";
}

TEST_F(ApplicationTest, CreateFormStoresTheFormBeforeItsConstructorRuns) {
  TTestForm* seenDuringCreate = nullptr;
  TTestForm::onCreate = [&] { seenDuringCreate = TestForm1; };
  headless.app().CreateForm(TestForm1);
  EXPECT_NE(TestForm1, nullptr);
  EXPECT_EQ(seenDuringCreate, TestForm1);
  EXPECT_EQ(headless.app().MainForm(), TestForm1);
}

TEST_F(ApplicationTest, AFailureWhileReadingLeavesTheReferenceNull) {
  TTestForm::nextDescription = "object Form1: TTestForm\n  object Button1: TButon\n  end\nend\n";
  try {
    headless.app().CreateForm(TestForm1);
    FAIL() << "building should fail";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Test.form:2: unknown class 'TButon' of 'Button1'");
  }
  EXPECT_EQ(TestForm1, nullptr);
  EXPECT_EQ(headless.app().MainForm(), nullptr);
  EXPECT_TRUE(headless.app().Components().empty()) << "nothing half-built is left behind";
}

TEST_F(ApplicationTest, AnExceptionInFormCreateIsShownAndTheWindowStillRuns) {
  bool restOfCreateRan = false;
  TTestForm::onCreate = [&] {
    throw Exception("create failed");
    restOfCreateRan = true;
  };
  int clicks = 0;
  headless.backend().loopBody = [&] { NativeOf(*TestForm1->Button1).Click(); };
  headless.app().CreateForm(TestForm1);
  ASSERT_NE(TestForm1, nullptr);
  TestForm1->onClick = [&] { ++clicks; };
  ASSERT_EQ(headless.backend().errorBoxes.size(), 1u);
  EXPECT_EQ(headless.backend().errorBoxes[0].text, "create failed.");
  EXPECT_FALSE(restOfCreateRan);

  headless.app().Run();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(headless.backend().windows.front()->shown);
}

TEST_F(ApplicationTest, AForeignObjectThrownInFormCreateIsShownEmptyAndTheFormIsKept) {
  TTestForm::onCreate = [] { throw 7; };
  headless.app().CreateForm(TestForm1);
  ASSERT_NE(TestForm1, nullptr);
  EXPECT_EQ(headless.app().MainForm(), TestForm1);
  ASSERT_EQ(headless.backend().errorBoxes.size(), 1u);
  EXPECT_EQ(headless.backend().errorBoxes[0].text, "");
}

}  // namespace

namespace {

// A handler that throws on every tick must not stack boxes: each box runs a
// nested loop in which the next tick throws again.
class ErrorBoxQueueTest : public ApplicationTest {
 protected:
  void SetUp() override {
    headless.app().CreateForm(TestForm1);
    TestForm1->Timer1->SetEnabled(true);
  }
  // While a box is open, `ticks` more ticks arrive.
  void TicksWhileOpen(int ticks) {
    headless.backend().whileErrorBoxOpen = [this, ticks] {
      for (int i = 0; i < ticks; ++i) headless.backend().TickTimers();
    };
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const auto& box : headless.backend().errorBoxes) texts.push_back(box.text);
    return texts;
  }
};

TEST_F(ErrorBoxQueueTest, ATickThatAlwaysThrowsOpensOneBoxAtATime) {
  int ticks = 0;
  TestForm1->onTick = [&] {
    ++ticks;
    throw Exception("tick failed");
  };
  TicksWhileOpen(50);
  headless.backend().TickTimers();
  EXPECT_EQ(ticks, 51) << "ticks keep coming while the box is open";
  EXPECT_EQ(Shown(), std::vector<std::string>{"tick failed."}) << "the same message is not repeated";
  EXPECT_EQ(headless.backend().mostOpenErrorBoxes, 1);

  headless.backend().TickTimers();
  EXPECT_EQ(Shown().size(), 2u) << "once closed, the next failure is shown again";
}

TEST_F(ErrorBoxQueueTest, OtherMessagesWaitAndFollowInTurnBoundedInNumber) {
  // Three failures arrive while the first box is open, none later.
  int ticks = 0;
  TestForm1->onTick = [&] { throw Exception("tick " + std::to_string(++ticks % 3)); };
  headless.backend().whileErrorBoxOpen = [&] {
    if (ticks < 4)
      for (int i = 0; i < 3; ++i) headless.backend().TickTimers();
  };
  headless.backend().TickTimers();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"tick 1.", "tick 2.", "tick 0."}))
      << "\"tick 1\" again while open is dropped; the others follow in turn";
  EXPECT_EQ(headless.backend().mostOpenErrorBoxes, 1);

  headless.backend().errorBoxes.clear();
  TestForm1->onTick = [&] { throw Exception("distinct " + std::to_string(++ticks)); };
  bool first = true;
  headless.backend().whileErrorBoxOpen = [&] {
    if (!std::exchange(first, false)) return;
    for (int i = 0; i < 20; ++i) headless.backend().TickTimers();
  };
  headless.backend().TickTimers();
  EXPECT_EQ(Shown().size(), 1 + forms::TApplication::kMaxWaitingMessages)
      << "the waiting list stops growing at its bound";
}

}  // namespace
