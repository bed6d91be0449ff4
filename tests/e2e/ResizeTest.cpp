// End-to-end: the real window resized from outside (a plain configure, as
// there is no window manager) and the layout read back from screenshots: the
// button column at client width - 90, the chart's width (its blue title is
// centred in it) and height, and the vertical scroll bar of a low window.

#include "tests/e2e/AppSession.h"
#include "tests/e2e/ScreenAnalysis.h"
#include "tests/e2e/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace e2e {
namespace {

// The controls in the column right of the chart, by their tops.
struct ColumnControl {
    const char* name;
    int top;
};
constexpr ColumnControl Buttons[] = {
    {"測試鍵", layout::StartButtonTop},
    {"++", layout::PlusButtonTop},
    {"--", layout::MinusButtonTop},
};
constexpr int LabelHeight = 13;

// The window's layout as a screenshot shows it; client coordinates.
struct LayoutReading {
    QImage shot;
    std::string file;
    QRect window;
    int scrollBarWidth = 0;
    int clientWidth = 0;
    std::optional<PlotFrame> frame; // screen coordinates
    std::optional<double> titleCentre;
    std::vector<std::optional<int>> buttonLefts; // as Buttons; nothing when off the window or not found
    std::optional<int> labelInkLeft;              // the level label's leftmost dark pixel
    std::optional<int> bottomLabelsInkBottom;     // the bottom axis labels' lowest dark row

