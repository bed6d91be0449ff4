// End-to-end: thousands of random real input events against the running
// program on a private Xvfb, as a person let loose on it would send them:
// clicks on the buttons and anywhere, left, right and middle drags and the
// wheel in the chart, resizes from tiny to larger than the screen, and
// keystrokes (none that close a window). Afterwards the program is alive,
// showed no error box, holds its points in reasonable memory, still starts
// a run that draws, and ends with exit code 0 when closed.
//
// STRESS_EVENTS and STRESS_SEED run more, fewer or other events.

#include "tests/e2e/AppSession.h"
#include "tests/e2e/ScreenAnalysis.h"
#include "tests/e2e/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

namespace e2e {
namespace {

std::uint64_t fromEnvironment(const char* name, std::uint64_t fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

// Resident memory of a process in MiB, from /proc; -1 when unreadable.
double residentMiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return -1;
}

// Keys a person might press; none of them closes a window (no Escape, no
// Return, no Alt+F4): space presses the button that has the focus.
constexpr const char* Keys[] = {"Tab", "shift+Tab", "space", "a", "z", "Q", "1", "0", "plus", "minus",
                                "Left", "Right", "Up", "Down", "Home", "End", "Prior", "Next",
                                "BackSpace", "Delete", "F1", "F5", "ctrl+a", "shift+space"};

class Stress {
public:
    Stress(AppSession& session, std::uint64_t seed)
        : session_(session)
        , random_(seed)
        , window_(session.windowRect())
    {
    }

    // Adds one random event to the pending xdotool command line.
    void next()
    {
        const int kind = uniform(0, 99);
        if (kind < 20)
            clickButton();
        else if (kind < 40)
            clickAnywhere();
        else if (kind < 65)
            dragInChart();
        else if (kind < 72)
            resize();
        else
            key();
        ++events_;
        if (pending_.size() > 120)
            flush();
    }

    void flush()
    {
        if (pending_.empty())
            return;
        std::vector<std::string> argv{E2E_XDOTOOL};
        argv.insert(argv.end(), pending_.begin(), pending_.end());
        pending_.clear();
        session_.desktop().runClient(argv, 30s);
        if (resized_) {
            // Where the controls are now depends on the size the window took.
            std::this_thread::sleep_for(50ms);
            window_ = session_.windowRect();
            resized_ = false;
        }
    }

    // A right click on a scroll bar opens the window system's context
    // menu, a window of its own; a click on the bare form closes it. An
    // error box, being modal, would stay.
    void closePopups()
    {
        moveTo(window_.topLeft() + QPoint(3, 3));
        pending_.insert(pending_.end(), {"click", "--delay", "0", "1"});
        flush();
        std::this_thread::sleep_for(200ms);
    }

    std::uint64_t events() const { return events_; }

private:
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void moveTo(QPoint p)
    {
        p.setX(std::clamp(p.x(), 0, 1279));
        p.setY(std::clamp(p.y(), 0, 1023));
        pending_.insert(pending_.end(), {"mousemove", std::to_string(p.x()), std::to_string(p.y())});
    }

    void clickButton()
    {
        static constexpr int tops[] = {layout::StartButtonTop, layout::PlusButtonTop, layout::MinusButtonTop};
        const int top = tops[uniform(0, 2)];
        const QRect button = layout::button(window_.size(), top).translated(window_.topLeft());
        moveTo(button.center() + QPoint(uniform(-30, 30), uniform(-10, 10)));
        pending_.insert(pending_.end(), {"click", "--delay", "0", "1"});
    }

    void clickAnywhere()
    {
        moveTo(window_.topLeft() + QPoint(uniform(-20, window_.width() + 20), uniform(-20, window_.height() + 20)));
        static constexpr const char* buttons[] = {"1", "1", "2", "3", "4", "5"};  // 4 and 5: the wheel
        pending_.insert(pending_.end(), {"click", "--delay", "0", buttons[uniform(0, 5)]});
    }

    void dragInChart()
    {
        const QRect chart = layout::chart(window_.size()).translated(window_.topLeft());
        static constexpr const char* buttons[] = {"1", "1", "3", "3", "2"};
        const std::string button = buttons[uniform(0, 4)];
        QPoint at = chart.topLeft() + QPoint(uniform(-10, std::max(0, chart.width()) + 10),
                                             uniform(-10, std::max(0, chart.height()) + 10));
        moveTo(at);
        pending_.insert(pending_.end(), {"mousedown", button});
        for (int steps = uniform(1, 5); steps > 0; --steps) {
            at += QPoint(uniform(-200, 200), uniform(-150, 150));
            moveTo(at);
        }
        pending_.insert(pending_.end(), {"mouseup", button});
    }

