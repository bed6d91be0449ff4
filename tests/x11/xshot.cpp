// xshot: saves a PNG screenshot of the X display named by $DISPLAY.
//
//   xshot <out.png> [x y width height]
//
// Without a rectangle the whole screen is grabbed. Exit code 0 on success,
// 1 when the grab or the save fails, 2 on wrong usage.

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: xshot <out.png> [x y width height]\n");
    return 2;
}

bool parseInt(const char* text, int& value)
{
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < -100000 || parsed > 100000)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 6)
        return usage();
    int x = 0, y = 0, width = -1, height = -1;
    if (argc == 6 && !(parseInt(argv[2], x) && parseInt(argv[3], y) && parseInt(argv[4], width)
                       && parseInt(argv[5], height) && width > 0 && height > 0))
        return usage();
    const std::string outPath = argv[1];

    // Screenshots are of the real X server, never of an offscreen surface.
    qputenv("QT_QPA_PLATFORM", "xcb");
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "xshot: no screen on display %s\n", qgetenv("DISPLAY").constData());
        return 1;
    }
    const QPixmap shot = screen->grabWindow(0, x, y, width, height);
    if (shot.isNull()) {
        std::fprintf(stderr, "xshot: grabbing the screen failed\n");
        return 1;
    }
    // Save as 32-bit RGB so readers see exactly the pixels the server holds.
    const QImage image = shot.toImage().convertToFormat(QImage::Format_RGB32);
    if (!image.save(QString::fromStdString(outPath), "PNG")) {
        std::fprintf(stderr, "xshot: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