    std::string describe() const
    {
        char text[256];
        std::snprintf(text, sizeof text, "window %dx%d at %d,%d, scroll bar %d px, client width %d, title centre %.1f",
                      window.width(), window.height(), window.x(), window.y(), scrollBarWidth, clientWidth,
                      titleCentre.value_or(-1));
        std::string result = text;
        for (std::size_t i = 0; i < buttonLefts.size(); ++i)
            result += std::string(", ") + Buttons[i].name + " left " + std::to_string(buttonLefts[i].value_or(-1));
        result += ", label ink left " + std::to_string(labelInkLeft.value_or(-1));
        result += ", bottom labels' ink down to row " + std::to_string(bottomLabelsInkBottom.value_or(-1));
        result += "; " + (frame ? frame->describe() : std::string("no plot frame"));
        return result + "; " + file;
    }
};

LayoutReading readLayout(const AppSession& session, const std::string& what)
{
    LayoutReading r;
    r.file = artefactPrefix() + "." + what + ".png";
    r.window = session.windowRect();
    r.shot = session.screenshot("." + what);
    const QPoint origin = r.window.topLeft();
    // The form's own colour, where no control stands (the chart starts at 8, 8).
    const QRgb background = r.shot.pixel(origin + QPoint(2, 2));

    // Right of the buttons lie 15 px of bare form: whatever columns at the
    // window's right edge are not bare belong to a scroll bar.
    r.scrollBarWidth = busyColumnsAtRight(r.shot, r.window, exactly(background));
    r.clientWidth = r.window.width() - r.scrollBarWidth;

    const QRect chart = layout::chart(QSize(r.clientWidth, r.window.height())).translated(origin);
    r.frame = findPlotFrame(r.shot, chart);
    if (!r.frame)
        return r;
    const QRect aboveFrame(QPoint(chart.left(), chart.top()), QPoint(chart.right(), r.frame->top - 1));
    if (const auto title = boundingBox(r.shot, aboveFrame, bluish()))
        r.titleCentre = (title->left() + title->right()) / 2.0 - origin.x();
    const QRect belowFrame(QPoint(chart.left(), r.frame->bottom + 1), QPoint(chart.right(), r.window.bottom()));
    if (const auto labels = boundingBox(r.shot, belowFrame, darkPixel()))
        r.bottomLabelsInkBottom = labels->bottom() - origin.y();

    // A button's frame is the longest run of non-form pixels on a row just
    // inside its top edge, above its caption, right of the plot.
    const int firstColumn = r.frame->right + 1;
    const int lastColumn = origin.x() + r.clientWidth - 1;
    for (const ColumnControl& button : Buttons) {
        std::optional<int> left;
        if (button.top + layout::ButtonHeight <= r.window.height()) {
            const HRun run = longestRun(r.shot, origin.y() + button.top + 3, firstColumn, lastColumn,
                                        otherThan(background));
            if (run.length() >= layout::ButtonWidth - 4)
                left = run.x0 - origin.x();
        }
        r.buttonLefts.push_back(left);
    }
    if (layout::LabelTop + LabelHeight <= r.window.height()) {
        const QRect label(QPoint(firstColumn, origin.y() + layout::LabelTop),
                          QPoint(lastColumn, origin.y() + layout::LabelTop + LabelHeight - 1));
        if (const auto ink = boundingBox(r.shot, label, darkPixel()))
            r.labelInkLeft = ink->left() - origin.x();
    }
    return r;
}

struct Expected {
    int buttonLeft;
    double titleCentre;
    int frameBottom; // client coordinates
    // The bottom axis' labels stand in a box that ends 8 px above the
    // chart's bottom edge (client height - 15 + 8), so 17 px above the
    // window's bottom whatever the font's height; their ink ends on the
    // baseline or a descent lower.
    int labelBoxBottom;
};
constexpr int MaxDescent = 5;

Expected expectedFor(const LayoutReading& r, int initialFrameBottom)
{
    const int chartWidth = r.clientWidth - 105;
    const int chartHeightChange = r.window.height() - layout::InitialGeometry.height();
    return {r.clientWidth - layout::ButtonRightOffset, 8 + chartWidth / 2.0, initialFrameBottom + chartHeightChange,
            r.window.height() - 17};
}

bool matches(const LayoutReading& r, const Expected& e)
{
    if (!r.frame || !r.titleCentre || !r.buttonLefts.front())
        return false;
    for (const auto& left : r.buttonLefts)
        if (left && *left != e.buttonLeft)
            return false;
    return std::abs(*r.titleCentre - e.titleCentre) <= 2 && r.frame->bottom - r.window.y() == e.frameBottom;
}

struct Size {
    int width;
    int height;
    bool scrollBar;
};

TEST(Resize, TheChartStretchesAndTheButtonsFollowLessTheScrollBarOfALowWindow)
{
    AppSession session(artefactPrefix());
    const LayoutReading initial = readLayout(session, "0-initial-610x422");
    ASSERT_EQ(initial.window, layout::InitialGeometry) << initial.describe();
    ASSERT_TRUE(initial.frame.has_value()) << initial.describe();
    EXPECT_EQ(initial.scrollBarWidth, 0) << initial.describe();
    const int initialFrameBottom = initial.frame->bottom - initial.window.y();
    // The designed layout: chart 505 px wide, the button column at 520.
    EXPECT_TRUE(matches(initial, expectedFor(initial, initialFrameBottom))) << initial.describe();
    EXPECT_EQ(initial.buttonLefts.front(), 520) << initial.describe();

    // 209 px is the bottom of "--": one pixel lower and the window scrolls.
    const Size sizes[] = {{800, 500, false}, {610, 209, false}, {610, 208, true}, {300, 150, true}, {610, 422, false}};
    int step = 1;
    LayoutReading last;
    for (const Size& size : sizes) {
        const std::string what = std::to_string(step++) + "-resized-to-" + std::to_string(size.width) + "x"
                                 + std::to_string(size.height) + (size.scrollBar ? "-with-scroll-bar" : "");
        SCOPED_TRACE(what);
        session.desktop().resize(session.window(), size.width, size.height);
        const LayoutReading r = eventually([&] { return readLayout(session, what); },
                                           [&](const LayoutReading& now) {
                                               return now.window.size() == QSize(size.width, size.height)
                                                      && matches(now, expectedFor(now, initialFrameBottom));
                                           });
        ASSERT_EQ(r.window.size(), QSize(size.width, size.height)) << r.describe();
        if (size.scrollBar) {
            EXPECT_GE(r.scrollBarWidth, 10) << "no vertical scroll bar: " << r.describe();
            EXPECT_LE(r.scrollBarWidth, 20) << r.describe();
        } else {
            EXPECT_EQ(r.scrollBarWidth, 0) << r.describe();
        }
        ASSERT_TRUE(r.frame.has_value()) << r.describe();
        const Expected e = expectedFor(r, initialFrameBottom);
        for (std::size_t i = 0; i < r.buttonLefts.size(); ++i) {
            if (Buttons[i].top + layout::ButtonHeight <= size.height) {
                EXPECT_EQ(r.buttonLefts[i], e.buttonLeft) << Buttons[i].name << "; " << r.describe();
            }
        }
        if (layout::LabelTop + LabelHeight <= size.height) { // the digits' side bearing: a pixel or two
            ASSERT_TRUE(r.labelInkLeft.has_value()) << "no level label: " << r.describe();
            EXPECT_NEAR(*r.labelInkLeft, e.buttonLeft, 2) << r.describe();
        }
        ASSERT_TRUE(r.titleCentre.has_value()) << "no blue title above the plot: " << r.describe();
        EXPECT_NEAR(*r.titleCentre, e.titleCentre, 2) << r.describe();
        EXPECT_EQ(r.frame->bottom - r.window.y(), e.frameBottom)
            << "the chart's height should follow the window's: " << r.describe();
        ASSERT_TRUE(r.bottomLabelsInkBottom.has_value()) << "no bottom axis labels: " << r.describe();
        EXPECT_LE(*r.bottomLabelsInkBottom, e.labelBoxBottom) << "the chart is too low: " << r.describe();
        EXPECT_GE(*r.bottomLabelsInkBottom, e.labelBoxBottom - MaxDescent) << "the chart is too short: " << r.describe();
        last = r;
    }

    // Back at the first size the window looks exactly as it did at start-up.
    EXPECT_EQ(countDifferences(initial.shot, last.shot, initial.window), 0)
        << "pixels differ from the start-up picture: " << initial.file << " vs " << last.file;

    expectCleanExit(session);
}

} // namespace
} // namespace e2e
