#include "chart/Chart.h"

#include <algorithm>
#include <cmath>

#include "chart/LineSeries.h"
#include "chart/core/AxisLabels.h"
#include "forms/PropertyValues.h"

namespace chart {

using forms::reader::Value;

TChart::TChart(forms::TComponent* AOwner)
    : forms::TControl(AOwner, forms::backend::ControlKind::Custom) {
  SetBounds(0, 0, 400, 250);
  SetTabStop(true);
  labelsFont_.Name = "Arial";
  labelsFont_.Height = -11;  // 8 points at 96 pixels per inch
  labelsFont_.Color = forms::clBlack;
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

void TChart::FocusChanged(bool focused) {
  TControl::FocusChanged(focused);
  Changed();
}

// The dotted rectangle of a focused control, just inside the chart's edge.
void TChart::PaintFocusRect(forms::TCanvas& canvas) {
  const int right = Width() - 2;
  const int bottom = Height() - 2;
  if (right <= 1 || bottom <= 1) return;
  forms::TPoint corners[] = {{1, 1}, {right, 1}, {right, bottom}, {1, bottom}};
  for (int i = 0; i < 4; ++i)
    canvas.Line(corners[i], corners[(i + 1) % 4], forms::clBlack, forms::TPenStyle::psDot);
}

// The fonts are given in pixels at the form's design density; 8 points
// become 11 pixels at 96 pixels per inch and 22 at 192.
void TChart::ScaleFonts(int numerator, int denominator) {
  for (forms::TFontSpec* font : {&Title->Font, &labelsFont_})
    font->Height = static_cast<int>(std::lround(static_cast<double>(font->Height) * numerator / denominator));
  Changed();
}

std::string TChart::AccessibleName() {
  std::string name;
  for (const std::string& line : Title->DisplayLines()) {
    if (line.empty()) continue;
    if (!name.empty()) name += ' ';
    name += line;
  }
  return name;
}

// "Bottom axis 0 to 1,000; left axis 0 to 100; latest sample 50 at 1,005",
// with the series' name before its sample when there are several.
std::string TChart::AccessibleDescription() {
  std::string text = "Bottom axis " + FormatAxisLabel(BottomAxis->Minimum()) + " to " +
                     FormatAxisLabel(BottomAxis->Maximum()) + "; left axis " +
                     FormatAxisLabel(LeftAxis->Minimum()) + " to " + FormatAxisLabel(LeftAxis->Maximum());
  bool any = false;
  for (const TLineSeries* series : series_) {
    const auto& latest = series->Latest();
    if (!latest) continue;
    any = true;
    text += "; ";
    if (series_.size() > 1 && !series->Name().empty()) text += series->Name() + " ";
    text += "latest sample " + FormatAxisLabel(latest->y) + " at " + FormatAxisLabel(latest->x);
  }
  if (!any) text += "; no samples";
  return text;
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
  else if (name == "Title.Font.Height") Title->Font.Height = AsFontHeight(value);
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
