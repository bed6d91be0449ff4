#include "chart/core/SeriesData.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>

#include "chart/core/AxisRange.h"

namespace chart {

// --- One block's colours ----------------------------------------------------

Color SeriesData::BlockColors::At(std::uint32_t offset) const {
  if (runs_.empty()) return uniform_;
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), offset,
                                      [](std::uint32_t o, const ColorRun& run) { return o < run.start; });
  return std::prev(after)->color;
}

Color SeriesData::BlockColors::RunAt(std::uint32_t offset, std::uint32_t count,
                                                 std::uint32_t& runEnd) const {
  if (runs_.empty()) {
    runEnd = count;
    return uniform_;
  }
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), offset,
                                      [](std::uint32_t o, const ColorRun& run) { return o < run.start; });
  runEnd = after == runs_.end() ? count : after->start;
  return std::prev(after)->color;
}

void SeriesData::BlockColors::Insert(std::uint32_t offset, std::uint32_t count, Color color) {
  if (runs_.empty()) {
    if (count == 0 || color == uniform_) {
      uniform_ = color;  // one colour for all: nothing more stored
      return;
    }
    runs_.push_back({0, uniform_});
  }
  auto at = std::lower_bound(runs_.begin(), runs_.end(), offset,
                             [](const ColorRun& run, std::uint32_t o) { return run.start < o; });
  const bool runStartsAtOffset = at != runs_.end() && at->start == offset;
  for (auto it = at; it != runs_.end(); ++it) ++it->start;  // the later points move up
  const auto position = at - runs_.begin();
  if (offset < count && !runStartsAtOffset) {
    // The point lands inside a run: the part after it starts again one
    // further on, in that run's colour.
    const Color split = runs_[static_cast<std::size_t>(position - 1)].color;
    runs_.insert(runs_.begin() + position, {offset + 1, split});
  }
  runs_.insert(runs_.begin() + position, {offset, color});
  // Merge with equal neighbours so each run differs from the next.
  const auto next = static_cast<std::size_t>(position + 1);
  if (next < runs_.size() && runs_[next].color == color) runs_.erase(runs_.begin() + position + 1);
  if (position > 0 && runs_[static_cast<std::size_t>(position - 1)].color == color)
    runs_.erase(runs_.begin() + position);
  if (runs_.size() == 1) {
    uniform_ = runs_.front().color;
    runs_.clear();
  }
}

Color SeriesData::BlockColors::Erase(std::uint32_t offset, std::uint32_t count) {
  if (runs_.empty()) return uniform_;
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), offset,
                                      [](std::uint32_t o, const ColorRun& run) { return o < run.start; });
  const auto i = static_cast<std::size_t>(std::prev(after) - runs_.begin());
  const Color color = runs_[i].color;
  const std::uint32_t runEnd = i + 1 < runs_.size() ? runs_[i + 1].start : count;
  const bool alone = runEnd - runs_[i].start == 1;
  for (std::size_t j = i + 1; j < runs_.size(); ++j) --runs_[j].start;
  if (alone) {
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(i));
    // The runs on either side now touch.
    if (i > 0 && i < runs_.size() && runs_[i - 1].color == runs_[i].color)
      runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  if (runs_.size() <= 1) {
    uniform_ = runs_.empty() ? color : runs_.front().color;
    runs_.clear();
  }
  return color;
}

// --- One block --------------------------------------------------------------

std::uint32_t SeriesData::Block::UpperBound(double value) const {
  std::uint32_t low = 0, high = count;
  while (low < high) {
    const std::uint32_t middle = low + (high - low) / 2;
    if (value < XAt(middle)) high = middle;
    else low = middle + 1;
  }
  return low;
}

std::uint32_t SeriesData::Block::LowerBound(double value) const {
  std::uint32_t low = 0, high = count;
  while (low < high) {
    const std::uint32_t middle = low + (high - low) / 2;
    if (XAt(middle) < value) low = middle + 1;
    else high = middle;
  }
  return low;
}

