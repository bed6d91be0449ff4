// End-to-end: the window worked with real key events (XTEST, through
// xdotool) and no mouse: focus walks 測試鍵, the chart, "++", "--" in that
// order, Space presses the focused button, and the chart shows when it has
// the focus with a dotted rectangle just inside its edge.

#include "tests/e2e/AppSession.h"
#include "tests/e2e/ScreenAnalysis.h"
#include "tests/e2e/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace e2e {
namespace {

constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr int LabelHeight = 13;

// Dark pixels on the row and the column one pixel inside the chart's top
// left corner, where its focus rectangle runs and nothing else is drawn.
struct FocusMarks {
    int row = 0;
    int column = 0;
};

FocusMarks focusMarks(const QImage& shot, const QRect& chart)
{
    const auto dark = darkPixel();
    FocusMarks marks;
    for (int x = chart.left() + 1; x < chart.right(); ++x)
        marks.row += dark(shot.pixel(x, chart.top() + 1)) ? 1 : 0;
    for (int y = chart.top() + 1; y < chart.bottom(); ++y)
        marks.column += dark(shot.pixel(chart.left() + 1, y)) ? 1 : 0;
    return marks;
}

// A dotted line marks at least a fifth of its length.
bool showsFocus(const FocusMarks& marks, const QRect& chart)
{
    return marks.row >= chart.width() / 5 && marks.column >= chart.height() / 5;
}

struct Reading {
    QImage shot;
    FocusMarks marks;
};

TEST(Keyboard, TabWalksTheDesignedOrderSpacePressesTheFocusedButtonAndTheChartShowsItsFocus)
{
    AppSession session(artefactPrefix());
    const Desktop& desktop = session.desktop();
    desktop.focus(session.window());
    const QRect window = session.windowRect();
    const QRect chart = session.chartOnScreen();
    const QRect label(window.topLeft() + QPoint(window.width() - layout::ButtonRightOffset, layout::LabelTop),
                      QSize(layout::ButtonWidth, LabelHeight));
    auto read = [&](const std::string& what) {
        Reading r;
        r.shot = session.screenshot("." + what);
        r.marks = focusMarks(r.shot, chart);
        return r;
    };
    auto describe = [&](const Reading& r, const std::string& what) {
        return "focus marks " + std::to_string(r.marks.row) + " on the row, " + std::to_string(r.marks.column)
               + " on the column; see " + artefactPrefix() + "." + what + ".png";
    };

    // 測試鍵 comes first in the tab order and has the focus from the start.
    const Reading start = read("0-start");
    EXPECT_FALSE(showsFocus(start.marks, chart)) << describe(start, "0-start");
    desktop.key("space");
    const Reading running = eventually([&] { return read("1-space-on-start"); }, [&](const Reading& r) {
        const auto frame = findPlotFrame(r.shot, chart);
        if (!frame)
            return false;
        const double row = frame->rowOf(50, 0, 100);
        return longestRunInRows(r.shot, frame->inside(), static_cast<int>(row) - 2, static_cast<int>(row) + 2,
                                exactly(Blue))
                   .length()
               >= frame->width() / 2;
    });
    const auto frame = findPlotFrame(running.shot, chart);
    ASSERT_TRUE(frame.has_value()) << describe(running, "1-space-on-start");
    const double row50 = frame->rowOf(50, 0, 100);
    EXPECT_GE(longestRunInRows(running.shot, frame->inside(), static_cast<int>(row50) - 2,
                               static_cast<int>(row50) + 2, exactly(Blue))
                  .length(),
              frame->width() / 2)
        << "Space on 測試鍵 started no run: no blue line at level 50; " << describe(running, "1-space-on-start");

    // Tab: the chart takes the focus and draws its dotted rectangle.
    desktop.key("Tab");
    const Reading onChart = eventually([&] { return read("2-tab-to-chart"); },
                                       [&](const Reading& r) { return showsFocus(r.marks, chart); });
    EXPECT_TRUE(showsFocus(onChart.marks, chart)) << describe(onChart, "2-tab-to-chart");

    // Tab: on to "++", and the chart's rectangle goes; Space raises the level to 55.
    desktop.key("Tab");
    const Reading onPlus = eventually([&] { return read("3-tab-to-plus"); },
                                      [&](const Reading& r) { return !showsFocus(r.marks, chart); });
    EXPECT_EQ(onPlus.marks.row, 0) << describe(onPlus, "3-tab-to-plus");
    desktop.key("space");
    const Reading plus = eventually([&] { return read("4-space-on-plus"); }, [&](const Reading& r) {
        return countDifferences(r.shot, onPlus.shot, label) > 0;
    });
    EXPECT_GT(countDifferences(plus.shot, onPlus.shot, label), 0)
        << "the label did not change after Space on ++; " << describe(plus, "4-space-on-plus");

    // Tab: "--"; Space lowers the level again.
    desktop.key("Tab");
    desktop.key("space");
    const Reading minus = eventually([&] { return read("5-tab-space-on-minus"); }, [&](const Reading& r) {
        return countDifferences(r.shot, plus.shot, label) > 0;
    });
    EXPECT_GT(countDifferences(minus.shot, plus.shot, label), 0)
        << "the label did not change after Space on --; " << describe(minus, "5-tab-space-on-minus");

    // Shift+Tab twice walks back over "++" to the chart.
    desktop.key("shift+Tab");
    desktop.key("shift+Tab");
    const Reading back = eventually([&] { return read("6-back-to-chart"); },
                                    [&](const Reading& r) { return showsFocus(r.marks, chart); });
    EXPECT_TRUE(showsFocus(back.marks, chart)) << describe(back, "6-back-to-chart");

    // The keyboard's "55" is the mouse's: a click on "++" from 50 shows the same label.
    session.clickPlus();
    const Reading clicked = eventually([&] { return read("7-click-on-plus"); }, [&](const Reading& r) {
        return countDifferences(r.shot, plus.shot, label) == 0;
    });
    EXPECT_EQ(countDifferences(clicked.shot, plus.shot, label), 0)
        << "the label after a click on ++ differs from the one after Space on ++; see " << artefactPrefix()
        << ".4-space-on-plus.png and .7-click-on-plus.png";

    expectCleanExit(session);
}

} // namespace
} // namespace e2e
