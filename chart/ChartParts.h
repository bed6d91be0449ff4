// The parts of a chart that hold settings: title, axes, legend, walls. Each
// tells its chart when something shown changes.
#pragma once

#include <string>
#include <vector>

#include "chart/core/AxisRange.h"
#include "forms/Strings.h"
#include "forms/Types.h"

namespace chart {

class TChart;

class TChartTitle {
 public:
  explicit TChartTitle(TChart& chart);
  // The lines, 8-bit text in the program's code page.
  forms::TStrings* const Text;
  forms::TFontSpec Font;
  bool Visible = true;
  // The lines as shown, converted once when they change.
  const std::vector<std::string>& DisplayLines() const { return display_; }

 private:
  forms::TStrings text_;
  std::vector<std::string> display_;
};

class TChartAxis {
 public:
  explicit TChartAxis(TChart& chart) : chart_(chart) {}
  double Minimum() const { return range_.Minimum(); }
  double Maximum() const { return range_.Maximum(); }
  void SetMinimum(double value);
  void SetMaximum(double value);
  void SetMinMax(double minimum, double maximum);
  bool Automatic() const { return range_.Automatic(); }
  bool AutomaticMinimum() const { return range_.AutomaticMinimum(); }
  bool AutomaticMaximum() const { return range_.AutomaticMaximum(); }
  const AxisRange& Range() const { return range_; }

 private:
  TChart& chart_;
  AxisRange range_;
};

class TChartLegend {
 public:
  explicit TChartLegend(TChart& chart) : chart_(chart) {}
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

 private:
  TChart& chart_;
  bool visible_ = true;
};

enum class TBrushStyle { bsSolid, bsClear };

class TChartWall {
 public:
  forms::TColor Color = forms::clSilver;
  forms::TColor BrushColor = forms::clWhite;
  TBrushStyle BrushStyle = TBrushStyle::bsSolid;
  forms::TColor PenColor = forms::clBlack;
};

}  // namespace chart
