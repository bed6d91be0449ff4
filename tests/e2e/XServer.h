#pragma once

// A private Xvfb for one test: started on the first free display (Xvfb picks
// it and tells us through -displayfd), stopped by the destructor.

#include "tests/e2e/Process.h"

#include <chrono>
#include <memory>
#include <string>

namespace e2e {

struct XServerOptions {
    int width = 1280;
    int height = 1024;
    int depth = 24;
    // The resolution the server declares for its screen (Xvfb -dpi).
    int dpi = 96;
    // Xvfb's own output goes here (empty: discarded).
    std::string logFile;
    std::chrono::milliseconds startTimeout = 15s;
};

class XServer {
public:
    // Throws std::runtime_error when Xvfb does not come up in time.
    explicit XServer(XServerOptions options = {});
    ~XServer();

    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // ":N", for $DISPLAY.
    const std::string& display() const { return display_; }
    // Environment for a client of this server: DISPLAY set, other platforms off.
    ProcessOptions clientOptions(std::string logFile = {}) const;

    // Stops the server (the destructor does it too).
    void stop();

private:
    std::unique_ptr<Process> process_;
    std::string display_;
};

} // namespace e2e
