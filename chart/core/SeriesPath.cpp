#include "chart/core/SeriesPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace chart {

namespace {

// Clipping happens in data coordinates: the plot rectangle in pixels is the
// image of the visible ranges under an axis-aligned affine map, so a
// segment cut against the ranges and then mapped lands exactly where the
// mapped segment cut against the rectangle would, while every number stays
// a finite double however far off-screen a point is. Only clipped ends are
// mapped to pixels, and those always fall inside the area.
struct DataPoint {
  double x;
  double y;
};

struct Box {
  double xmin;
  double xmax;
  double ymin;
  double ymax;
};

enum : unsigned { kLeftOf = 1, kRightOf = 2, kBelow = 4, kAbove = 8 };

unsigned Outcode(const DataPoint& p, const Box& box) {
  unsigned code = 0;
  if (p.x < box.xmin) {
    code |= kLeftOf;
  } else if (p.x > box.xmax) {
    code |= kRightOf;
  }
  if (p.y < box.ymin) {
    code |= kBelow;
  } else if (p.y > box.ymax) {
    code |= kAbove;
  }
  return code;
}

// Where segment a-b crosses the line at `edge` along one axis (a and b given
// as (along, across) pairs, the edge lying between a's and b's `along`):
// the `across` coordinate there. Anchored at the end nearer the edge, so a
// point at 1e300 costs no precision at the end that is on screen; halved
// differences never overflow.
double Crossing(double aAlong, double aAcross, double bAlong, double bAcross, double edge) {
  if (std::fabs(edge * 0.5 - aAlong * 0.5) > std::fabs(edge * 0.5 - bAlong * 0.5)) {
    std::swap(aAlong, bAlong);
    std::swap(aAcross, bAcross);
  }
  double fraction = (edge * 0.5 - aAlong * 0.5) / (bAlong * 0.5 - aAlong * 0.5);
  fraction = std::clamp(fraction, 0.0, 1.0);
  const double across = (aAcross * 0.5 + fraction * (bAcross * 0.5 - aAcross * 0.5)) * 2;
  return std::clamp(across, std::min(aAcross, bAcross), std::max(aAcross, bAcross));
}

// Cohen-Sutherland: moves each end that is outside onto the edge it is
// beyond until both are inside, or gives up when the segment misses the box.
// A moved end gets the edge's value exactly, so a cut lands on the edge.
bool ClipToBox(DataPoint& a, DataPoint& b, const Box& box) {
  unsigned codeA = Outcode(a, box);
  unsigned codeB = Outcode(b, box);
  // Each pass settles one edge for one end: eight passes cover everything.
  for (int pass = 0; pass < 8; ++pass) {
    if ((codeA | codeB) == 0) return true;
    if ((codeA & codeB) != 0) return false;
    const bool moveA = codeA != 0;
    DataPoint& p = moveA ? a : b;
    const DataPoint& q = moveA ? b : a;
    const unsigned code = moveA ? codeA : codeB;
    if ((code & kLeftOf) != 0) {
      p.y = Crossing(p.x, p.y, q.x, q.y, box.xmin);
      p.x = box.xmin;
    } else if ((code & kRightOf) != 0) {
      p.y = Crossing(p.x, p.y, q.x, q.y, box.xmax);
      p.x = box.xmax;
    } else if ((code & kBelow) != 0) {
      p.x = Crossing(p.y, p.x, q.y, q.x, box.ymin);
      p.y = box.ymin;
    } else {
      p.x = Crossing(p.y, p.x, q.y, q.x, box.ymax);
      p.y = box.ymax;
    }
    (moveA ? codeA : codeB) = Outcode(p, box);
  }
  return false;
}

// One axis' map from data to pixels: pixel = start + (v - min) / (max - min)
// * (end - start), for v within [min, max].
class AxisMap {
 public:
  AxisMap(double minimum, double maximum, int start, int end)
      : minimum_(minimum),
        span_(maximum - minimum),
        start_(start),
        length_(static_cast<double>(end) - static_cast<double>(start)),
        lo_(std::min(start, end)),
        hi_(std::max(start, end)) {
    // A span past DBL_MAX (e.g. -1e308..1e308) is taken in halves, which
    // gives the same ratio.
    halved_ = !std::isfinite(span_);
    if (halved_) span_ = maximum * 0.5 - minimum * 0.5;
  }

