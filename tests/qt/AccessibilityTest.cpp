// What a screen reader reads of the program's window through Qt's
// accessibility interface (offscreen): the buttons and the label by their
// texts, the chart as a chart named by its title and described by its
// ranges and latest sample, as they are at the moment it asks.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>
#include <string>

#include "forms/Application.h"
#include "ui/Unit1.h"

namespace {

class AccessibilityTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!Form1) forms::Application->CreateForm(Form1);
  }
  static QAccessibleInterface* Interface(const forms::TControl* control) {
    auto* widget = dynamic_cast<QWidget*>(control->Native());
    return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
  }
  static std::string Text(const forms::TControl* control, QAccessible::Text kind) {
    QAccessibleInterface* face = Interface(control);
    return face ? face->text(kind).toStdString() : std::string("(no interface)");
  }
};

TEST_F(AccessibilityTest, ButtonsAndTheLabelAreNamedByTheirTexts) {
  struct Case {
    forms::TControl* control;
    QAccessible::Role role;
    const char* name;
  };
  for (const Case& c : {Case{Form1->Button1, QAccessible::Button, "測試鍵"}, Case{Form1->Button2, QAccessible::Button, "++"},
                        Case{Form1->Button3, QAccessible::Button, "--"},
                        Case{Form1->Label1, QAccessible::StaticText, "0000"}}) {
    SCOPED_TRACE(c.name);
    QAccessibleInterface* face = Interface(c.control);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), c.role);
    EXPECT_EQ(face->text(QAccessible::Name).toStdString(), c.name);
  }
  // The label is read as it is now, not as it was designed.
  Form1->Button2->Click();
  EXPECT_EQ(Text(Form1->Label1, QAccessible::Name), "55");
  Form1->Button3->Click();
}

TEST_F(AccessibilityTest, TheChartIsNamedByItsTitleAndDescribesItsRangesAndTheLatestSample) {
  QAccessibleInterface* face = Interface(Form1->Chart1);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->role(), QAccessible::Chart);
  EXPECT_EQ(Text(Form1->Chart1, QAccessible::Name), "電壓顯示");
  EXPECT_TRUE(face->state().focusable);

  // Each answer is made when the reader asks: it follows the run.
  struct Step {
    const char* what;
    void (*act)();
    const char* description;
  };
  const Step steps[] = {
      {"start-up", [] {}, "Bottom axis 0 to 1,000; left axis 0 to 100; latest sample 50 at 0"},
      {"a start", [] { Form1->Button1->Click(); },
       "Bottom axis 0 to 1,000; left axis 0 to 100; latest sample 50 at 1,000"},
      {"++ then a tick", [] { Form1->Button2->Click(); Form1->Timer1Timer(Form1->Timer1); },
       "Bottom axis 1 to 1,001; left axis 0 to 100; latest sample 55 at 1,005"},
      {"a tick past the wrap", [] { CurrentX = 65535; Form1->Timer1Timer(Form1->Timer1); },
       "Bottom axis 2 to 1,002; left axis 0 to 100; latest sample 55 at 0"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(Text(Form1->Chart1, QAccessible::Description), step.description);
  }
  Form1->Timer1->SetEnabled(false);
}

TEST_F(AccessibilityTest, TheFocusedChartSaysSo) {
  auto* window = dynamic_cast<QWidget*>(&Form1->Native());
  auto* chart = dynamic_cast<QWidget*>(Form1->Chart1->Native());
  ASSERT_TRUE(window && chart);
  window->show();
  window->activateWindow();
  chart->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  ASSERT_TRUE(chart->hasFocus()) << "the offscreen window took no focus";
  EXPECT_TRUE(Interface(Form1->Chart1)->state().focused);
  EXPECT_TRUE(Form1->Chart1->Focused());
  dynamic_cast<QWidget*>(Form1->Button2->Native())->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  EXPECT_FALSE(Form1->Chart1->Focused());
}

}  // namespace
