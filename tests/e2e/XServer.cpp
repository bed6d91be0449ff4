#include "tests/e2e/XServer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace e2e {

namespace {

std::string readFile(const std::string& path)
{
    if (path.empty())
        return {};
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

XServer::XServer(XServerOptions options)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    const int readFd = fds[0];
    const int writeFd = fds[1];

    ProcessOptions processOptions;
    processOptions.logFile = options.logFile;
    processOptions.inheritFd = writeFd;
    const std::string screen = std::to_string(options.width) + "x" + std::to_string(options.height) + "x"
                               + std::to_string(options.depth);
    try {
        process_ = std::make_unique<Process>(
            std::vector<std::string>{E2E_XVFB, "-displayfd", std::to_string(writeFd), "-screen", "0", screen,
                                     "-dpi", std::to_string(options.dpi), "-nolisten", "tcp", "-noreset"},
            processOptions);
    } catch (...) {
        ::close(readFd);
        ::close(writeFd);
        throw;
    }
    ::close(writeFd);

    // Xvfb writes the display number and a newline once it accepts clients.
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + options.startTimeout;
    bool complete = false;
    while (!complete) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd pfd{readFd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char buffer[32];
        const ssize_t n = ::read(readFd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // Xvfb closed the pipe: it ended
        number.append(buffer, static_cast<size_t>(n));
        complete = number.find('\n') != std::string::npos;
    }
    ::close(readFd);

    if (!complete) {
        process_->terminate(2s);
        throw std::runtime_error("Xvfb did not report a display within "
                                 + std::to_string(options.startTimeout.count()) + " ms ("
                                 + process_->status()->describe() + ")\n" + readFile(options.logFile));
    }
    display_ = ":" + number.substr(0, number.find('\n'));
}

XServer::~XServer()
{
    stop();
}

void XServer::stop()
{
    if (process_)
        process_->terminate(5s);
}

ProcessOptions XServer::clientOptions(std::string logFile) const
{
    ProcessOptions options;
    options.setEnv = {{"DISPLAY", display_}, {"QT_QPA_PLATFORM", "xcb"}};
    options.unsetEnv = {"WAYLAND_DISPLAY", "XAUTHORITY"};
    options.logFile = std::move(logFile);
    return options;
}

} // namespace e2e