  double Map(double v) const {
    const double fraction = halved_ ? (v * 0.5 - minimum_ * 0.5) / span_ : (v - minimum_) / span_;
    return static_cast<double>(start_) + fraction * length_;
  }

  // Rounded to the pixel grid (halves away from zero), never outside the
  // area. Inline rather than std::lround: this runs for every X a dense
  // paint looks at.
  int Pixel(double v) const {
    const double p = std::clamp(Map(v), static_cast<double>(lo_), static_cast<double>(hi_));
    int pixel = static_cast<int>(p);  // towards zero; p - pixel is exact
    const double fraction = p - pixel;
    if (fraction >= 0.5) ++pixel;
    else if (fraction <= -0.5) --pixel;
    return pixel;
  }

 private:
  double minimum_;
  double span_;
  int start_;
  double length_;
  int lo_;
  int hi_;
  bool halved_ = false;
};

// Collects clipped segments into runs: a segment joins the current run when
// it has the run's colour and starts where the run ends. Reuses the runs'
// point buffers from the previous paint.
class RunBuilder {
 public:
  explicit RunBuilder(std::vector<LineRun>& runs) : runs_(runs) {}

  void Segment(forms::TPoint from, forms::TPoint to, Color color) {
    if (open_ && color == runs_[used_ - 1].color && runs_[used_ - 1].points.back() == from) {
      auto& points = runs_[used_ - 1].points;
      if (points.back() != to) points.push_back(to);  // no zero-length steps inside a run
      return;
    }
    Break();
    if (used_ < runs_.size()) {
      runs_[used_].points.clear();
      runs_[used_].color = color;
    } else {
      runs_.push_back(LineRun{{}, color});
    }
    auto& points = runs_[used_].points;
    points.push_back(from);
    if (to != from) points.push_back(to);
    ++used_;
    open_ = true;
  }

  // Ends the current run; the next segment starts a new one.
  void Break() {
    // A run whose every segment was zero pixels long is still a visible dot:
    // it keeps its point twice to stay a line.
    if (open_ && runs_[used_ - 1].points.size() == 1) {
      runs_[used_ - 1].points.push_back(runs_[used_ - 1].points.front());
    }
    open_ = false;
  }

  void Finish() {
    Break();
    runs_.resize(used_);
  }

 private:
  std::vector<LineRun>& runs_;
  std::size_t used_ = 0;
  bool open_ = false;
};

bool Drawable(double minimum, double maximum) {
  return std::isfinite(minimum) && std::isfinite(maximum) && minimum < maximum;
}

// Draws the segments between consecutive points as they come, each cut at
// the box and in the colour of the point it leads into.
class SegmentWriter {
 public:
  SegmentWriter(const Box& box, const AxisMap& mapX, const AxisMap& mapY, RunBuilder& builder)
      : box_(box), mapX_(mapX), mapY_(mapY), builder_(builder) {}

  void Point(double x, double y, Color color) {
    const bool finite = std::isfinite(x) && std::isfinite(y);
    if (started_) {
      if (!previousFinite_ || !finite) {
        // A point without a place on the plane leaves a gap.
        builder_.Break();
      } else {
        DataPoint a = previous_;
        DataPoint b{x, y};
        if (ClipToBox(a, b, box_)) {
          builder_.Segment(ToPixel(a), ToPixel(b), color);
        } else {
          builder_.Break();
        }
      }
    }
    previous_ = {x, y};
    previousFinite_ = finite;
    started_ = true;
  }

