#include "chart/core/SeriesPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

  // Rounded to the pixel grid, never outside the area.
  int Pixel(double v) const {
    const double p = std::clamp(Map(v), static_cast<double>(lo_), static_cast<double>(hi_));
    return static_cast<int>(std::lround(p));
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

bool Finite(const SeriesData& data, std::size_t i) {
  return std::isfinite(data.X(i)) && std::isfinite(data.Y(i));
}

// Draws the segments between consecutive points of a sequence of series
// indices (`count` of them, the k-th being indexAt(k)).
template <typename IndexAt>
void DrawSequence(const SeriesData& data, std::size_t count, IndexAt indexAt, const Box& box,
                  const AxisMap& mapX, const AxisMap& mapY, Color seriesColor,
                  RunBuilder& builder) {
  const auto toPixel = [&](const DataPoint& p) {
    return forms::TPoint{mapX.Pixel(p.x), mapY.Pixel(p.y)};
  };
  std::size_t previous = indexAt(0);
  bool previousFinite = Finite(data, previous);
  for (std::size_t k = 1; k < count; ++k) {
    const std::size_t current = indexAt(k);
    const bool currentFinite = Finite(data, current);
    if (!previousFinite || !currentFinite) {
      // A point without a place on the plane leaves a gap.
      builder.Break();
    } else {
      DataPoint a{data.X(previous), data.Y(previous)};
      DataPoint b{data.X(current), data.Y(current)};
      if (ClipToBox(a, b, box)) {
        Color color = data.ColorAt(current);
        if (color == SeriesData::kDefaultColor) color = seriesColor;
        builder.Segment(toPixel(a), toPixel(b), color);
      } else {
        builder.Break();
      }
    }
    previous = current;
    previousFinite = currentFinite;
  }
}

// Thins [first, last] to at most four points per pixel column: consecutive
// points inside the horizontal range that fall in one column and share a
// colour keep only the first, the lowest, the highest and the last, in
// series order. Within a column the line only runs up and down, so the
// thinned line covers the same pixels. The neighbours beyond the range and
// points that are not finite are kept as they are.
void ThinToColumns(const SeriesData& data, std::size_t first, std::size_t last,
                   std::size_t insideBegin, std::size_t insideEnd, const AxisMap& mapX,
                   Color seriesColor, std::vector<std::size_t>& kept) {
  const auto colorOf = [&](std::size_t i) {
    const Color c = data.ColorAt(i);
    return c == SeriesData::kDefaultColor ? seriesColor : c;
  };
  const auto groupable = [&](std::size_t i) {
    return i >= insideBegin && i < insideEnd && std::isfinite(data.Y(i));
  };
  std::size_t i = first;
  while (i <= last) {
    if (!groupable(i)) {
      kept.push_back(i);
      ++i;
      continue;
    }
    const int column = mapX.Pixel(data.X(i));
    const Color color = colorOf(i);
    std::size_t lowest = i;
    std::size_t highest = i;
    std::size_t end = i;
    while (end < last && groupable(end + 1) && mapX.Pixel(data.X(end + 1)) == column &&
           colorOf(end + 1) == color) {
      ++end;
      if (data.Y(end) < data.Y(lowest)) lowest = end;
      if (data.Y(end) > data.Y(highest)) highest = end;
    }
    kept.push_back(i);
    const std::size_t middle1 = std::min(lowest, highest);
    const std::size_t middle2 = std::max(lowest, highest);
    if (middle1 != i && middle1 != end) kept.push_back(middle1);
    if (middle2 != i && middle2 != end && middle2 != middle1) kept.push_back(middle2);
    if (end != i) kept.push_back(end);
    i = end + 1;
  }
}

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
  const std::size_t sliceCount = last - first + 1;
  const auto columns =
      static_cast<std::uint64_t>(static_cast<std::int64_t>(area.right) - area.left + 1);
  if (sliceCount > 2 * columns) {
    std::vector<std::size_t> kept;
    kept.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(sliceCount, 4 * columns + 2)));
    ThinToColumns(data, first, last, insideBegin, insideEnd, mapX, seriesColor, kept);
    DrawSequence(
        data, kept.size(), [&](std::size_t k) { return kept[k]; }, box, mapX, mapY, seriesColor,
        builder);
  } else {
    DrawSequence(
        data, sliceCount, [&](std::size_t k) { return first + k; }, box, mapX, mapY, seriesColor,
        builder);
  }
  builder.Finish();
}

}  // namespace chart