const std::string& SeriesData::Block::LabelAt(std::uint32_t offset) const {
  static const std::string kNoLabel;
  const auto it = std::lower_bound(labels.begin(), labels.end(), offset,
                                   [](const PointLabel& l, std::uint32_t o) { return l.offset < o; });
  return it != labels.end() && it->offset == offset ? it->text : kNoLabel;
}

SeriesData::Block::Block(const Block& other)
    : head(other.head), count(other.count), colors(other.colors), labels(other.labels) {
  std::copy(std::begin(other.x), std::end(other.x), x);
  std::copy(std::begin(other.y), std::end(other.y), y);
}

// Only a stretch whose every slot holds a point can lie wholly inside a
// span, so only those are summed up; the others are marked as unusable.
// One more entry after the stretches holds the whole block's extremes.
void SeriesData::Block::Summarize() const {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  stretches.reset(new StretchExtremes[kStretches + 1]);
  StretchExtremes whole{kInf, -kInf, true};
  for (std::uint32_t k = 0; k < kStretches; ++k) {
    StretchExtremes e{kInf, -kInf, false};
    const std::uint32_t firstOffset = (k * kStretch - head) & kMask;
    if (count == kBlockCapacity || firstOffset + kStretch <= count) {
      e.finite = true;
      for (const double* v = y + k * kStretch; v != y + (k + 1) * kStretch; ++v) {
        e.finite = e.finite && std::isfinite(*v);
        e.low = *v < e.low ? *v : e.low;
        e.high = *v > e.high ? *v : e.high;
      }
      whole.finite = whole.finite && e.finite;
      whole.low = std::min(whole.low, e.low);
      whole.high = std::max(whole.high, e.high);
    } else {
      for (std::uint32_t slot = k * kStretch; slot < (k + 1) * kStretch; ++slot) {
        if (((slot - head) & kMask) >= count) continue;  // no point there
        whole.finite = whole.finite && std::isfinite(y[slot]);
        whole.low = y[slot] < whole.low ? y[slot] : whole.low;
        whole.high = y[slot] > whole.high ? y[slot] : whole.high;
      }
    }
    stretches[k] = e;
  }
  stretches[kStretches] = whole;
}

// A block stays in the list once in it, its summary made again after a
// change, so it is never there twice and the one dropped is never the one
// being asked for.
const SeriesData::StretchExtremes* SeriesData::Summary(const Block& block) const {
  if (!block.stretches) block.Summarize();
  if (!block.summarized) {
    block.summarized = true;
    summarized_.push_back(&block);
    if (summarized_.size() > kMostSummaries) {
      const Block& oldest = *summarized_.front();
      summarized_.pop_front();
      oldest.stretches.reset();
      oldest.summarized = false;
    }
  }
  return block.stretches.get();
}

namespace {

constexpr std::uint32_t kCapacity = SeriesData::kBlockCapacity;

// Moves the n values in ring slots from, from + 1, ... one slot up (towards
// higher slots, the last slot's neighbour being slot 0).
void MoveUp(double* ring, std::uint32_t from, std::uint32_t n) {
  if (n == 0) return;
  if (from + n < kCapacity) {
    std::memmove(ring + from + 1, ring + from, n * sizeof(double));
  } else if (from + n == kCapacity) {
    ring[0] = ring[kCapacity - 1];
    std::memmove(ring + from + 1, ring + from, (n - 1) * sizeof(double));
  } else {
    const std::uint32_t wrapped = from + n - kCapacity;  // values in slots 0..wrapped-1
    std::memmove(ring + 1, ring, wrapped * sizeof(double));
    ring[0] = ring[kCapacity - 1];
    std::memmove(ring + from + 1, ring + from, (kCapacity - 1 - from) * sizeof(double));
  }
}

// Moves the n values in ring slots from, from + 1, ... one slot down.
void MoveDown(double* ring, std::uint32_t from, std::uint32_t n) {
  if (n == 0) return;
  if (from == 0) {
    ring[kCapacity - 1] = ring[0];
    std::memmove(ring, ring + 1, (n - 1) * sizeof(double));
  } else if (from + n <= kCapacity) {
    std::memmove(ring + from - 1, ring + from, n * sizeof(double));
  } else {
    std::memmove(ring + from - 1, ring + from, (kCapacity - from) * sizeof(double));
    ring[kCapacity - 1] = ring[0];
    std::memmove(ring, ring + 1, (from + n - kCapacity - 1) * sizeof(double));
  }
}

}  // namespace

