// The points of a line series, sorted by X. A point goes after every point
// whose X is less than or equal to its own, so equal X keep the order they
// came in. Colours and labels are stored only where they differ from the
// default, not per point.
//
// The points live in blocks of a fixed capacity, each a ring of X and Y
// columns, with a small index over the blocks (the last X of each, for the
// search; a Fenwick tree of their counts, for positions). A point that lands
// in a full block pushes one point on into the nearest block with room,
// through at most a few dozen full neighbours, each passing on one point at
// an end, which a ring does without moving the rest. Only when no block
// near by has room does a new one come in. So an addition costs a search
// and a move inside one block wherever it lands, and the blocks stay nearly
// full: about 16 bytes a point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace chart {

using Color = std::uint32_t;  // 0x00BBGGRR

class SeriesData {
 public:
  static constexpr Color kDefaultColor = 0x1FFFFFFF;  // "the series' own colour"
  static constexpr std::uint32_t kBlockCapacity = 1024;  // points per block, a power of two
  // How far a full block looks for a neighbour with room before a new
  // block is made.
  static constexpr std::size_t kReach = 32;

  SeriesData();
  ~SeriesData();
  SeriesData(const SeriesData& other);
  SeriesData& operator=(const SeriesData& other);
  SeriesData(SeriesData&& other) noexcept;
  SeriesData& operator=(SeriesData&& other) noexcept;

  // Inserts the point and returns its index. A NaN x has no place in the
  // order and throws ChartException.
  std::size_t Add(double x, double y, const std::string& label, Color color);

  std::size_t Count() const { return count_; }
  double X(std::size_t index) const;
  double Y(std::size_t index) const;
  Color ColorAt(std::size_t index) const;
  const std::string& Label(std::size_t index) const;

  // The first index whose X is >= x (LowerBound) or > x (UpperBound).
  std::size_t LowerBound(double x) const;
  std::size_t UpperBound(double x) const;

  struct Block;  // one ring of points, below
  // Consecutive points in memory, all of one colour; the first is point
  // `index`.
  struct Span {
    const double* x;
    const double* y;
    std::size_t count;
    Color color;
    std::size_t index;
    const Block* block;  // where they are: its slot `slot` on
    std::uint32_t slot;
  };
  // Calls visit(const Span&) for the points [first, end) in order, in as
  // few spans as the blocks and colours allow.
  template <typename Visit>
  void ForEachSpan(std::size_t first, std::size_t end, Visit&& visit) const;

  // The lowest and the highest Y of a span's points [from, end), stopping
  // at the first whose Y is not finite. A tall column of points costs a
  // look at each stretch of kStretch slots rather than at each point: a
  // block keeps the extremes of its stretches once asked, until it changes
  // or until kMostSummaries other blocks have been asked for theirs since.
  // (So reading a series may change what it keeps: one thread at a time.)
  static constexpr std::uint32_t kStretch = 32;
  static constexpr std::size_t kMostSummaries = 1024;
  // Positions are the span's own, from 0.
  struct YExtremes {
    std::size_t end;      // where it stopped: a Y that is not finite, or `end`
    double low;           // of [from, end); +inf when that is empty
    std::size_t lowAt;    // the first point with that Y
    double high;          // -inf when empty
    std::size_t highAt;
  };
  YExtremes FiniteYExtremes(const Span& span, std::size_t from, std::size_t end) const;

  // How many blocks hold the points (for tests and the benchmarks).
  std::size_t BlockCount() const { return blocks_.size(); }

 private:
  // Colours of one block's points by offset: one colour for all, or runs.
  // Neighbouring runs differ; the first starts at 0.
  struct ColorRun {
    std::uint32_t start;
    Color color;
  };
  class BlockColors {
   public:
    Color At(std::uint32_t offset) const;
    // A point of `color` comes in at offset; the block had `count` points.
    void Insert(std::uint32_t offset, std::uint32_t count, Color color);
    // The point at offset leaves; the block had `count` points.
    Color Erase(std::uint32_t offset, std::uint32_t count);
    // The run containing offset: its colour and where the next run starts
    // (count when it is the last).
    Color RunAt(std::uint32_t offset, std::uint32_t count, std::uint32_t& runEnd) const;

