#include "chart/Chart.h"

#include <algorithm>
#include <cmath>

#include "chart/LineSeries.h"
#include "forms/PropertyValues.h"

namespace chart {

using forms::reader::Value;

TChart::TChart(forms::TComponent* AOwner)
    : forms::TControl(AOwner, forms::backend::ControlKind::Custom) {
  SetBounds(0, 0, 400, 250);
}

TChart::~TChart() {
  for (TLineSeries* series : std::vector<TLineSeries*>(series_)) series->SetParentChart(nullptr);
}

void TChart::SetView3D(bool value) {
  if (value == view3D_) return;
  view3D_ = value;
  Changed();
}

void TChart::SetColor(forms::TColor value) {
  color_ = value;
  Changed();
}

void TChart::RemoveSeries(TLineSeries* series) {
  series_.erase(std::remove(series_.begin(), series_.end(), series), series_.end());
  Changed();
}

ZoomPan::View TChart::CurrentView() const {
  return {BottomAxis->Range(), LeftAxis->Range(), plotArea_};
}

// A gesture sets the ranges as the set-range operation does; one that
// would leave the finite numbers is not followed.
void TChart::Apply(const std::optional<ZoomPan::Ranges>& ranges) {
  if (!ranges) return;
  const ZoomPan::Ranges& r = *ranges;
  for (double v : {r.horizontalMinimum, r.horizontalMaximum, r.verticalMinimum, r.verticalMaximum})
    if (!std::isfinite(v)) return;
  BottomAxis->SetMinMax(r.horizontalMinimum, r.horizontalMaximum);
  LeftAxis->SetMinMax(r.verticalMinimum, r.verticalMaximum);
}

void TChart::MouseDown(forms::TMouseButton button, int x, int y) {
  zoomPan_.MouseDown(button, x, y, CurrentView(), allowZoom_, allowPanning_);
}

void TChart::MouseMove(int x, int y) {
  bool banding = zoomPan_.RubberBand().has_value();
  Apply(zoomPan_.MouseMove(x, y, CurrentView()));
  if (banding) Changed();
}

void TChart::MouseUp(forms::TMouseButton button, int x, int y) {
  bool banding = zoomPan_.RubberBand().has_value();
  Apply(zoomPan_.MouseUp(button, x, y, CurrentView()));
  if (banding) Changed();
}

bool TChart::AcceptChild(forms::TComponent& child) {
  auto* series = dynamic_cast<TLineSeries*>(&child);
  if (!series) return false;
  series->SetParentChart(this);
  return true;
}

bool TChart::SetProperty(std::string_view name, const Value& value, forms::TReadContext& ctx) {
  using namespace forms;
  if (name == "BackWall.Brush.Color") BackWall->BrushColor = AsColor(value);
  else if (name == "BackWall.Brush.Style")
    BackWall->BrushStyle = AsEnum(value, {"bsSolid", "bsClear"}) ? TBrushStyle::bsClear : TBrushStyle::bsSolid;
  else if (name == "BackWall.Color") BackWall->Color = AsColor(value);
  else if (name == "BackWall.Pen.Color") BackWall->PenColor = AsColor(value);
  else if (name == "LeftWall.Color") LeftWall->Color = AsColor(value);
  else if (name == "Title.Text.Strings") Title->Text->Assign(AsTextList(value));
  else if (name == "Title.Visible") Title->Visible = AsBool(value);
  else if (name == "Title.Font.Color") Title->Font.Color = AsColor(value);
  else if (name == "Title.Font.Name") Title->Font.Name = AsText(value);
  else if (name == "Title.Font.Height") Title->Font.Height = AsInt(value);
  else if (name == "Legend.Visible") Legend->SetVisible(AsBool(value));
  else if (name == "View3D") SetView3D(AsBool(value));
  else if (name == "Color") SetColor(AsColor(value));
  else if (name == "AllowZoom") SetAllowZoom(AsBool(value));
  else if (name == "AllowPanning") {
    // Either a plain switch or which directions may pan; any direction allows it.
    std::string mode = AsIdentifier(value);
    SetAllowPanning(mode == "True" || mode == "False"
                        ? AsBool(value)
                        : AsEnum(value, {"pmNone", "pmHorizontal", "pmVertical", "pmBoth"}) != 0);
  }
  else return TControl::SetProperty(name, value, ctx);
  return true;
}

}  // namespace chart