 private:
  forms::TPoint ToPixel(const DataPoint& p) const { return {mapX_.Pixel(p.x), mapY_.Pixel(p.y)}; }

  const Box& box_;
  const AxisMap& mapX_;
  const AxisMap& mapY_;
  RunBuilder& builder_;
  DataPoint previous_{0, 0};
  bool previousFinite_ = false;
  bool started_ = false;
};

// The end of the run of points equal in X to xs[from]: a run of one and a
// run to the end are seen at once, anything else by binary search.
std::size_t EqualRunEnd(const double* xs, std::size_t from, std::size_t count) {
  const double x = xs[from];
  if (from + 1 == count || xs[from + 1] != x) return from + 1;
  if (xs[count - 1] == x) return count;
  return static_cast<std::size_t>(std::upper_bound(xs + from + 2, xs + count - 1, x) - xs);
}

// Thins the points to at most four per pixel column: consecutive points
// inside the horizontal range that fall in one column and share a colour
// keep only the first, the lowest, the highest and the last, in series
// order. Within a column the line only runs up and down, so the thinned line
// covers the same pixels. Points outside the range (the neighbours beyond
// the edges) and points that are not finite pass as they are.
class ColumnThinner {
 public:
  ColumnThinner(const SeriesData& data, double hmin, double hmax, const AxisMap& mapX,
                SegmentWriter& writer)
      : data_(data), hmin_(hmin), hmax_(hmax), mapX_(mapX), writer_(writer) {}

  void Span(const SeriesData::Span& span, Color color) {
    const double* xs = span.x;
    const double* ys = span.y;
    const std::size_t count = span.count;
    std::size_t i = 0;
    while (i < count) {
      const double x = xs[i];
      if (!(x >= hmin_ && x <= hmax_) || !std::isfinite(ys[i])) {
        Flush();
        writer_.Point(x, ys[i], color);
        ++i;
        continue;
      }
      const int column = mapX_.Pixel(x);
      if (!open_ || column != column_ || color != color_) {
        Flush();
        Open(column, color, {x, ys[i], span.index + i});
      }
      // The points from i on in this column: runs of one X at a time, each
      // new X mapped once.
      std::size_t end = EqualRunEnd(xs, i, count);
      while (end < count && xs[end] <= hmax_ && mapX_.Pixel(xs[end]) == column)
        end = EqualRunEnd(xs, end, count);
      i = end - i >= kLongColumn ? AbsorbLong(span, i, end) : Absorb(span, i, end);
    }
  }

  void Finish() { Flush(); }

 private:
  // From this many points on, a column's extremes come from the stretches
  // the series keeps rather than from looking at every point.
  static constexpr std::size_t kLongColumn = 2 * SeriesData::kStretch;

  struct Kept {
    double x;
    double y;
    std::size_t index;
  };

  void Open(int column, Color color, const Kept& first) {
    open_ = true;
    column_ = column;
    color_ = color;
    first_ = lowest_ = highest_ = last_ = first;
  }

  // Takes span points [from, end) into the open group up to the first Y
  // that is not finite; returns where it stopped.
  std::size_t Absorb(const SeriesData::Span& span, std::size_t from, std::size_t end) {
    const double* ys = span.y;
    double low = lowest_.y;
    double high = highest_.y;
    std::size_t lowAt = end;
    std::size_t highAt = end;
    std::size_t i = from;
    for (; i < end; ++i) {
      const double y = ys[i];
      if (!(std::fabs(y) <= std::numeric_limits<double>::max())) break;
      if (y < low) {
        low = y;
        lowAt = i;
      }
      if (y > high) {
        high = y;
        highAt = i;
      }
    }
    if (lowAt != end) lowest_ = {span.x[lowAt], low, span.index + lowAt};
    if (highAt != end) highest_ = {span.x[highAt], high, span.index + highAt};
    if (i > from) last_ = {span.x[i - 1], ys[i - 1], span.index + i - 1};
    return i;
  }

