// End-to-end: the real voltage-display on a private Xvfb, driven with real
// pointer events, judged by what the screen shows and how the process ends.

#include "tests/e2e/AppSession.h"
#include "tests/e2e/ScreenAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace e2e {
namespace {

constexpr QRgb Blue = qRgb(0, 0, 255);

std::string artefactPrefix()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("e2e-") + info->test_suite_name() + "." + info->name();
}

void expectCleanExit(AppSession& session)
{
    const auto status = session.closeAndWait(5s);
    ASSERT_TRUE(status.has_value()) << "still running 5 s after WM_DELETE_WINDOW\n" << session.appLog();
    EXPECT_TRUE(status->success()) << status->describe() << "\n" << session.appLog();
}

TEST(MainWindow, OpensAtItsPlaceWithItsClientSizeAndClosesWithExitCode0)
{
    AppSession session(artefactPrefix());
    EXPECT_EQ(session.windowRect(), layout::InitialGeometry);
    session.screenshot();
    expectCleanExit(session);
}

TEST(StartRun, DrawsABlueLineAtLevel50AcrossThePlotAndClosesWithExitCode0)
{
    AppSession session(artefactPrefix());
    session.clickStart();
    session.clickPlus();
    std::this_thread::sleep_for(2s);

    // A slow machine may need longer than 2 s: look again for a few seconds.
    const QRect chart = session.chartOnScreen();
    std::optional<PlotFrame> frame;
    HRun line;
    HRun anyBlue; // the longest blue run anywhere in the plot, for the failure message
    double midRow = 0;
    for (int attempt = 0; attempt < 6; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(1s);
        const QImage shot = session.screenshot();
        ASSERT_TRUE(shot.rect().contains(chart)) << "chart off screen";
        frame = findPlotFrame(shot, chart);
        if (!frame)
            continue;
        midRow = frame->rowOf(50, 0, 100);
        const QRect plot(frame->left, frame->top, frame->width(), frame->height());
        line = longestRunInRows(shot, plot, static_cast<int>(std::floor(midRow - 2)),
                                static_cast<int>(std::ceil(midRow + 2)), exactly(Blue));
        anyBlue = longestRunInRows(shot, plot, plot.top(), plot.bottom(), exactly(Blue));
        if (line.length() >= 0.8 * frame->width())
            break;
    }

    ASSERT_TRUE(frame.has_value()) << "no plot frame (long dark horizontal lines) in the chart at "
                                   << chart.x() << "," << chart.y() << " " << chart.width() << "x"
                                   << chart.height() << "; see " << artefactPrefix() << ".png";
    EXPECT_GE(line.length(), 0.8 * frame->width())
        << "no pure blue line across the plot at row " << midRow << " +-2 (" << frame->describe()
        << "); longest blue run there: " << line.length() << " px; longest anywhere in the plot: "
        << anyBlue.length() << " px on row " << anyBlue.y << "; see " << artefactPrefix() << ".png";
    if (!line.empty()) {
        EXPECT_LE(std::abs(line.y - midRow), 2.0);
        EXPECT_GE(line.x0, frame->left);
        EXPECT_LE(line.x1, frame->right);
    }

    expectCleanExit(session);
}

} // namespace
} // namespace e2e