// Makes room at offset by moving the shorter side one slot outwards; the
// ring lets the front side move down past slot 0.
void SeriesData::Block::Insert(std::uint32_t offset, Point&& point) {
  stretches.reset();
  if (offset < count - offset) {
    MoveDown(x, head, offset);
    MoveDown(y, head, offset);
    head = (head - 1) & kMask;
  } else {
    MoveUp(x, Slot(offset), count - offset);
    MoveUp(y, Slot(offset), count - offset);
  }
  const std::uint32_t slot = Slot(offset);
  x[slot] = point.x;
  y[slot] = point.y;
  colors.Insert(offset, count, point.color);
  auto at = std::lower_bound(labels.begin(), labels.end(), offset,
                             [](const PointLabel& l, std::uint32_t o) { return l.offset < o; });
  for (auto it = at; it != labels.end(); ++it) ++it->offset;
  if (!point.label.empty()) labels.insert(at, PointLabel{offset, std::move(point.label)});
  ++count;
}

SeriesData::Point SeriesData::Block::PopFront() {
  stretches.reset();
  Point point{x[head], y[head], colors.Erase(0, count), {}};
  if (!labels.empty()) {
    if (labels.front().offset == 0) {
      point.label = std::move(labels.front().text);
      labels.erase(labels.begin());
    }
    for (PointLabel& l : labels) --l.offset;
  }
  head = (head + 1) & kMask;
  --count;
  return point;
}

SeriesData::Point SeriesData::Block::PopBack() {
  stretches.reset();
  const std::uint32_t last = count - 1;
  Point point{XAt(last), YAt(last), colors.Erase(last, count), {}};
  if (!labels.empty() && labels.back().offset == last) {
    point.label = std::move(labels.back().text);
    labels.pop_back();
  }
  --count;
  return point;
}

// --- The index over the blocks ------------------------------------------------

SeriesData::SeriesData() = default;
SeriesData::~SeriesData() = default;
SeriesData::SeriesData(SeriesData&& other) noexcept = default;
SeriesData& SeriesData::operator=(SeriesData&& other) noexcept = default;

SeriesData::SeriesData(const SeriesData& other)
    : index_(other.index_), counts_(other.counts_), count_(other.count_) {
  blocks_.reserve(other.blocks_.size());
  for (const auto& block : other.blocks_) blocks_.push_back(std::make_unique<Block>(*block));
}

SeriesData& SeriesData::operator=(const SeriesData& other) {
  if (this != &other) *this = SeriesData(other);
  return *this;
}

SeriesData::Place SeriesData::Locate(std::size_t index) const {
  // The Fenwick descent: the last block whose preceding points are <= index.
  std::size_t position = 0;
  std::size_t rest = index;
  std::size_t step = 1;
  while (step * 2 <= blocks_.size()) step *= 2;
  for (; step > 0; step /= 2) {
    const std::size_t next = position + step;
    if (next <= blocks_.size() && counts_[next] <= rest) {
      position = next;
      rest -= counts_[next];
    }
  }
  return {position, static_cast<std::uint32_t>(rest)};
}

std::size_t SeriesData::PointsBefore(std::size_t block) const {
  std::size_t sum = 0;
  for (std::size_t i = block; i > 0; i -= i & (~i + 1)) sum += counts_[i];
  return sum;
}

void SeriesData::CountChanged(std::size_t block, std::ptrdiff_t delta) {
  index_[block].count = blocks_[block]->count;
  for (std::size_t i = block + 1; i <= blocks_.size(); i += i & (~i + 1))
    counts_[i] = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(counts_[i]) + delta);
}

void SeriesData::RebuildCounts() {
  const std::size_t n = blocks_.size();
  // resize grows the room geometrically (assign would fit it exactly and
  // leave a trail of freed arrays too small for anything that follows).
  counts_.resize(n + 1);
  std::fill(counts_.begin(), counts_.end(), 0);
  for (std::size_t i = 1; i <= n; ++i) {
    counts_[i] += blocks_[i - 1]->count;
    const std::size_t parent = i + (i & (~i + 1));
    if (parent <= n) counts_[parent] += counts_[i];
  }
}

