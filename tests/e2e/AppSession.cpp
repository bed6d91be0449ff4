#include "tests/e2e/AppSession.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace e2e {

AppSession::AppSession(std::string artefactPrefix, AppSessionOptions options)
    : prefix_(std::move(artefactPrefix))
{
    XServerOptions serverOptions;
    serverOptions.logFile = prefix_ + ".xvfb.log";
    serverOptions.dpi = options.serverDpi;
    server_ = std::make_unique<XServer>(serverOptions);
    desktop_ = std::make_unique<Desktop>(*server_);
    if (options.desktopDpi > 0)
        desktop_->declareDpi(options.desktopDpi);
    app_ = std::make_unique<Process>(std::vector<std::string>{VOLTAGE_DISPLAY_BINARY},
                                     server_->clientOptions(prefix_ + ".app.log"));

    const auto window = desktop_->waitForWindow(layout::WindowTitleRegex, 20s);
    if (!window) {
        const std::string state = app_->running() ? "still running" : app_->status()->describe();
        throw std::runtime_error("no window titled " + std::string(layout::WindowTitleRegex)
                                 + " appeared within 20 s; the program is " + state + "\n" + appLog());
    }
    window_ = *window;
    // Mapped is not yet painted: give the first layout and paint a moment.
    std::this_thread::sleep_for(500ms);
}

AppSession::~AppSession()
{
    if (app_)
        app_->terminate(2s);
    desktop_.reset();
    if (server_)
        server_->stop();
}

QRect AppSession::windowRect() const
{
    return desktop_->geometry(window_);
}

QRect AppSession::chartOnScreen() const
{
    const QRect window = windowRect();
    return layout::chart(window.size()).translated(window.topLeft());
}

void AppSession::clickButton(int top) const
{
    const QRect window = windowRect();
    const QRect button = layout::button(window.size(), top).translated(window.topLeft());
    desktop_->click(button.center());
}

QImage AppSession::screenshot(const std::string& suffix) const
{
    return desktop_->screenshot(prefix_ + suffix + ".png");
}

std::optional<ExitStatus> AppSession::closeAndWait(std::chrono::milliseconds timeout)
{
    desktop_->close(window_);
    return app_->waitFor(timeout);
}

std::string AppSession::appLog() const
{
    std::ifstream in(prefix_ + ".app.log");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace e2e
