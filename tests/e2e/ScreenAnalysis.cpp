#include "tests/e2e/ScreenAnalysis.h"

#include <algorithm>
#include <cstdio>

namespace e2e {

bool isDark(QRgb pixel, int limit)
{
    return qRed(pixel) <= limit && qGreen(pixel) <= limit && qBlue(pixel) <= limit;
}

PixelTest exactly(QRgb colour)
{
    const QRgb rgb = colour & 0xffffffu;
    return [rgb](QRgb pixel) { return (pixel & 0xffffffu) == rgb; };
}

PixelTest darkPixel(int limit)
{
    return [limit](QRgb pixel) { return isDark(pixel, limit); };
}

PixelTest otherThan(QRgb colour)
{
    const QRgb rgb = colour & 0xffffffu;
    return [rgb](QRgb pixel) { return (pixel & 0xffffffu) != rgb; };
}

PixelTest bluish(int margin)
{
    return [margin](QRgb pixel) { return qBlue(pixel) - std::max(qRed(pixel), qGreen(pixel)) >= margin; };
}

HRun longestRun(const QImage& image, int y, int x0, int x1, const PixelTest& test)
{
    HRun best{y, 0, -1};
    if (y < 0 || y >= image.height())
        return best;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, image.width() - 1);
    int start = -1;
    for (int x = x0; x <= x1 + 1; ++x) {
        const bool hit = x <= x1 && test(image.pixel(x, y));
        if (hit && start < 0)
            start = x;
        if (!hit && start >= 0) {
            if (x - start > best.length())
                best = HRun{y, start, x - 1};
            start = -1;
        }
    }
    return best;
}

HRun longestRunInRows(const QImage& image, const QRect& region, int firstRow, int lastRow, const PixelTest& test)
{
    HRun best;
    firstRow = std::max(firstRow, region.top());
    lastRow = std::min(lastRow, region.bottom());
    for (int y = firstRow; y <= lastRow; ++y) {
        const HRun run = longestRun(image, y, region.left(), region.right(), test);
        if (run.length() > best.length())
            best = run;
    }
    return best;
}

std::optional<PlotFrame> findPlotFrame(const QImage& image, const QRect& chartRegion, double minFraction,
                                       int minHeight)
{
    const QRect region = chartRegion.intersected(image.rect());
    if (region.isEmpty())
        return std::nullopt;
    const int minLength = static_cast<int>(region.width() * minFraction);
    const PixelTest dark = darkPixel();
    std::optional<HRun> first, last;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        const HRun run = longestRun(image, y, region.left(), region.right(), dark);
        if (run.length() < minLength)
            continue;
        if (!first)
            first = run;
        last = run;
    }
    if (!first || last->y - first->y < minHeight)
        return std::nullopt;
    PlotFrame frame;
    frame.top = first->y;
    frame.bottom = last->y;
    frame.left = std::max(first->x0, last->x0);
    frame.right = std::min(first->x1, last->x1);
    return frame;
}

int countDifferences(const QImage& a, const QImage& b, const QRect& region)
{
    int count = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QPoint at(x, y);
            if (!a.valid(at) || !b.valid(at) || (a.pixel(at) & 0xffffffu) != (b.pixel(at) & 0xffffffu))
                ++count;
        }
    return count;
}

std::optional<QRect> boundingBox(const QImage& image, const QRect& region, const PixelTest& test)
{
    std::optional<QRect> box;
    const QRect area = region.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixel(x, y)))
                box = box ? box->united(QRect(x, y, 1, 1)) : QRect(x, y, 1, 1);
    return box;
}

int busyColumnsAtRight(const QImage& image, const QRect& region, const PixelTest& background)
{
    const QRect area = region.intersected(image.rect());
    int count = 0;
    for (int x = area.right(); x >= area.left(); --x) {
        bool busy = false;
        for (int y = area.top(); y <= area.bottom() && !busy; ++y)
            busy = !background(image.pixel(x, y));
        if (!busy)
            break;
        ++count;
    }
    return count;
}

std::string PlotFrame::describe() const
{
    char text[128];
    std::snprintf(text, sizeof text, "frame rows %d..%d, columns %d..%d", top, bottom, left, right);
    return text;
}

std::string describePixel(QRgb pixel)
{
    char text[32];
    std::snprintf(text, sizeof text, "rgb(%d,%d,%d)", qRed(pixel), qGreen(pixel), qBlue(pixel));
    return text;
}

} // namespace e2e