void SeriesData::NewBlock(std::size_t at) {
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(at), std::unique_ptr<Block>(new Block));
  index_.insert(index_.begin() + static_cast<std::ptrdiff_t>(at), IndexEntry{0, 0});
  RebuildCounts();
}

std::size_t SeriesData::Add(double x, double y, const std::string& label, Color color) {
  if (std::isnan(x)) throw ChartException("A point's X value must be a number");
  if (blocks_.empty()) NewBlock(0);

  // The first block whose last X is past x holds the place: after every
  // point with X <= x, so equal X keep their arrival order. A point at or
  // past the last one, the usual case for a live series, goes at the end.
  std::size_t block = static_cast<std::size_t>(
      std::upper_bound(index_.begin(), index_.end(), x,
                       [](double v, const IndexEntry& e) { return v < e.lastX; }) -
      index_.begin());
  std::uint32_t offset;
  if (block == blocks_.size() || count_ == 0) {
    block = blocks_.size() - 1;
    offset = blocks_[block]->count;
  } else {
    offset = blocks_[block]->UpperBound(x);
  }
  const std::size_t index = PointsBefore(block) + offset;
  // At the very start of a block the end of the one before is the same place.
  if (offset == 0 && block > 0 && !blocks_[block - 1]->Full()) {
    --block;
    offset = blocks_[block]->count;
  }
  InsertInto(block, offset, Point{x, y, color, label});
  ++count_;
  return index;
}

void SeriesData::InsertInto(std::size_t block, std::uint32_t offset, Point&& point) {
  Block& target = *blocks_[block];
  if (!target.Full()) {
    target.Insert(offset, std::move(point));
    index_[block].lastX = target.LastX();
    CountChanged(block, 1);
    return;
  }
  // Full: one point moves on, block by block, to the nearest one with room.
  for (std::size_t d = 1; d <= kReach; ++d) {
    if (block + d < blocks_.size() && index_[block + d].count < kBlockCapacity)
      return PassRight(block, offset, std::move(point), block + d);
    if (d <= block && index_[block - d].count < kBlockCapacity)
      return PassLeft(block, offset, std::move(point), block - d);
  }
  NewBlock(block + 1);
  PassRight(block, offset, std::move(point), block + 1);
}

// Blocks from..to-1 are full; each gives its last point to the next.
void SeriesData::PassRight(std::size_t from, std::uint32_t offset, Point&& point, std::size_t to) {
  Block& first = *blocks_[from];
  Point carried;
  if (offset == first.count) {
    carried = std::move(point);
  } else {
    carried = first.PopBack();
    first.Insert(offset, std::move(point));
  }
  index_[from].lastX = first.LastX();
  for (std::size_t b = from + 1; b < to; ++b) {
    Block& middle = *blocks_[b];
    Point next = middle.PopBack();
    middle.PushFront(std::move(carried));
    carried = std::move(next);
    index_[b].lastX = middle.LastX();
  }
  Block& last = *blocks_[to];
  last.PushFront(std::move(carried));
  index_[to].lastX = last.LastX();
  CountChanged(to, 1);
}

// Blocks to+1..from are full; each gives its first point to the one before.
void SeriesData::PassLeft(std::size_t from, std::uint32_t offset, Point&& point, std::size_t to) {
  Block& first = *blocks_[from];
  Point carried;
  if (offset == 0) {
    carried = std::move(point);
  } else {
    carried = first.PopFront();
    first.Insert(offset - 1, std::move(point));
  }
  index_[from].lastX = first.LastX();
  for (std::size_t b = from - 1; b > to; --b) {
    Block& middle = *blocks_[b];
    Point next = middle.PopFront();
    middle.PushBack(std::move(carried));
    carried = std::move(next);
    index_[b].lastX = middle.LastX();
  }
  Block& last = *blocks_[to];
  last.PushBack(std::move(carried));
  index_[to].lastX = last.LastX();
  CountChanged(to, 1);
}

