#include "chart/ChartParts.h"

#include "chart/Chart.h"
#include "forms/AnsiText.h"

namespace chart {

TChartTitle::TChartTitle(TChart& chart) : Text(&text_) {
  Font.Name = "Arial";
  Font.Height = -11;  // 8 points at 96 pixels per inch
  Font.Color = forms::clBlue;
  text_.OnChange = [this, &chart] {
    display_.clear();
    for (const std::string& line : text_.Lines()) display_.push_back(forms::AnsiToUtf8(line));
    chart.Changed();
  };
}

void TChartAxis::SetMinimum(double value) {
  range_.SetMinimum(value);
  chart_.Changed();
}

void TChartAxis::SetMaximum(double value) {
  range_.SetMaximum(value);
  chart_.Changed();
}

void TChartAxis::SetMinMax(double minimum, double maximum) {
  range_.SetMinMax(minimum, maximum);
  chart_.Changed();
}

void TChartLegend::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  chart_.Changed();
}

}  // namespace chart