  std::size_t AbsorbLong(const SeriesData::Span& span, std::size_t from, std::size_t end) {
    // ys[from] is finite (the caller checked), so e.end > from.
    const SeriesData::YExtremes e = data_.FiniteYExtremes(span, from, end);
    if (e.low < lowest_.y) lowest_ = {span.x[e.lowAt], e.low, span.index + e.lowAt};
    if (e.high > highest_.y) highest_ = {span.x[e.highAt], e.high, span.index + e.highAt};
    last_ = {span.x[e.end - 1], span.y[e.end - 1], span.index + e.end - 1};
    return e.end;
  }

  void Flush() {
    if (!open_) return;
    open_ = false;
    const bool lowFirst = lowest_.index <= highest_.index;
    const Kept& middle1 = lowFirst ? lowest_ : highest_;
    const Kept& middle2 = lowFirst ? highest_ : lowest_;
    writer_.Point(first_.x, first_.y, color_);
    if (middle1.index != first_.index && middle1.index != last_.index)
      writer_.Point(middle1.x, middle1.y, color_);
    if (middle2.index != first_.index && middle2.index != last_.index && middle2.index != middle1.index)
      writer_.Point(middle2.x, middle2.y, color_);
    if (last_.index != first_.index) writer_.Point(last_.x, last_.y, color_);
  }

  const SeriesData& data_;
  const double hmin_;
  const double hmax_;
  const AxisMap& mapX_;
  SegmentWriter& writer_;
  bool open_ = false;
  int column_ = 0;
  Color color_ = 0;
  Kept first_{};
  Kept lowest_{};
  Kept highest_{};
  Kept last_{};
};

}  // namespace

void BuildSeriesPath(const SeriesData& data, const AxisRange& horizontal, const AxisRange& vertical,
                     const PlotArea& area, Color seriesColor, std::vector<LineRun>& runs) {
  RunBuilder builder(runs);
  const double hmin = horizontal.Minimum();
  const double hmax = horizontal.Maximum();
  const double vmin = vertical.Minimum();
  const double vmax = vertical.Maximum();
  const std::size_t count = data.Count();
  if (!Drawable(hmin, hmax) || !Drawable(vmin, vmax) || area.right < area.left ||
      area.bottom < area.top || count < 2) {
    builder.Finish();
    return;
  }

  // Points are sorted by X, so the visible slice is two binary searches;
  // one point beyond each end carries the line to the edge.
  const std::size_t insideBegin = data.LowerBound(hmin);
  const std::size_t insideEnd = data.UpperBound(hmax);
  const std::size_t first = insideBegin > 0 ? insideBegin - 1 : 0;
  const std::size_t last = std::min(insideEnd, count - 1);
  if (last <= first) {
    builder.Finish();
    return;
  }

  const Box box{hmin, hmax, vmin, vmax};
  const AxisMap mapX(hmin, hmax, area.left, area.right);
  const AxisMap mapY(vmin, vmax, area.bottom, area.top);
  SegmentWriter writer(box, mapX, mapY, builder);
  const auto colorOf = [seriesColor](Color c) { return c == SeriesData::kDefaultColor ? seriesColor : c; };
  const std::size_t sliceCount = last - first + 1;
  const auto columns =
      static_cast<std::uint64_t>(static_cast<std::int64_t>(area.right) - area.left + 1);
  if (sliceCount > 2 * columns) {
    ColumnThinner thinner(data, hmin, hmax, mapX, writer);
    data.ForEachSpan(first, last + 1,
                     [&](const SeriesData::Span& span) { thinner.Span(span, colorOf(span.color)); });
    thinner.Finish();
  } else {
    data.ForEachSpan(first, last + 1, [&](const SeriesData::Span& span) {
      const Color color = colorOf(span.color);
      for (std::size_t i = 0; i < span.count; ++i) writer.Point(span.x[i], span.y[i], color);
    });
  }
  builder.Finish();
}

}  // namespace chart
