#pragma once

// voltage-display running on a private Xvfb, for tests that drive it from
// outside like a person: where its controls are, clicking them, closing it.

#include "tests/e2e/Desktop.h"
#include "tests/e2e/Process.h"
#include "tests/e2e/XServer.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <memory>
#include <optional>
#include <string>

namespace e2e {

// The main window's layout, in client coordinates, for a given client size.
namespace layout {
inline constexpr const char* WindowTitleRegex = "^Qel Tchart$";
inline constexpr QRect InitialGeometry{56, 134, 610, 422};

inline constexpr int ButtonRightOffset = 90; // buttons' left = client width - 90
inline constexpr int ButtonWidth = 75;
inline constexpr int ButtonHeight = 25;
inline constexpr int StartButtonTop = 40;  // 測試鍵
inline constexpr int PlusButtonTop = 128;  // ++
inline constexpr int MinusButtonTop = 184; // --
inline constexpr int LabelTop = 160;

inline QRect button(QSize client, int top)
{
    return QRect(client.width() - ButtonRightOffset, top, ButtonWidth, ButtonHeight);
}
inline QRect chart(QSize client)
{
    return QRect(8, 8, client.width() - 105, client.height() - 15);
}
} // namespace layout

// The screen the program meets.
struct AppSessionOptions {
    // The X server's declared resolution (Xvfb -dpi).
    int serverDpi = 96;
    // The density a desktop declares as Xft.dpi before the program starts;
    // 0 declares none.
    int desktopDpi = 0;
};

class AppSession {
public:
    // Starts Xvfb and the program, and waits for its window. Logs and
    // screenshots are named `<artefactPrefix>.*` in the working directory.
    explicit AppSession(std::string artefactPrefix, AppSessionOptions options = {});
    ~AppSession();

    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    XServer& server() { return *server_; }
    const Desktop& desktop() const { return *desktop_; }
    Process& app() { return *app_; }
    WindowId window() const { return window_; }

    // The window's client area on screen, as it is now.
    QRect windowRect() const;
    QPoint toScreen(QPoint client) const { return windowRect().topLeft() + client; }
    QRect chartOnScreen() const;

    void clickButton(int top) const;
    void clickStart() const { clickButton(layout::StartButtonTop); }
    void clickPlus() const { clickButton(layout::PlusButtonTop); }
    void clickMinus() const { clickButton(layout::MinusButtonTop); }

    // Screenshot of the whole screen, also saved as `<artefactPrefix><suffix>.png`.
    QImage screenshot(const std::string& suffix = {}) const;

    // Presses the close box and waits for the program to end.
    std::optional<ExitStatus> closeAndWait(std::chrono::milliseconds timeout = 5s);

    // What the program printed so far.
    std::string appLog() const;

private:
    std::string prefix_;
    std::unique_ptr<XServer> server_;
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<Process> app_;
    WindowId window_ = 0;
};

} // namespace e2e
