#pragma once

// What a person does at an X display, done from outside the program under
// test: find a window, read its geometry, move the pointer and click (XTEST,
// through xdotool), take screenshots (xshot) and press the close box (xclose).

#include <QImage>
#include <QPoint>
#include <QRect>

#include <chrono>
#include <optional>
#include <string>

#include "tests/e2e/Process.h"

namespace e2e {

class XServer;

using WindowId = unsigned long;

class Desktop {
public:
    explicit Desktop(const XServer& server);

    // Waits until a visible window whose title matches `nameRegex` is mapped.
    std::optional<WindowId> waitForWindow(const std::string& nameRegex,
                                          std::chrono::milliseconds timeout = 20s) const;
    // The window's client area in screen coordinates.
    QRect geometry(WindowId window) const;
    // True while a visible window with that title exists.
    bool windowExists(const std::string& nameRegex) const;

    void moveTo(QPoint screenPos) const;
    void click(QPoint screenPos, int button = 1) const;
    void press(int button = 1) const;
    void release(int button = 1) const;
    // Press at `from`, move in `steps` steps to `to`, release there.
    void drag(QPoint from, QPoint to, int steps = 10, int button = 1) const;

    // Gives the window the keyboard focus (no window manager does it), then
    // types keys as xdotool names them ("Tab", "space", "shift+Tab").
    void focus(WindowId window) const;
    void key(const std::string& keys) const;

    // Declares the screen's density as a desktop does, in the X resources
    // (Xft.dpi), for programs started afterwards.
    void declareDpi(int dpi) const;

    // Resizes/moves a top-level window (no window manager: a plain configure).
    void resize(WindowId window, int width, int height) const;

    // Grabs the whole screen; saves the PNG to `savePath` when it is not empty.
    QImage screenshot(const std::string& savePath = {}) const;

    // Sends WM_DELETE_WINDOW, as a window manager's close box does.
    void close(WindowId window) const;

    // Runs a command as a client of this display; throws when it fails.
    RunResult runClient(const std::vector<std::string>& argv,
                        std::chrono::milliseconds timeout = 20s) const;

private:
    RunResult xdotool(const std::vector<std::string>& args, std::chrono::milliseconds timeout = 10s) const;

    ProcessOptions clientOptions_;
};

} // namespace e2e
