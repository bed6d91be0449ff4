// End-to-end: zooming, restoring and panning the chart with real pointer
// events (XTEST through xdotool) on the running program, judged by where the
// blue level-50 line and the left axis' labels land in screenshots.

#include "tests/e2e/AppSession.h"
#include "tests/e2e/ScreenAnalysis.h"
#include "tests/e2e/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace e2e {
namespace {

constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr int LeftButton = 1;
constexpr int MiddleButton = 2;
constexpr int RightButton = 3;

// What the chart shows in one screenshot.
struct ChartView {
    QImage shot;
    std::string file;
    std::optional<PlotFrame> frame;
    HRun line; // the longest pure blue run inside the frame

    bool lineAcross() const { return frame && line.length() >= 0.8 * frame->width(); }
    std::string describe() const
    {
        if (!frame)
            return "no plot frame in " + file;
        char text[160];
        std::snprintf(text, sizeof text, "; longest blue run %d px on row %d (columns %d..%d) in ", line.length(),
                      line.y, line.x0, line.x1);
        return frame->describe() + text + file;
    }
};

ChartView readChart(const AppSession& session, const std::string& what)
{
    ChartView view;
    view.file = artefactPrefix() + "." + what + ".png";
    view.shot = session.screenshot("." + what);
    view.frame = findPlotFrame(view.shot, session.chartOnScreen());
    if (view.frame)
        view.line = longestRunInRows(view.shot, view.frame->inside(), view.frame->top + 1, view.frame->bottom - 1,
                                     exactly(Blue));
    return view;
}

// The left axis' labels and ticks: from the chart's left edge to just left
// of both frames, from a little above their top rows to just below their
// bottom rows (the bottom axis' labels, which creep during a run, start lower).
QRect leftLabelStrip(const QRect& chart, const PlotFrame& a, const PlotFrame& b)
{
    return QRect(QPoint(chart.left(), std::min(a.top, b.top) - 10),
                 QPoint(std::min(a.left, b.left) - 1, std::max(a.bottom, b.bottom) + 5));
}

int labelDifferences(const AppSession& session, const ChartView& a, const ChartView& b)
{
    return countDifferences(a.shot, b.shot, leftLabelStrip(session.chartOnScreen(), *a.frame, *b.frame));
}

// A click on 測試鍵, then the first picture of the run: the line across the plot.
ChartView startRun(AppSession& session)
{
    session.clickStart();
    return eventually([&] { return readChart(session, "1-running"); },
                      [](const ChartView& v) { return v.lineAcross(); }, 8s);
}

// Press, move in steps, release: real pointer events all the way.
void drag(const AppSession& session, QPoint from, QPoint to, int button)
{
    session.desktop().drag(from, to, 8, button);
}

// Where a zoom drag goes and the left axis range it should leave.
struct ZoomDrag {
    QPoint press;
    QPoint release;
    double minimum; // the value at the release row
    double maximum; // the value at the press row
};

// From the row of `upper` down to the row of `lower`, and from 30 % of the
// plot's width to near its right edge (so that the run, which then keeps
// going from the right end, still has its line across the plot).
ZoomDrag zoomDrag(const PlotFrame& frame, double upper, double lower, double minimum = 0, double maximum = 100)
{
    ZoomDrag drag;
    drag.press = QPoint(frame.left + frame.width() * 3 / 10,
                        static_cast<int>(std::lround(frame.rowOf(upper, minimum, maximum))));
    drag.release = QPoint(frame.right - 4, static_cast<int>(std::lround(frame.rowOf(lower, minimum, maximum))));
    drag.minimum = frame.valueAtRow(drag.release.y(), minimum, maximum);
    drag.maximum = frame.valueAtRow(drag.press.y(), minimum, maximum);
    return drag;
}

// The zoomed chart: level 50 where [minimum, maximum] puts it, labels changed.
bool showsZoom(const AppSession& session, const ChartView& before, const ChartView& v, double minimum, double maximum)
{
    return v.lineAcross() && std::abs(v.line.y - v.frame->rowOf(50, minimum, maximum)) <= 2
           && labelDifferences(session, before, v) > 0;
}

// The start-up ranges again: the left labels pixel for pixel as in `first`
// and the line on its row.
bool showsFirstPicture(const AppSession& session, const ChartView& first, const ChartView& v)
{
    return v.lineAcross() && v.line.y == first.line.y && labelDifferences(session, first, v) == 0;
}

// Dark pixels on the row or column segment between `from` and `to`, ends excluded.
int darkPixelsBetween(const QImage& image, QPoint from, QPoint to)
{
    int count = 0;
    const int steps = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    for (int i = 1; i < steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        count += image.valid(at) && isDark(image.pixel(at));
    }
    return count;
}

TEST(MouseZoom, LeftDragDownRightZoomsBothAxesToTheRectangleAndTheRunKeepsTheLeftRangeUntilTheNextStart)
{
    AppSession session(artefactPrefix());
    const ChartView first = startRun(session);
    ASSERT_TRUE(first.lineAcross()) << first.describe();
    const PlotFrame frame = *first.frame;
    EXPECT_LE(std::abs(first.line.y - frame.rowOf(50, 0, 100)), 1.0) << first.describe();

    // From the row of 80 down to the row of 35: level 50 will sit a third of
    // the way up, not in the middle.
    const ZoomDrag zoom = zoomDrag(frame, 80, 35);
    const Desktop& desktop = session.desktop();
    desktop.moveTo(zoom.press);
    desktop.press(LeftButton);
    const QPoint halfway = zoom.press + (zoom.release - zoom.press) / 2;
    for (int i = 1; i <= 4; ++i)
        desktop.moveTo(zoom.press + (halfway - zoom.press) * i / 4);

    // While the button is down a dotted rectangle runs from the press to the pointer.
    const QPoint cornerRight(halfway.x(), zoom.press.y());
    const QPoint cornerBelow(zoom.press.x(), halfway.y());
    const auto bandSides = [&](const ChartView& v) {
        return std::min(darkPixelsBetween(v.shot, zoom.press, cornerRight),
                        darkPixelsBetween(v.shot, zoom.press, cornerBelow));
    };
    // Dotted: a third to a half of each side's pixels are dark.
    const int bandWidth = halfway.x() - zoom.press.x();
    const int bandHeight = halfway.y() - zoom.press.y();
    const ChartView banding = eventually([&] { return readChart(session, "2-dragging-rubber-band"); },
                                         [&](const ChartView& v) {
                                             return bandSides(v) >= std::min(bandWidth, bandHeight) / 4;
                                         });
    EXPECT_EQ(bandSides(first), 0) << "dark pixels on the band's sides before the drag: " << first.file;
    EXPECT_GE(darkPixelsBetween(banding.shot, zoom.press, cornerRight), bandWidth / 4)
        << "no dotted top edge from " << zoom.press.x() << "," << zoom.press.y() << " to " << cornerRight.x()
        << " while dragging; " << banding.file;
    EXPECT_GE(darkPixelsBetween(banding.shot, zoom.press, cornerBelow), bandHeight / 4)
        << "no dotted left edge from " << zoom.press.x() << "," << zoom.press.y() << " down to " << cornerBelow.y()
        << " while dragging; " << banding.file;

    for (int i = 1; i <= 4; ++i)
        desktop.moveTo(halfway + (zoom.release - halfway) * i / 4);
    desktop.release(LeftButton);

    const ChartView zoomed = eventually([&] { return readChart(session, "3-zoomed-80-to-35"); },
                                        [&](const ChartView& v) {
                                            return showsZoom(session, first, v, zoom.minimum, zoom.maximum);
                                        });
    ASSERT_TRUE(zoomed.lineAcross()) << zoomed.describe();
    const double expectedRow = zoomed.frame->rowOf(50, zoom.minimum, zoom.maximum);
    EXPECT_NEAR(zoomed.line.y, expectedRow, 2.0)
        << "left axis should be [" << zoom.minimum << ", " << zoom.maximum << "] after dragging rows "
        << zoom.press.y() << " to " << zoom.release.y() << "; " << zoomed.describe();
    EXPECT_GT(labelDifferences(session, first, zoomed), 0) << "left labels unchanged: " << zoomed.file;
    EXPECT_EQ(darkPixelsBetween(zoomed.shot, zoom.press, cornerBelow), 0)
        << "the rubber band is still there after the release: " << zoomed.file;

    // A second of ticks later the run has moved on but the left axis has not.
    std::this_thread::sleep_for(1s);
    const ChartView later = readChart(session, "4-zoomed-a-second-later");
    ASSERT_TRUE(later.lineAcross()) << later.describe();
    EXPECT_EQ(later.line.y, zoomed.line.y) << later.describe();
    EXPECT_EQ(labelDifferences(session, zoomed, later), 0) << "left labels changed while running: " << later.file;

    // 測試鍵 again: back to [0, 100].
    session.clickStart();
    const ChartView restarted = eventually([&] { return readChart(session, "5-started-again"); },
                                           [&](const ChartView& v) { return showsFirstPicture(session, first, v); });
    ASSERT_TRUE(restarted.lineAcross()) << restarted.describe();
    EXPECT_EQ(restarted.line.y, first.line.y) << restarted.describe();
    EXPECT_EQ(labelDifferences(session, first, restarted), 0)
        << "left labels differ from the first picture's: " << first.file << " vs " << restarted.file;

    expectCleanExit(session);
}

TEST(MouseZoom, LeftDragUpLeftRestoresTheRangesFromBeforeTheFirstZoomNotBeforeALaterPan)
{
    AppSession session(artefactPrefix());
    const ChartView first = startRun(session);
    ASSERT_TRUE(first.lineAcross()) << first.describe();
    const PlotFrame frame = *first.frame;

    const ZoomDrag zoom = zoomDrag(frame, 80, 35);
    drag(session, zoom.press, zoom.release, LeftButton);
    const ChartView zoomed = eventually([&] { return readChart(session, "2-zoomed-80-to-35"); },
                                        [&](const ChartView& v) {
                                            return showsZoom(session, first, v, zoom.minimum, zoom.maximum);
                                        });
    ASSERT_TRUE(showsZoom(session, first, zoomed, zoom.minimum, zoom.maximum)) << zoomed.describe();

    // A pan after the zoom must not replace the saved ranges.
    const QPoint panFrom = frame.rect().center();
    drag(session, panFrom, panFrom + QPoint(0, 30), RightButton);
    const ChartView panned = eventually([&] { return readChart(session, "3-zoomed-then-panned-down-30"); },
                                        [&](const ChartView& v) {
                                            return v.lineAcross() && v.line.y - zoomed.line.y >= 25;
                                        });
    ASSERT_TRUE(panned.lineAcross()) << panned.describe();
    EXPECT_NEAR(panned.line.y - zoomed.line.y, 30, 2) << zoomed.describe() << "\n" << panned.describe();

    // Up and to the left, more than 16 px both ways.
    const QPoint restoreFrom(frame.left + frame.width() * 7 / 10, frame.top + frame.height() * 7 / 10);
    drag(session, restoreFrom, restoreFrom - QPoint(60, 60), LeftButton);
    const ChartView restored = eventually([&] { return readChart(session, "4-restored"); },
                                          [&](const ChartView& v) { return showsFirstPicture(session, first, v); });
    ASSERT_TRUE(restored.lineAcross()) << restored.describe();
    EXPECT_EQ(labelDifferences(session, first, restored), 0)
        << "left labels differ from the first picture's: " << first.file << " vs " << restored.file;
    EXPECT_LE(std::abs(restored.line.y - restored.frame->rowOf(50, 0, 100)), 1.0) << restored.describe();
    EXPECT_EQ(restored.line.y, first.line.y) << first.describe() << "\n" << restored.describe();

    expectCleanExit(session);
}

TEST(MousePan, RightDragDownMovesThePlotDownWithThePointer)
{
    AppSession session(artefactPrefix());
    const ChartView first = startRun(session);
    ASSERT_TRUE(first.lineAcross()) << first.describe();
    const PlotFrame frame = *first.frame;

    const QPoint from(frame.left + frame.width() / 2, frame.top + frame.height() / 4);
    drag(session, from, from + QPoint(0, 40), RightButton);
    const ChartView panned = eventually([&] { return readChart(session, "2-panned-down-40"); },
                                        [&](const ChartView& v) {
                                            return v.lineAcross() && std::abs(v.line.y - first.line.y - 40) <= 2
                                                   && labelDifferences(session, first, v) > 0;
                                        });
    ASSERT_TRUE(panned.lineAcross()) << panned.describe();
    EXPECT_NEAR(panned.line.y - first.line.y, 40, 2) << first.describe() << "\n" << panned.describe();
    EXPECT_GT(labelDifferences(session, first, panned), 0) << "left labels unchanged: " << panned.file;

    expectCleanExit(session);
}

// Gestures the chart must ignore, each from a point inside the plot unless said otherwise.
struct IgnoredGesture {
    const char* name;
    QPoint offset;  // release minus press
    int button;
    bool pressLeftOfThePlot;
};

TEST(MouseZoom, DragsOfAtMost16PxOutsideThePlotOrWithNothingSavedChangeNothingAndA17PxDragZooms)
{
    AppSession session(artefactPrefix());
    const ChartView first = startRun(session);
    ASSERT_TRUE(first.lineAcross()) << first.describe();
    const PlotFrame frame = *first.frame;

    // Pressing at the row of 52, so that a 17 px zoom still shows level 50,
    // and near the right edge, so that the run, going on from the zoomed
    // bottom axis' maximum, still draws its line across the plot.
    const QPoint press(frame.right - 60, static_cast<int>(std::lround(frame.rowOf(52, 0, 100))));
    const std::vector<IgnoredGesture> ignored{
        {"16-right-40-down", {16, 40}, LeftButton, false},
        {"40-right-16-down", {40, 16}, LeftButton, false},
        {"16-right-16-down", {16, 16}, LeftButton, false},
        {"up-left-with-nothing-saved", {-60, -60}, LeftButton, false},
        {"middle-button-40-right-40-down", {40, 40}, MiddleButton, false},
        {"pressed-left-of-the-plot", {120, 120}, LeftButton, true},
    };
    for (const IgnoredGesture& gesture : ignored) {
        SCOPED_TRACE(gesture.name);
        const QPoint from = gesture.pressLeftOfThePlot ? QPoint(frame.left - 3, press.y()) : press;
        drag(session, from, from + gesture.offset, gesture.button);
        std::this_thread::sleep_for(600ms); // a few ticks and repaints
        const ChartView after = readChart(session, std::string("after-") + gesture.name);
        ASSERT_TRUE(after.lineAcross()) << after.describe();
        EXPECT_EQ(after.line.y, first.line.y) << after.describe();
        EXPECT_EQ(labelDifferences(session, first, after), 0) << "left labels changed: " << after.file;
    }

    const QPoint release = press + QPoint(17, 17);
    const double minimum = frame.valueAtRow(release.y(), 0, 100);
    const double maximum = frame.valueAtRow(press.y(), 0, 100);
    drag(session, press, release, LeftButton);
    const ChartView zoomed = eventually([&] { return readChart(session, "zoomed-by-17-right-17-down"); },
                                        [&](const ChartView& v) { return showsZoom(session, first, v, minimum, maximum); });
    ASSERT_TRUE(zoomed.lineAcross()) << zoomed.describe();
    EXPECT_NEAR(zoomed.line.y, zoomed.frame->rowOf(50, minimum, maximum), 2.0)
        << "left axis should be [" << minimum << ", " << maximum << "]; " << zoomed.describe();
    EXPECT_GT(labelDifferences(session, first, zoomed), 0) << "left labels unchanged: " << zoomed.file;

    expectCleanExit(session);
}

} // namespace
} // namespace e2e
