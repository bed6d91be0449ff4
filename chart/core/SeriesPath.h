// What of a line series is drawn: only the visible slice (found by binary
// search on X) plus one point beyond each edge, each segment cut at the plot
// edges, consecutive segments of one colour joined into one polyline, and a
// dense slice thinned to a few points per pixel column.
#pragma once

#include <vector>

#include "chart/core/AxisRange.h"
#include "chart/core/SeriesData.h"
#include "forms/Types.h"

namespace chart {

// The plot area in pixels, edges inclusive: the horizontal axis' minimum
// maps to column `left` and its maximum to `right`; the vertical axis'
// minimum maps to row `bottom` and its maximum to row `top`.
struct PlotArea {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct LineRun {
  std::vector<forms::TPoint> points;  // at least two
  Color color;
};

// Fills runs (cleared first; its capacity is reused from paint to paint).
// A segment is drawn in the colour of the point it leads into
// (SeriesData::kDefaultColor there means seriesColor). Draws nothing for a
// range that is empty, reversed or not finite, or an empty area.
void BuildSeriesPath(const SeriesData& data, const AxisRange& horizontal, const AxisRange& vertical,
                     const PlotArea& area, Color seriesColor, std::vector<LineRun>& runs);

}  // namespace chart
