#include "tests/e2e/Desktop.h"

#include "tests/e2e/XServer.h"

#include <QFile>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace e2e {

namespace {

std::string commandFailure(const std::vector<std::string>& argv, const RunResult& result)
{
    std::string text = quoteCommand(argv) + ": ";
    text += result.timedOut ? std::string("timed out") : result.status.describe();
    if (!result.err.empty())
        text += "\n" + result.err;
    return text;
}

std::string tempPngPath()
{
    static int counter = 0;
    return "/tmp/e2e-shot-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".png";
}

} // namespace

Desktop::Desktop(const XServer& server)
    : clientOptions_(server.clientOptions())
{
}

RunResult Desktop::runClient(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) const
{
    RunResult result = run(argv, clientOptions_, timeout);
    if (!result.ok())
        throw std::runtime_error(commandFailure(argv, result));
    return result;
}

RunResult Desktop::xdotool(const std::vector<std::string>& args, std::chrono::milliseconds timeout) const
{
    std::vector<std::string> argv{E2E_XDOTOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    return run(argv, clientOptions_, timeout);
}

std::optional<WindowId> Desktop::waitForWindow(const std::string& nameRegex, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        // Poll rather than `search --sync`, so no child can hang past the deadline.
        const RunResult result = xdotool({"search", "--onlyvisible", "--name", nameRegex}, 5s);
        if (result.ok()) {
            std::istringstream lines(result.out);
            WindowId id = 0;
            if (lines >> id)
                return id;
        }
        std::this_thread::sleep_for(100ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

bool Desktop::windowExists(const std::string& nameRegex) const
{
    const RunResult result = xdotool({"search", "--onlyvisible", "--name", nameRegex}, 5s);
    return result.ok() && result.out.find_first_of("0123456789") != std::string::npos;
}

QRect Desktop::geometry(WindowId window) const
{
    const std::vector<std::string> args{"getwindowgeometry", "--shell", std::to_string(window)};
    const RunResult result = xdotool(args);
    if (!result.ok())
        throw std::runtime_error(commandFailure(args, result));
    int x = 0, y = 0, width = 0, height = 0, found = 0;
    std::istringstream lines(result.out);
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const int value = std::stoi(line.substr(eq + 1));
        if (key == "X") { x = value; ++found; }
        else if (key == "Y") { y = value; ++found; }
        else if (key == "WIDTH") { width = value; ++found; }
        else if (key == "HEIGHT") { height = value; ++found; }
    }
    if (found != 4)
        throw std::runtime_error("unexpected xdotool getwindowgeometry output:\n" + result.out);
    return QRect(x, y, width, height);
}

void Desktop::moveTo(QPoint screenPos) const
{
    const std::vector<std::string> args{"mousemove", "--sync", std::to_string(screenPos.x()),
                                        std::to_string(screenPos.y())};
    const RunResult result = xdotool(args);
    if (!result.ok())
        throw std::runtime_error(commandFailure(args, result));
}

void Desktop::click(QPoint screenPos, int button) const
{
    moveTo(screenPos);
    const std::vector<std::string> args{"click", std::to_string(button)};
    const RunResult result = xdotool(args);
    if (!result.ok())
        throw std::runtime_error(commandFailure(args, result));
}

void Desktop::press(int button) const
{
    const std::vector<std::string> args{"mousedown", std::to_string(button)};
    const RunResult result = xdotool(args);
    if (!result.ok())
        throw std::runtime_error(commandFailure(args, result));
}

void Desktop::release(int button) const
{
    const std::vector<std::string> args{"mouseup", std::to_string(button)};
    const RunResult result = xdotool(args);
    if (!result.ok())
        throw std::runtime_error(commandFailure(args, result));
}

void Desktop::drag(QPoint from, QPoint to, int steps, int button) const
{
    moveTo(from);
    press(button);
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        moveTo(at);
        std::this_thread::sleep_for(20ms);
    }
    release(button);
}

void Desktop::focus(WindowId window) const
{
    const std::vector<std::string> args{"windowfocus", "--sync", std::to_string(window)};
    const RunResult result = xdotool(args);
    if (!result.ok())
        throw std::runtime_error(commandFailure(args, result));
}

void Desktop::key(const std::string& keys) const
{
    const std::vector<std::string> args{"key", "--delay", "50", keys};
    const RunResult result = xdotool(args);
    if (!result.ok())
        throw std::runtime_error(commandFailure(args, result));
}

void Desktop::declareDpi(int dpi) const
{
    runClient({E2E_XPROP, "-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
               "Xft.dpi:\t" + std::to_string(dpi) + "\n"});
}

void Desktop::resize(WindowId window, int width, int height) const
{
    const std::vector<std::string> args{"windowsize", "--sync", std::to_string(window), std::to_string(width),
                                        std::to_string(height)};
    const RunResult result = xdotool(args);
    if (!result.ok())
        throw std::runtime_error(commandFailure(args, result));
}

QImage Desktop::screenshot(const std::string& savePath) const
{
    const std::string path = savePath.empty() ? tempPngPath() : savePath;
    runClient({E2E_XSHOT, path});
    QImage image(QString::fromStdString(path));
    if (savePath.empty())
        QFile::remove(QString::fromStdString(path));
    if (image.isNull())
        throw std::runtime_error("cannot read the screenshot " + path);
    return image.convertToFormat(QImage::Format_RGB32);
}

void Desktop::close(WindowId window) const
{
    runClient({E2E_XCLOSE, std::to_string(window)}, 10s);
}

} // namespace e2e

