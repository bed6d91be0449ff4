// End-to-end: the window on screens of 96 and 192 pixels per inch, declared
// by the X server (Xvfb -dpi) or by a desktop (Xft.dpi), read off
// screenshots. The rule: the form's font grows by dpi / 96, every control by
// the height that font really measures over 13 (measured here with
// QFontMetrics), the window keeps its designed size and scrolls; the chart's
// own fonts follow the dpi too. Qt's own scaling must not add a second
// factor: a desktop declaring 192 gives the same picture as a server that
// does.

#include "tests/e2e/AppSession.h"
#include "tests/e2e/ScreenAnalysis.h"
#include "tests/e2e/TestSupport.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>
#include <vector>

namespace e2e {
namespace {

// The form's font as its description gives it: 11 pixels at 96 dpi.
constexpr const char* FormFontName = "MS Sans Serif";
constexpr int DesignFontPixels = 11;
constexpr int DesignTextHeight = 13;

// The column of buttons, by their designed tops; all 25 high.
constexpr int ButtonTops[] = {layout::StartButtonTop, layout::PlusButtonTop, layout::MinusButtonTop};

int mulDiv(int value, int numerator, int denominator)
{
    return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

// The height of the form's font at `pixels` as Qt measures it here, with the
// fonts this machine has (font metrics need a GUI application; an offscreen
// one reads the same fonts).
int measuredTextHeight(int pixels)
{
    static int argc = 1;
    static char name[] = "e2e_tests";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
    QFont font(FormFontName);
    font.setPixelSize(pixels);
    return QFontMetrics(font).height();
}

struct Band {
    int top;
    int bottom;
    int left = 0;
    std::map<int, int> lefts; // where each row's run starts, and how often
    int height() const { return bottom - top + 1; }
};

// Rows right of the plot where a button spans at least `minWidth` pixels
// of non-form colour, grouped into bands; client coordinates.
std::vector<Band> buttonBands(const QImage& shot, const QRect& window, const PlotFrame& frame, QRgb background,
                              int minWidth)
{
    std::vector<Band> bands;
    const int x0 = frame.right + 2;
    const int x1 = window.right() - 20; // clear of a vertical scroll bar
    for (int y = window.top(); y <= window.bottom() - 20; ++y) {
        const HRun run = longestRun(shot, y, x0, x1, otherThan(background));
        if (run.length() < minWidth)
            continue;
        const int row = y - window.top();
        const int left = run.x0 - window.left();
        // A few rows inside a button may match the form's colour exactly
        // (its face's gradient passes through it): they do not split it.
        if (bands.empty() || row - bands.back().bottom > 5)
            bands.push_back({row, row, 0, {}});
        bands.back().bottom = row;
        ++bands.back().lefts[left];
    }
    // A button's left is where most of its rows start: its rounded corners
    // start later, and text right of the plot may touch its edge.
    for (Band& band : bands)
        band.left = std::max_element(band.lefts.begin(), band.lefts.end(), [](const auto& a, const auto& b) {
                        return a.second < b.second;
                    })->first;
    return bands;
}

struct Screen {
    const char* name;
    AppSessionOptions options;
    int dpi; // what the program should scale to
};

void PrintTo(const Screen& screen, std::ostream* out)
{
    *out << screen.name;
}

class Density : public ::testing::TestWithParam<Screen> {};

TEST_P(Density, ControlsFollowTheMeasuredTextHeightAndTheChartsFontsTheDpi)
{
    const Screen& screen = GetParam();
    AppSession session(artefactPrefix(), screen.options);
    const QRect window = session.windowRect();
    const QImage shot = session.screenshot();
    const QRgb background = shot.pixel(window.topLeft() + QPoint(2, 2));

    const int fontPixels = mulDiv(DesignFontPixels, screen.dpi, 96);
    const int textHeight = measuredTextHeight(fontPixels);
    auto scaled = [&](int designed) { return mulDiv(designed, textHeight, DesignTextHeight); };
    char facts[160];
    std::snprintf(facts, sizeof facts, "dpi %d: form font %d px measures %d high; window %dx%d at %d,%d", screen.dpi,
                  fontPixels, textHeight, window.width(), window.height(), window.x(), window.y());
    const std::string context = std::string(facts) + "; see " + artefactPrefix() + ".png";

    // The window keeps its designed outer size whatever the density.
    EXPECT_EQ(window, layout::InitialGeometry) << context;

    // The buttons: tops and heights scaled by the text height; their left
    // is where the window's resize handler puts the column, in its own
    // unscaled pixels: the client width less 90, the client width being
    // the window's less a vertical scroll bar where the controls reach below
    // it (the scroll bar is as wide as the desktop's style makes it).
    const QRect chart = session.chartOnScreen();
    const auto frame = findPlotFrame(shot, chart);
    ASSERT_TRUE(frame.has_value()) << context;
    const std::vector<Band> bands = buttonBands(shot, window, *frame, background, 40);
    std::string found = "button bands:";
    for (const Band& band : bands)
        found += " rows " + std::to_string(band.top) + ".." + std::to_string(band.bottom) + " from column "
                 + std::to_string(band.left);
    ASSERT_EQ(bands.size(), std::size(ButtonTops)) << found << "; " << context;
    // Between the first two buttons only a scroll bar stands at the right edge.
    const QRect gap(QPoint(window.right() - 40, window.top() + bands[0].bottom + 3),
                    QPoint(window.right(), window.top() + bands[1].top - 3));
    const int scrollBar = busyColumnsAtRight(shot, gap, exactly(background));
    const int columnLeft = window.width() - scrollBar - layout::ButtonRightOffset;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        SCOPED_TRACE("button " + std::to_string(i + 1));
        EXPECT_NEAR(bands[i].top, scaled(ButtonTops[i]), 1) << found << "; " << context;
        EXPECT_NEAR(bands[i].height(), scaled(layout::ButtonHeight), 2) << found << "; " << context;
        EXPECT_EQ(bands[i].left, columnLeft) << found << "; scroll bar " << scrollBar << " px; " << context;
    }
    if (screen.dpi == 96) {
        EXPECT_EQ(scrollBar, 0) << "the designed layout fits its window; " << context;
    }

    // The level label's ink lies inside its scaled box, between "++" and "--".
    const int labelTop = window.top() + scaled(layout::LabelTop);
    const QRect labelBox(QPoint(frame->right + 2, labelTop), QPoint(window.right() - 20, labelTop + textHeight - 1));
    const QRect betweenButtons(QPoint(labelBox.left(), window.top() + bands[1].bottom + 1),
                               QPoint(labelBox.right(), window.top() + bands[2].top - 1));
    const auto labelInk = boundingBox(shot, betweenButtons, darkPixel());
    ASSERT_TRUE(labelInk.has_value()) << "no level label; " << context;
    EXPECT_GE(labelInk->top(), labelBox.top()) << context;
    EXPECT_LE(labelInk->bottom(), labelBox.bottom()) << context;
    EXPECT_NEAR(labelInk->left() - window.left(), columnLeft, 2) << "the label stands in the buttons' column; " << context;

    // The chart's title (8-point Arial: 11 px at 96 dpi) and axis labels
    // are drawn at the dpi's size: their ink is about that high.
    const double chartFontPixels = 11.0 * screen.dpi / 96;
    const auto title = boundingBox(shot, QRect(QPoint(chart.left(), window.top()), QPoint(chart.right(), frame->top - 1)),
                                   bluish());
    ASSERT_TRUE(title.has_value()) << "no title; " << context;
    EXPECT_GE(title->height(), 0.6 * chartFontPixels) << context;
    EXPECT_LE(title->height(), 1.2 * chartFontPixels) << context;
    // The bottom axis' labels are digits and commas: their ink from the
    // digits' top to the commas' tails.
    const int labelsBottom = std::min(window.bottom(), frame->bottom + 6 + static_cast<int>(1.4 * chartFontPixels));
    const auto digits =
        boundingBox(shot, QRect(QPoint(frame->left, frame->bottom + 5), QPoint(frame->right, labelsBottom)), darkPixel());
    ASSERT_TRUE(digits.has_value()) << "no bottom axis labels; " << context;
    EXPECT_GE(digits->height(), 0.55 * chartFontPixels) << context;
    EXPECT_LE(digits->height(), 1.1 * chartFontPixels) << context;

    expectCleanExit(session);
}

INSTANTIATE_TEST_SUITE_P(Screens, Density,
                         ::testing::Values(Screen{"Server96", {96, 0}, 96}, Screen{"Server192", {192, 0}, 192},
                                           Screen{"Desktop192", {96, 192}, 192}),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace e2e
