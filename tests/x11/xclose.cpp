// xclose: asks top-level windows to close, exactly as a window manager's close
// box does: a WM_PROTOCOLS ClientMessage carrying WM_DELETE_WINDOW.
//
//   xclose <window-id>            decimal or 0x-prefixed hexadecimal
//   xclose <window-name-regex>    every client window whose title matches
//                                 (ECMAScript regex, searched in the UTF-8 title)
//
// Prints the id of each window it sent the message to. Exit code 0 when at
// least one message was sent, 1 when no window matched or a window does not
// take part in WM_DELETE_WINDOW, 2 on wrong usage or no display.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

int ignoreXErrors(Display*, XErrorEvent*)
{
    // Windows may vanish while the tree is walked; such errors are expected.
    return 0;
}

std::optional<Window> parseWindowId(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (*end != '\0' || value == 0)
        return std::nullopt;
    return static_cast<Window>(value);
}

std::string windowTitle(Display* display, Window window)
{
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netWmName, 0, 4096, False, utf8, &actualType,
                           &actualFormat, &count, &remaining, &data)
            == Success
        && data) {
        std::string title(reinterpret_cast<const char*>(data), count);
        XFree(data);
        if (actualType == utf8 && actualFormat == 8)
            return title;
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        std::string title(name);
        XFree(name);
        return title;
    }
    return {};
}

bool supportsDelete(Display* display, Window window)
{
    const Atom wmDelete = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom* protocols = nullptr;
    int count = 0;
    bool found = false;
    if (XGetWMProtocols(display, window, &protocols, &count)) {
        for (int i = 0; i < count; ++i)
            found = found || protocols[i] == wmDelete;
        XFree(protocols);
    }
    return found;
}

void collectMatches(Display* display, Window window, const std::regex& pattern,
                    std::vector<Window>& matches)
{
    const std::string title = windowTitle(display, window);
    if (!title.empty() && std::regex_search(title, pattern)) {
        XWindowAttributes attributes;
        // Client windows announce WM_PROTOCOLS; skip helper windows that only carry a name.
        Atom* protocols = nullptr;
        int count = 0;
        const bool isClient = XGetWMProtocols(display, window, &protocols, &count) != 0;
        if (protocols)
            XFree(protocols);
        if (isClient && XGetWindowAttributes(display, window, &attributes)
            && attributes.map_state == IsViewable) {
            matches.push_back(window);
            return; // a client window's children are its own business
        }
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int childCount = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &childCount))
        return;
    for (unsigned int i = 0; i < childCount; ++i)
        collectMatches(display, children[i], pattern, matches);
    if (children)
        XFree(children);
}

void sendDelete(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: xclose <window-id | window-name-regex>\n");
        return 2;
    }
    const std::string target = argv[1];

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xclose: cannot open display '%s'\n", XDisplayName(nullptr));
        return 2;
    }
    XSetErrorHandler(ignoreXErrors);

    std::vector<Window> windows;
    if (const auto id = parseWindowId(target)) {
        windows.push_back(*id);
    } else {
        std::regex pattern;
        try {
            pattern = std::regex(target, std::regex::ECMAScript);
        } catch (const std::regex_error& error) {
            std::fprintf(stderr, "xclose: bad pattern '%s': %s\n", target.c_str(), error.what());
            XCloseDisplay(display);
            return 2;
        }
        collectMatches(display, DefaultRootWindow(display), pattern, windows);
    }
    if (windows.empty()) {
        std::fprintf(stderr, "xclose: no visible window matches '%s'\n", target.c_str());
        XCloseDisplay(display);
        return 1;
    }

    int status = 0;
    for (const Window window : windows) {
        if (!supportsDelete(display, window)) {
            std::fprintf(stderr, "xclose: window 0x%lx does not accept WM_DELETE_WINDOW\n", window);
            status = 1;
            continue;
        }
        sendDelete(display, window);
        std::printf("0x%lx\n", window);
    }
    XSync(display, False);
    XCloseDisplay(display);
    return status;
}
