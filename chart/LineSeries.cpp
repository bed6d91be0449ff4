#include "chart/LineSeries.h"

#include "chart/Chart.h"
#include "forms/Exceptions.h"
#include "forms/PropertyValues.h"

namespace chart {

using forms::reader::Value;

TLineSeries::TLineSeries(forms::TComponent* AOwner) : forms::TComponent(AOwner) {}

TLineSeries::~TLineSeries() { SetParentChart(nullptr); }

std::size_t TLineSeries::AddXY(double x, double y, const std::string& label, forms::TColor color) {
  std::size_t index = data_.Add(x, y, label, color);
  latest_ = Sample{x, y};
  Changed();
  return index;
}

void TLineSeries::SetSeriesColor(forms::TColor value) {
  seriesColor_ = value;
  Changed();
}

void TLineSeries::SetParentChart(TChart* chart) {
  if (chart_ == chart) return;
  if (chart_) chart_->RemoveSeries(this);
  chart_ = chart;
  if (chart_) {
    chart_->series_.push_back(this);
    chart_->Changed();
  }
}

void TLineSeries::Changed() {
  if (chart_) chart_->Changed();
}

bool TLineSeries::SetProperty(std::string_view name, const Value& value, forms::TReadContext& ctx) {
  using namespace forms;
  if (name == "SeriesColor") SetSeriesColor(AsColor(value));
  else if (name == "Pointer.Visible") pointerVisible_ = AsBool(value);
  else if (name == "Pointer.Style") AsEnum(value, {"psRectangle", "psCircle", "psTriangle", "psDownTriangle", "psCross", "psDiagCross", "psStar", "psDiamond", "psSmallDot"});
  else if (name == "Pointer.InflateMargins") AsBool(value);
  else if (name == "Marks.Visible") marksVisible_ = AsBool(value);
  else if (name == "Marks.Style") AsEnum(value, {"smsValue", "smsPercent", "smsLabel", "smsLabelPercent", "smsLabelValue", "smsLegend", "smsPercentTotal", "smsLabelPercentTotal", "smsXValue"});
  else if (name == "Marks.ArrowLength") AsInt(value);
  else if (name.starts_with("XValues.")) return SetValueListProperty(name.substr(8), value, true);
  else if (name.starts_with("YValues.")) return SetValueListProperty(name.substr(8), value, false);
  else return TComponent::SetProperty(name, value, ctx);
  return true;
}

// The X values are kept in ascending order and the Y values in the order of
// their X; both are taken as written (multiplier 1, no date-time).
bool TLineSeries::SetValueListProperty(std::string_view name, const Value& value, bool isX) {
  using namespace forms;
  if (name == "Name") AsText(value);
  else if (name == "DateTime") {
    if (AsBool(value)) throw Exception("date-time values are not supported");
  } else if (name == "Multiplier") {
    if (AsDouble(value) != 1.0) throw Exception("only a multiplier of 1 is supported");
  } else if (name == "Order") {
    int order = AsEnum(value, {"loNone", "loAscending", "loDescending"});
    if (order != (isX ? 1 : 0))
      throw Exception(isX ? "X values are always kept ascending (loAscending)"
                          : "Y values follow their X values (loNone)");
  } else return false;
  return true;
}

}  // namespace chart
