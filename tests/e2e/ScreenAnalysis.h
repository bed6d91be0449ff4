#pragma once

// Reading a chart off a screenshot: pixel classes, horizontal runs, the plot
// frame (the 1-pixel dark rectangle around the plot area) and lines of a
// given colour inside it.

#include <QImage>
#include <QRect>
#include <QRgb>

#include <functional>
#include <optional>
#include <string>

namespace e2e {

using PixelTest = std::function<bool(QRgb)>;

// Dark enough for a frame or an axis: every channel at most `limit`.
bool isDark(QRgb pixel, int limit = 100);
// Exactly the colour, no antialiasing.
PixelTest exactly(QRgb colour);
PixelTest darkPixel(int limit = 100);
// Any colour but this one (a control's pixels against the window's background).
PixelTest otherThan(QRgb colour);
// Blue standing clearly above red and green: pure blue and the antialiased
// edges of blue text on a light background, but no grey, black or white.
PixelTest bluish(int margin = 60);

// A horizontal run of pixels [x0, x1] on row y.
struct HRun {
    int y = -1;
    int x0 = 0;
    int x1 = -1;
    int length() const { return x1 - x0 + 1; }
    bool empty() const { return length() <= 0; }
};

// Longest run of matching pixels on row y between columns x0 and x1 (inclusive).
HRun longestRun(const QImage& image, int y, int x0, int x1, const PixelTest& test);

// The longest run found on any row of `rows` inside `region` (rows clipped to the region).
HRun longestRunInRows(const QImage& image, const QRect& region, int firstRow, int lastRow, const PixelTest& test);

// The plot area's frame, in image coordinates: its top and bottom rows and
// the left and right ends of those lines.
struct PlotFrame {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;

    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    // The row a value maps to on a vertical axis running from `minimum`
    // at the bottom row to `maximum` at the top row.
    double rowOf(double value, double minimum, double maximum) const
    {
        return bottom - (value - minimum) / (maximum - minimum) * (bottom - top);
    }
    // The inverse: the value on that axis at row y.
    double valueAtRow(double y, double minimum, double maximum) const
    {
        return minimum + (bottom - y) / (bottom - top) * (maximum - minimum);
    }
    QRect rect() const { return QRect(left, top, width(), height()); }
    // Inside the frame lines.
    QRect inside() const { return rect().adjusted(1, 1, -1, -1); }
    std::string describe() const;
};

// Finds the frame inside `chartRegion`: the rows whose longest dark run
// covers at least `minFraction` of the region's width; the first is the top,
// the last the bottom. Nothing when fewer than two such rows lie at least
// `minHeight` apart.
std::optional<PlotFrame> findPlotFrame(const QImage& image, const QRect& chartRegion, double minFraction = 0.5,
                                       int minHeight = 20);

// How many pixels of `region` differ between the two images (a pixel
// outside either image counts as different).
int countDifferences(const QImage& a, const QImage& b, const QRect& region);

// The smallest rectangle holding every matching pixel of `region`; nothing
// when none matches.
std::optional<QRect> boundingBox(const QImage& image, const QRect& region, const PixelTest& test);

// How many columns at the right edge of `region`, side by side, hold at
// least one pixel that fails `background`: a vertical scroll bar's width.
int busyColumnsAtRight(const QImage& image, const QRect& region, const PixelTest& background);

std::string describePixel(QRgb pixel);

} // namespace e2e