    void resize()
    {
        int width = 0, height = 0;
        switch (uniform(0, 3)) {
        case 0: // tiny
            width = uniform(1, 120);
            height = uniform(1, 90);
            break;
        case 1: // larger than the screen
            width = uniform(1300, 2600);
            height = uniform(1030, 2000);
            break;
        default:
            width = uniform(200, 1200);
            height = uniform(150, 950);
            break;
        }
        pending_.insert(pending_.end(),
                        {"windowsize", std::to_string(session_.window()), std::to_string(width), std::to_string(height)});
        resized_ = true;
        flush();
    }

    void key()
    {
        moveTo(window_.topLeft() + QPoint(uniform(0, window_.width()), uniform(0, window_.height())));
        pending_.insert(pending_.end(), {"key", "--delay", "0", Keys[uniform(0, static_cast<int>(std::size(Keys)) - 1)]});
    }

    AppSession& session_;
    std::mt19937_64 random_;
    QRect window_;
    std::vector<std::string> pending_;
    bool resized_ = false;
    std::uint64_t events_ = 0;
};

// The windows of the program that are shown: the main window alone, unless
// an error box opened (or a context menu is open).
std::vector<WindowId> visibleWindows(AppSession& session)
{
    RunResult result = run({E2E_XDOTOOL, "search", "--onlyvisible", "--pid", std::to_string(session.app().pid())},
                           session.server().clientOptions(), 10s);
    std::vector<WindowId> ids;
    std::istringstream lines(result.out);
    for (WindowId id = 0; lines >> id;)
        ids.push_back(id);
    return ids;
}

TEST(Stress, ThousandsOfRandomRealEventsLeaveItRunningWithoutAnErrorAndItClosesWithExitCode0)
{
    const std::uint64_t total = fromEnvironment("STRESS_EVENTS", 3000);
    const std::uint64_t seed = fromEnvironment("STRESS_SEED", 20261211);
    const auto timeLimit = 150s;

    AppSession session(artefactPrefix());
    ASSERT_EQ(visibleWindows(session), std::vector<WindowId>{session.window()});
    session.clickStart();
    const auto begin = std::chrono::steady_clock::now();

    Stress stress(session, seed);
    while (stress.events() < total && std::chrono::steady_clock::now() - begin < timeLimit) {
        stress.next();
        if (stress.events() % 500 == 0) {
            stress.closePopups();
            ASSERT_TRUE(session.app().running()) << "ended after " << stress.events() << " events: "
                                                 << session.app().status()->describe() << "\n"
                                                 << session.appLog();
            ASSERT_EQ(visibleWindows(session).size(), 1u) << "a second window (an error box?) after "
                                                          << stress.events() << " events";
        }
    }
    stress.closePopups();
    std::this_thread::sleep_for(300ms);  // let the last events through
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;
    EXPECT_EQ(stress.events(), total) << "not all events were sent within the time limit";

    ASSERT_TRUE(session.app().running()) << session.app().status()->describe() << "\n" << session.appLog();
    EXPECT_EQ(visibleWindows(session), std::vector<WindowId>{session.window()}) << "a second window: an error box";
    const double rss = residentMiB(session.app().pid());
    // A point takes some 16 bytes and a run adds ten a second: the window
    // system's own memory is nearly all of it.
#ifdef VD_SANITIZED
    const double limit = 1024;  // the sanitizers' shadow memory and quarantine
#else
    const double limit = 150;
#endif
    EXPECT_GT(rss, 0);
    EXPECT_LT(rss, limit) << "MiB resident";

    // Still working: back at its size, a new start draws the level-50 line
    // across the plot.
    session.desktop().resize(session.window(), layout::InitialGeometry.width(), layout::InitialGeometry.height());
    std::this_thread::sleep_for(300ms);
    session.clickStart();
    const QRect chart = session.chartOnScreen();
    const auto line = eventually(
        [&] {
            const QImage shot = session.screenshot(".after");
            const auto frame = findPlotFrame(shot, chart);
            if (!frame)
                return std::make_pair(HRun{}, 0);
            const double mid = frame->rowOf(50, 0, 100);
            const QRect plot(frame->left, frame->top, frame->width(), frame->height());
            return std::make_pair(longestRunInRows(shot, plot, static_cast<int>(std::floor(mid - 2)),
                                                   static_cast<int>(std::ceil(mid + 2)), exactly(qRgb(0, 0, 255))),
                                  frame->width());
        },
        [](const auto& reading) { return reading.second > 0 && reading.first.length() >= 0.8 * reading.second; },
        8s);
    EXPECT_GE(line.first.length(), 0.8 * line.second)
        << "no blue line at level 50 after a new start; see " << artefactPrefix() << ".after.png";

    std::printf("[ stress ] %llu events in %.1f s, %.1f MiB resident after them\n",
                static_cast<unsigned long long>(stress.events()), spent.count(), rss);
    const auto status = session.closeAndWait(30s);
    ASSERT_TRUE(status.has_value()) << "still running 30 s after WM_DELETE_WINDOW\n" << session.appLog();
    EXPECT_TRUE(status->success()) << status->describe() << "\n" << session.appLog();
    std::printf("[ stress ] closed: %s\n", status->describe().c_str());
}

} // namespace
} // namespace e2e
