// Zooming and panning with the mouse, as range arithmetic on pixel
// positions. A left drag more than 16 pixels right and down zooms both axes
// to the dragged rectangle; a left drag more than 16 pixels both ways in any
// other direction restores the ranges saved before the first zoom or pan; a
// right drag pans, the plot following the pointer.
#pragma once

#include <optional>

#include "chart/core/AxisRange.h"
#include "chart/core/SeriesPath.h"
#include "forms/Types.h"

namespace chart {

class ZoomPan {
 public:
  static constexpr int kDragThreshold = 16;  // pixels; a drag must exceed it

  // The axes as they stand and where the plot is on screen.
  struct View {
    AxisRange horizontal;
    AxisRange vertical;
    PlotArea area;
  };
  // Ranges to set, each pair as the set-range operation takes it.
  struct Ranges {
    double horizontalMinimum;
    double horizontalMaximum;
    double verticalMinimum;
    double verticalMaximum;
    bool operator==(const Ranges&) const = default;
  };

  // A press inside the plot area starts a gesture the settings allow.
  void MouseDown(forms::TMouseButton button, int x, int y, const View& view, bool allowZoom,
                 bool allowPanning);
  // While panning, the ranges that keep the plot under the pointer.
  std::optional<Ranges> MouseMove(int x, int y, const View& view);
  // Ends the gesture: the ranges a zoom or a restore sets, if any.
  std::optional<Ranges> MouseUp(forms::TMouseButton button, int x, int y, const View& view);

  // The rectangle being dragged with the left button, corners as pressed
  // and as the pointer now is.
  std::optional<forms::TRect> RubberBand() const;
  bool HasSavedRanges() const { return saved_.has_value(); }

 private:
  enum class Gesture { None, Zoom, Pan };
  void SaveOnce(const View& view);

  Gesture gesture_ = Gesture::None;
  forms::TPoint start_;
  forms::TPoint last_;
  std::optional<Ranges> saved_;
};

}  // namespace chart
