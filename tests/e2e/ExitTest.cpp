// End-to-end: the exit code after the window system made a popup window
// of its own. A low window has a vertical scroll bar, and a right click on
// it opens the scroll bar's context menu; once such a window has been
// closed, ending the program must still tear everything down in order and
// give exit code 0.

#include "tests/e2e/AppSession.h"
#include "tests/e2e/TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace e2e {
namespace {

TEST(Exit, AfterTheScrollBarsContextMenuWasOpenedAndClosedTheExitCodeIs0)
{
    AppSession session(artefactPrefix());
    session.desktop().resize(session.window(), 300, 150);
    std::this_thread::sleep_for(300ms);
    const QRect window = session.windowRect();
    ASSERT_EQ(window.size(), QSize(300, 150));

    session.desktop().click(window.topLeft() + QPoint(window.width() - 8, window.height() / 2), 3);
    std::this_thread::sleep_for(500ms);
    session.screenshot(".menu");
    session.desktop().click(window.topLeft() + QPoint(3, 3));  // outside the menu: it closes
    std::this_thread::sleep_for(300ms);

    expectCleanExit(session);
}

} // namespace
} // namespace e2e