// --- Reading --------------------------------------------------------------------

double SeriesData::X(std::size_t index) const {
  const Place p = Locate(index);
  return blocks_[p.block]->XAt(p.offset);
}

double SeriesData::Y(std::size_t index) const {
  const Place p = Locate(index);
  return blocks_[p.block]->YAt(p.offset);
}

Color SeriesData::ColorAt(std::size_t index) const {
  const Place p = Locate(index);
  return blocks_[p.block]->colors.At(p.offset);
}

const std::string& SeriesData::Label(std::size_t index) const {
  const Place p = Locate(index);
  return blocks_[p.block]->LabelAt(p.offset);
}

std::size_t SeriesData::LowerBound(double x) const {
  const std::size_t block = static_cast<std::size_t>(
      std::lower_bound(index_.begin(), index_.end(), x,
                       [](const IndexEntry& e, double v) { return e.lastX < v; }) -
      index_.begin());
  if (block >= blocks_.size() || count_ == 0) return count_;
  return PointsBefore(block) + blocks_[block]->LowerBound(x);
}

std::size_t SeriesData::UpperBound(double x) const {
  const std::size_t block = static_cast<std::size_t>(
      std::upper_bound(index_.begin(), index_.end(), x,
                       [](double v, const IndexEntry& e) { return v < e.lastX; }) -
      index_.begin());
  if (block >= blocks_.size() || count_ == 0) return count_;
  return PointsBefore(block) + blocks_[block]->UpperBound(x);
}

// Whole stretches inside [from, end) are taken from the block's summary;
// the points before the first and after the last are looked at one by one.
SeriesData::YExtremes SeriesData::FiniteYExtremes(const Span& span, std::size_t from,
                                                  std::size_t end) const {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  YExtremes r{from, kInf, from, -kInf, from};
  if (from >= end) return r;
  const double* ys = span.y;
  // A block whose every Y is one and the same number answers at once: the
  // usual case for a level that stays put.
  if (end - from > kStretch) {
    const StretchExtremes& whole = Summary(*span.block)[Block::kStretches];
    if (whole.finite && whole.low == whole.high) return {end, whole.low, from, whole.high, from};
  }
  // Where a stretch gave the extreme: the point itself is found at the end.
  std::size_t lowStretch = end, highStretch = end;
  const auto look = [&](std::size_t i, std::size_t stop) {
    for (; i < stop; ++i) {
      const double v = ys[i];
      if (!(std::fabs(v) <= std::numeric_limits<double>::max())) return i;
      if (v < r.low) {
        r.low = v;
        r.lowAt = i;
        lowStretch = end;
      }
      if (v > r.high) {
        r.high = v;
        r.highAt = i;
        highStretch = end;
      }
    }
    return stop;
  };
  // Span position i is slot span.slot + i; stretches start at multiples of kStretch.
  std::size_t i = from;
  std::size_t firstWhole = (span.slot + i + kStretch - 1) / kStretch * kStretch - span.slot;
  if (firstWhole > end) firstWhole = end;
  std::size_t stopped = look(i, firstWhole);
  if (stopped < firstWhole) {
    r.end = stopped;
    return r;
  }
  i = firstWhole;
  if (i + kStretch <= end) {
    const StretchExtremes* stretches = Summary(*span.block);
    for (; i + kStretch <= end; i += kStretch) {
      const StretchExtremes& s = stretches[(span.slot + i) / kStretch];
      if (!s.finite) break;  // looked at point by point below
      if (s.low < r.low) {
        r.low = s.low;
        lowStretch = i;
      }
      if (s.high > r.high) {
        r.high = s.high;
        highStretch = i;
      }
    }
  }
  r.end = look(i, end);
  const auto firstEqual = [ys](std::size_t at, double value) {
    while (ys[at] != value) ++at;
    return at;
  };
  if (lowStretch != end) r.lowAt = firstEqual(lowStretch, r.low);
  if (highStretch != end) r.highAt = firstEqual(highStretch, r.high);
  return r;
}

}  // namespace chart
