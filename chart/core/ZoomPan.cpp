#include "chart/core/ZoomPan.h"

#include <algorithm>
#include <cmath>

namespace chart {
namespace {

bool Inside(const PlotArea& area, int x, int y) {
  return area.right > area.left && area.bottom > area.top && x >= area.left && x <= area.right &&
         y >= area.top && y <= area.bottom;
}

double HorizontalValue(const ZoomPan::View& v, int x) {
  const AxisRange& r = v.horizontal;
  return r.Minimum() + (x - v.area.left) * (r.Maximum() - r.Minimum()) / (v.area.right - v.area.left);
}

double VerticalValue(const ZoomPan::View& v, int y) {
  const AxisRange& r = v.vertical;
  return r.Minimum() + (v.area.bottom - y) * (r.Maximum() - r.Minimum()) / (v.area.bottom - v.area.top);
}

ZoomPan::Ranges Current(const ZoomPan::View& v) {
  return {v.horizontal.Minimum(), v.horizontal.Maximum(), v.vertical.Minimum(), v.vertical.Maximum()};
}

}  // namespace

void ZoomPan::SaveOnce(const View& view) {
  if (!saved_) saved_ = Current(view);
}

void ZoomPan::MouseDown(forms::TMouseButton button, int x, int y, const View& view, bool allowZoom,
                        bool allowPanning) {
  gesture_ = Gesture::None;
  if (!Inside(view.area, x, y)) return;
  if (button == forms::TMouseButton::mbLeft && allowZoom) gesture_ = Gesture::Zoom;
  if (button == forms::TMouseButton::mbRight && allowPanning) gesture_ = Gesture::Pan;
  start_ = last_ = {x, y};
}

std::optional<ZoomPan::Ranges> ZoomPan::MouseMove(int x, int y, const View& view) {
  if (gesture_ == Gesture::Zoom) last_ = {x, y};
  if (gesture_ != Gesture::Pan || (x == last_.x && y == last_.y)) return std::nullopt;
  if (view.area.right <= view.area.left || view.area.bottom <= view.area.top) return std::nullopt;

  SaveOnce(view);
  // Moving the pointer right shows what lies to the left: the range moves
  // the other way, by as many units as the pixels moved are worth.
  double horizontalShift = (last_.x - x) * (view.horizontal.Maximum() - view.horizontal.Minimum()) /
                           (view.area.right - view.area.left);
  double verticalShift = (y - last_.y) * (view.vertical.Maximum() - view.vertical.Minimum()) /
                         (view.area.bottom - view.area.top);
  last_ = {x, y};
  Ranges r = Current(view);
  return Ranges{r.horizontalMinimum + horizontalShift, r.horizontalMaximum + horizontalShift,
                r.verticalMinimum + verticalShift, r.verticalMaximum + verticalShift};
}

std::optional<ZoomPan::Ranges> ZoomPan::MouseUp(forms::TMouseButton button, int x, int y,
                                                const View& view) {
  Gesture gesture = gesture_;
  gesture_ = Gesture::None;
  if (gesture != Gesture::Zoom || button != forms::TMouseButton::mbLeft) return std::nullopt;

  int dx = x - start_.x;
  int dy = y - start_.y;
  if (std::abs(dx) <= kDragThreshold || std::abs(dy) <= kDragThreshold) return std::nullopt;
  if (dx > 0 && dy > 0) {
    SaveOnce(view);
    return Ranges{HorizontalValue(view, start_.x), HorizontalValue(view, x), VerticalValue(view, y),
                  VerticalValue(view, start_.y)};
  }
  std::optional<Ranges> restore = saved_;
  saved_.reset();
  return restore;
}

std::optional<forms::TRect> ZoomPan::RubberBand() const {
  if (gesture_ != Gesture::Zoom) return std::nullopt;
  int left = std::min(start_.x, last_.x);
  int top = std::min(start_.y, last_.y);
  return forms::TRect{left, top, std::abs(last_.x - start_.x) + 1, std::abs(last_.y - start_.y) + 1};
}

}  // namespace chart