   private:
    Color uniform_ = kDefaultColor;  // while runs_ is empty
    std::vector<ColorRun> runs_;
  };
  struct PointLabel {
    std::uint32_t offset;
    std::string text;
  };
  struct Point {
    double x;
    double y;
    Color color;
    std::string label;
  };
  // Extremes of one stretch of a block's ring: the points in slots
  // [kStretch * i, kStretch * (i + 1)).
  struct StretchExtremes {
    double low;
    double high;
    bool finite;  // every slot holds a point and every Y is finite
  };

  // Block and offset of a point index (index < Count()).
  struct Place {
    std::size_t block;
    std::uint32_t offset;
  };
  Place Locate(std::size_t index) const;
  // Points in the blocks before `block`.
  std::size_t PointsBefore(std::size_t block) const;
  void CountChanged(std::size_t block, std::ptrdiff_t delta);
  void RebuildCounts();
  void InsertInto(std::size_t block, std::uint32_t offset, Point&& point);
  void PassRight(std::size_t from, std::uint32_t offset, Point&& point, std::size_t to);
  void PassLeft(std::size_t from, std::uint32_t offset, Point&& point, std::size_t to);
  void NewBlock(std::size_t at);
  // The block's stretch extremes, made if it has none; the summaries made
  // longest ago are dropped beyond kMostSummaries, so however much of a
  // long series is looked at they hold a bounded amount of memory.
  const StretchExtremes* Summary(const Block& block) const;

  // What the search needs of each block, kept apart from the blocks so a
  // search or a look for room stays in one small array.
  struct IndexEntry {
    double lastX;
    std::uint32_t count;
  };

  std::vector<std::unique_ptr<Block>> blocks_;
  std::vector<IndexEntry> index_;
  std::vector<std::size_t> counts_;  // Fenwick tree of the blocks' counts, 1-based
  std::size_t count_ = 0;
  mutable std::deque<const Block*> summarized_;  // oldest first
};

// One block: a ring of up to kBlockCapacity points in slots, the first at
// `head`.
struct SeriesData::Block {
  static constexpr std::uint32_t kMask = kBlockCapacity - 1;
  static constexpr std::uint32_t kStretches = kBlockCapacity / kStretch;
  std::uint32_t head = 0;  // slot of the first point
  std::uint32_t count = 0;
  BlockColors colors;
  std::vector<PointLabel> labels;  // the non-empty ones, by offset
  // Made when first asked for, dropped when a point comes or goes.
  mutable std::unique_ptr<StretchExtremes[]> stretches;
  mutable bool summarized = false;  // in the series' list of summarized blocks
  double x[kBlockCapacity];
  double y[kBlockCapacity];

  Block() = default;
  Block(const Block& other);
  void Summarize() const;

  std::uint32_t Slot(std::uint32_t offset) const { return (head + offset) & kMask; }
  double XAt(std::uint32_t offset) const { return x[Slot(offset)]; }
  double YAt(std::uint32_t offset) const { return y[Slot(offset)]; }
  double LastX() const { return XAt(count - 1); }
  bool Full() const { return count == kBlockCapacity; }
  // The first offset whose X is > value.
  std::uint32_t UpperBound(double value) const;
  std::uint32_t LowerBound(double value) const;
  const std::string& LabelAt(std::uint32_t offset) const;

  void Insert(std::uint32_t offset, Point&& point);
  Point PopFront();
  Point PopBack();
  void PushFront(Point&& point) { Insert(0, std::move(point)); }
  void PushBack(Point&& point) { Insert(count, std::move(point)); }
};

template <typename Visit>
void SeriesData::ForEachSpan(std::size_t first, std::size_t end, Visit&& visit) const {
  if (end > count_) end = count_;
  if (first >= end) return;
  Place place = Locate(first);
  std::size_t left = end - first;
  for (std::size_t b = place.block; left > 0; ++b) {
    const Block& block = *blocks_[b];
    std::uint32_t offset = b == place.block ? place.offset : 0;
    while (offset < block.count && left > 0) {
      std::uint32_t runEnd = 0;
      const Color color = block.colors.RunAt(offset, block.count, runEnd);
      // A run ends at the next colour, the ring's wrap or the range's end.
      const std::uint32_t slot = block.Slot(offset);
      std::size_t n = runEnd - offset;
      if (n > kBlockCapacity - slot) n = kBlockCapacity - slot;
      if (n > left) n = left;
      visit(Span{block.x + slot, block.y + slot, n, color, end - left, &block, slot});
      offset += static_cast<std::uint32_t>(n);
      left -= n;
    }
  }
}

}  // namespace chart
