// The chart component: a title, a bottom and a left axis, walls, a legend
// and its line series, painted through the form's canvas.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "chart/ChartPaintCache.h"
#include "chart/ChartParts.h"
#include "chart/core/SeriesPath.h"
#include "chart/core/ZoomPan.h"
#include "forms/Control.h"

namespace chart {

class TLineSeries;

class TChart : public forms::TControl {
  // The parts come first so they exist before the pointers that publish them.
  TChartTitle title_{*this};
  TChartAxis bottomAxis_{*this};
  TChartAxis leftAxis_{*this};
  TChartLegend legend_{*this};
  TChartWall backWall_;
  TChartWall leftWall_;

 public:
  static constexpr const char* ClassName = "TChart";
  explicit TChart(forms::TComponent* AOwner);
  ~TChart() override;

  TChartTitle* const Title = &title_;
  TChartAxis* const BottomAxis = &bottomAxis_;
  TChartAxis* const LeftAxis = &leftAxis_;
  TChartLegend* const Legend = &legend_;
  TChartWall* const BackWall = &backWall_;
  TChartWall* const LeftWall = &leftWall_;

  bool View3D() const { return view3D_; }
  void SetView3D(bool value);
  forms::TColor Color() const { return color_; }
  void SetColor(forms::TColor value);
  bool AllowZoom() const { return allowZoom_; }
  void SetAllowZoom(bool value) { allowZoom_ = value; }
  bool AllowPanning() const { return allowPanning_; }
  void SetAllowPanning(bool value) { allowPanning_ = value; }

  const std::vector<TLineSeries*>& SeriesList() const { return series_; }
  // Where the plot area was at the last paint; mouse gestures work on it.
  const PlotArea& LastPlotArea() const { return plotArea_; }
  // Called by the parts when something shown changed.
  void Changed() { Invalidate(); }

  // The font of the axes' labels: 8-point Arial, black.
  const forms::TFontSpec& LabelsFont() const { return labelsFont_; }

  bool SetProperty(std::string_view name, const forms::reader::Value& value,
                   forms::TReadContext& ctx) override;
  bool AcceptChild(forms::TComponent& child) override;

 protected:
  void Paint(forms::TCanvas& canvas) override;
  void FocusChanged(bool focused) override;
  // For screen readers: the title, and the ranges with the latest sample.
  std::string AccessibleName() override;
  std::string AccessibleDescription() override;
  void ScaleFonts(int numerator, int denominator) override;
  void MouseDown(forms::TMouseButton button, int x, int y) override;
  void MouseMove(int x, int y) override;
  void MouseUp(forms::TMouseButton button, int x, int y) override;

 private:
  friend class TLineSeries;
  void RemoveSeries(TLineSeries* series);
  ZoomPan::View CurrentView() const;
  void Apply(const std::optional<ZoomPan::Ranges>& ranges);
  void PaintRubberBand(forms::TCanvas& canvas);
  void PaintFocusRect(forms::TCanvas& canvas);

  std::vector<TLineSeries*> series_;
  bool view3D_ = true;
  forms::TColor color_ = forms::clBtnFace;
  bool allowZoom_ = true;
  bool allowPanning_ = true;
  forms::TFontSpec labelsFont_;
  std::vector<LineRun> runs_;  // reused by every paint
  ChartPaintCache paintCache_;
  PlotArea plotArea_{0, 0, -1, -1};
  ZoomPan zoomPan_;
};

}  // namespace chart
