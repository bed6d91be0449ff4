// Mouse gestures as range arithmetic: which drags zoom, restore or pan,
// the thresholds, and the ranges each sets.
#include "chart/core/ZoomPan.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace chart {
void PrintTo(const ZoomPan::Ranges& r, std::ostream* out) {
  *out << "[" << r.horizontalMinimum << ", " << r.horizontalMaximum << "] x [" << r.verticalMinimum
       << ", " << r.verticalMaximum << "]";
}
}  // namespace chart

namespace {

using chart::ZoomPan;
using forms::TMouseButton;
using Ranges = ZoomPan::Ranges;

// A plot 500 px wide showing 0..1000 (2 units a pixel) and 400 px high
// showing 0..100 (a quarter unit a pixel).
ZoomPan::View Designed() {
  ZoomPan::View view;
  view.horizontal.SetMinMax(0, 1000);
  view.vertical.SetMinMax(0, 100);
  view.area = {100, 50, 600, 450};
  return view;
}

void Apply(ZoomPan::View& view, const std::optional<Ranges>& r) {
  if (!r) return;
  view.horizontal.SetMinMax(r->horizontalMinimum, r->horizontalMaximum);
  view.vertical.SetMinMax(r->verticalMinimum, r->verticalMaximum);
}

// One whole drag, as the chart delivers it.
std::optional<Ranges> Drag(ZoomPan& gestures, ZoomPan::View& view, TMouseButton button, int x0,
                           int y0, int x1, int y1, bool allowZoom = true, bool allowPanning = true) {
  gestures.MouseDown(button, x0, y0, view, allowZoom, allowPanning);
  Apply(view, gestures.MouseMove((x0 + x1) / 2, (y0 + y1) / 2, view));
  Apply(view, gestures.MouseMove(x1, y1, view));
  std::optional<Ranges> result = gestures.MouseUp(button, x1, y1, view);
  Apply(view, result);
  return result;
}

const Ranges kDesigned{0, 1000, 0, 100};

struct DragCase {
  const char* name;
  TMouseButton button;
  int dx;
  int dy;
  bool allowZoom;
  bool allowPanning;
  bool zoomedBefore;       // a zoom to [200, 600] x [25, 75] happened first
  std::optional<Ranges> after;  // the ranges the view ends with
};

const Ranges kZoomed{200, 600, 25, 75};

class DragTest : public ::testing::TestWithParam<DragCase> {};

TEST_P(DragTest, EndsWithTheExpectedRanges) {
  const DragCase& c = GetParam();
  ZoomPan gestures;
  ZoomPan::View view = Designed();
  if (c.zoomedBefore) Drag(gestures, view, TMouseButton::mbLeft, 200, 150, 400, 350);
  Ranges before{view.horizontal.Minimum(), view.horizontal.Maximum(), view.vertical.Minimum(),
                view.vertical.Maximum()};
  Drag(gestures, view, c.button, 300, 250, 300 + c.dx, 250 + c.dy, c.allowZoom, c.allowPanning);
  Ranges now{view.horizontal.Minimum(), view.horizontal.Maximum(), view.vertical.Minimum(),
             view.vertical.Maximum()};
  EXPECT_EQ(now, c.after.value_or(before));
}

INSTANTIATE_TEST_SUITE_P(
    Drags, DragTest,
    ::testing::Values(
        DragCase{"Right16Down16DoesNothing", TMouseButton::mbLeft, 16, 16, true, true, false, {}},
        DragCase{"Right17Down16DoesNothing", TMouseButton::mbLeft, 17, 16, true, true, false, {}},
        DragCase{"Right16Down17DoesNothing", TMouseButton::mbLeft, 16, 17, true, true, false, {}},
        DragCase{"Right17Down17Zooms", TMouseButton::mbLeft, 17, 17, true, true, false,
                 Ranges{400, 434, 45.75, 50}},
        DragCase{"ZoomNotAllowed", TMouseButton::mbLeft, 100, 100, false, true, false, {}},
        DragCase{"UpLeftRestores", TMouseButton::mbLeft, -17, -17, true, true, true, kDesigned},
        DragCase{"UpRightRestores", TMouseButton::mbLeft, 17, -17, true, true, true, kDesigned},
        DragCase{"DownLeftRestores", TMouseButton::mbLeft, -17, 17, true, true, true, kDesigned},
        DragCase{"UpLeft16KeepsTheZoom", TMouseButton::mbLeft, -16, -17, true, true, true, {}},
        DragCase{"RestoreWithNothingSavedDoesNothing", TMouseButton::mbLeft, -50, -50, true, true,
                 false, {}},
        DragCase{"RightButtonPans", TMouseButton::mbRight, 50, 40, true, true, false,
                 Ranges{-100, 900, 10, 110}},
        DragCase{"RightButtonPansAZoomedView", TMouseButton::mbRight, 50, 40, true, true, true,
                 Ranges{160, 560, 30, 80}},
        DragCase{"PanningNotAllowed", TMouseButton::mbRight, 50, 40, true, false, false, {}},
        DragCase{"MiddleButtonDoesNothing", TMouseButton::mbMiddle, 50, 40, true, true, false, {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ZoomPan, ZoomsToTheDraggedRectangle) {
  ZoomPan gestures;
  ZoomPan::View view = Designed();
  std::optional<Ranges> zoom = Drag(gestures, view, TMouseButton::mbLeft, 200, 150, 400, 350);
  ASSERT_TRUE(zoom.has_value());
  EXPECT_EQ(*zoom, kZoomed);
}

TEST(ZoomPan, RestoreBringsBackTheRangesFromBeforeTheFirstZoomOrPan) {
  ZoomPan gestures;
  ZoomPan::View view = Designed();
  Drag(gestures, view, TMouseButton::mbRight, 300, 250, 320, 260);
  Drag(gestures, view, TMouseButton::mbLeft, 200, 150, 400, 350);
  Drag(gestures, view, TMouseButton::mbLeft, 200, 150, 400, 350);
  EXPECT_TRUE(gestures.HasSavedRanges());
  std::optional<Ranges> restore = Drag(gestures, view, TMouseButton::mbLeft, 400, 350, 200, 150);
  ASSERT_TRUE(restore.has_value());
  EXPECT_EQ(*restore, kDesigned);
  EXPECT_FALSE(gestures.HasSavedRanges()) << "the next zoom saves afresh";
}

TEST(ZoomPan, PanningFollowsThePointerStepByStep) {
  ZoomPan gestures;
  ZoomPan::View view = Designed();
  gestures.MouseDown(TMouseButton::mbRight, 300, 250, view, true, true);
  Apply(view, gestures.MouseMove(310, 250, view));
  EXPECT_EQ(view.horizontal.Minimum(), -20);
  Apply(view, gestures.MouseMove(310, 250, view));
  EXPECT_EQ(view.horizontal.Minimum(), -20) << "no movement, no change";
  Apply(view, gestures.MouseMove(300, 246, view));
  EXPECT_EQ(view.horizontal.Minimum(), 0);
  EXPECT_EQ(view.vertical.Minimum(), -1);
  EXPECT_FALSE(gestures.MouseUp(TMouseButton::mbRight, 300, 246, view).has_value());
  EXPECT_FALSE(view.horizontal.Automatic()) << "ranges are set as the set-range operation sets them";
}

TEST(ZoomPan, RubberBandOnlyWhileALeftDragGoes) {
  ZoomPan gestures;
  ZoomPan::View view = Designed();
  gestures.MouseDown(TMouseButton::mbLeft, 300, 250, view, true, true);
  gestures.MouseMove(280, 300, view);
  ASSERT_TRUE(gestures.RubberBand().has_value());
  EXPECT_EQ(*gestures.RubberBand(), (forms::TRect{280, 250, 21, 51}));
  gestures.MouseUp(TMouseButton::mbLeft, 280, 300, view);
  EXPECT_FALSE(gestures.RubberBand().has_value());

  gestures.MouseDown(TMouseButton::mbLeft, 50, 20, view, true, true);  // outside the plot
  gestures.MouseMove(300, 300, view);
  EXPECT_FALSE(gestures.RubberBand().has_value());
}

}  // namespace
