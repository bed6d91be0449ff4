// How the chart draws itself: background, title, the back wall's frame
// round the plot area, grid, axis labels, then the series on top. What it
// measures and formats is kept in paintCache_ from paint to paint.
#include <algorithm>
#include <string>
#include <vector>

#include "chart/Chart.h"
#include "chart/LineSeries.h"

namespace chart {
namespace {

constexpr int kMargin = 8;         // between the chart's edge and what it draws
constexpr int kTitleGap = 6;       // below the title
constexpr int kTickLength = 4;
constexpr int kLabelGap = 2;       // between a tick and its label
constexpr int kLegendLine = 20;    // the sample line in the legend
constexpr forms::TColor kGridColor = forms::clGray;

}  // namespace

void TChart::Paint(forms::TCanvas& canvas) {
  const int width = Width();
  const int height = Height();
  canvas.FillRect({0, 0, width, height}, color_);
  plotArea_ = PlotArea{0, 0, -1, -1};  // none until this paint finds one
  if (width <= 0 || height <= 0) return;
  if (Focused()) PaintFocusRect(canvas);
  TextMetrics& metrics = paintCache_.metrics;

  int top = kMargin;
  if (Title->Visible) {
    int lineHeight = metrics.Height(canvas, Title->Font);
    for (const std::string& line : Title->DisplayLines()) {
      canvas.TextOut((width - metrics.Width(canvas, line, Title->Font)) / 2, top - 4, line, Title->Font);
      top += lineHeight;
    }
    if (!Title->DisplayLines().empty()) top += kTitleGap - 4;
  }

  const forms::TFontSpec& axisFont = labelsFont_;
  const int labelHeight = metrics.Height(canvas, axisFont);
  PlotArea area;
  area.top = top;
  area.bottom = height - 1 - kMargin - labelHeight - kLabelGap - kTickLength;
  if (area.bottom <= area.top) return;

  // The left axis' labels decide how far in the plot area starts.
  const std::vector<AxisLabel>& leftLabels = paintCache_.left.Labels(
      LeftAxis->Range(), area.bottom, area.top, labelHeight, axisFont, canvas, metrics, paintCache_.texts);
  int widest = 0;
  for (const AxisLabel& l : leftLabels) widest = std::max(widest, l.width);
  area.left = kMargin + widest + kLabelGap + kTickLength;

  int right = width - 1 - kMargin;
  static const std::string kNoName;
  const std::string& seriesName = series_.empty() ? kNoName : series_.front()->Name();
  if (Legend->Visible() && !series_.empty())
    right -= kLegendLine + 3 * kLabelGap + metrics.Width(canvas, seriesName, axisFont) + kMargin;
  // Room for half the widest bottom label past the right edge.
  const int maximumLabelWidth =
      metrics.Width(canvas, paintCache_.texts.Text(BottomAxis->Maximum()), axisFont);
  right -= maximumLabelWidth / 2;
  area.right = right;
  if (area.right <= area.left) return;
  plotArea_ = area;

  const std::vector<AxisLabel>& bottomLabels =
      paintCache_.bottom.Labels(BottomAxis->Range(), area.left, area.right,
                                metrics.Width(canvas, "0,000.0", axisFont), axisFont, canvas, metrics,
                                paintCache_.texts);

  if (BackWall->BrushStyle == TBrushStyle::bsSolid)
    canvas.FillRect({area.left, area.top, area.right - area.left + 1, area.bottom - area.top + 1},
                    BackWall->BrushColor);

  // The grid, then the ticks, then the texts: one pen for each, and none of
  // them overlaps another.
  for (const AxisLabel& l : leftLabels)
    if (l.pixel > area.top && l.pixel < area.bottom)
      canvas.Line({area.left + 1, l.pixel}, {area.right - 1, l.pixel}, kGridColor, forms::TPenStyle::psDot);
  for (const AxisLabel& l : bottomLabels)
    if (l.pixel > area.left && l.pixel < area.right)
      canvas.Line({l.pixel, area.top + 1}, {l.pixel, area.bottom - 1}, kGridColor, forms::TPenStyle::psDot);
  for (const AxisLabel& l : leftLabels)
    canvas.Line({area.left - kTickLength, l.pixel}, {area.left - 1, l.pixel}, forms::clBlack);
  for (const AxisLabel& l : bottomLabels)
    canvas.Line({l.pixel, area.bottom + 1}, {l.pixel, area.bottom + kTickLength}, forms::clBlack);
  for (const AxisLabel& l : leftLabels)
    canvas.TextOut(area.left - kTickLength - kLabelGap - l.width, l.pixel - labelHeight / 2, l.text,
                   axisFont);
  for (const AxisLabel& l : bottomLabels)
    canvas.TextOut(l.pixel - l.width / 2, area.bottom + kTickLength + kLabelGap, l.text, axisFont);
  canvas.FrameRect({area.left, area.top, area.right - area.left + 1, area.bottom - area.top + 1},
                   BackWall->PenColor);

  for (TLineSeries* series : series_) {
    BuildSeriesPath(series->Data(), BottomAxis->Range(), LeftAxis->Range(), area,
                    series->SeriesColor(), runs_);
    for (const LineRun& run : runs_) canvas.Polyline(run.points.data(), run.points.size(), run.color);
  }

  if (Legend->Visible() && !series_.empty()) {
    int x = area.right + kMargin + maximumLabelWidth / 2;
    int y = area.top + labelHeight / 2;
    canvas.Line({x, y}, {x + kLegendLine, y}, series_.front()->SeriesColor());
    canvas.TextOut(x + kLegendLine + kLabelGap, y - labelHeight / 2, seriesName, axisFont);
  }
  PaintRubberBand(canvas);
}

// The rectangle being dragged for a zoom, dotted, over everything else.
void TChart::PaintRubberBand(forms::TCanvas& canvas) {
  std::optional<forms::TRect> band = zoomPan_.RubberBand();
  if (!band) return;
  const forms::TRect& r = *band;
  forms::TPoint corners[] = {{r.left, r.top}, {r.Right() - 1, r.top}, {r.Right() - 1, r.Bottom() - 1},
                             {r.left, r.Bottom() - 1}};
  for (int i = 0; i < 4; ++i)
    canvas.Line(corners[i], corners[(i + 1) % 4], forms::clBlack, forms::TPenStyle::psDot);
}

}  // namespace chart
