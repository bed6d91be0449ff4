// A line series: its points, sorted by X, joined by line segments, each in
// the colour of the point it leads into.
#pragma once

#include <optional>
#include <string>

#include "chart/core/SeriesData.h"
#include "forms/Component.h"
#include "forms/Types.h"

namespace chart {

class TChart;

class TLineSeries : public forms::TComponent {
 public:
  static constexpr const char* ClassName = "TLineSeries";
  explicit TLineSeries(forms::TComponent* AOwner);
  ~TLineSeries() override;

  // Inserts a point after every point whose X is <= x; the chart is redrawn
  // at its next paint, however many points came before it. Returns the
  // point's index.
  std::size_t AddXY(double x, double y, const std::string& label, forms::TColor color);

  const SeriesData& Data() const { return data_; }
  // The point added last, wherever its X put it among the others.
  struct Sample {
    double x;
    double y;
  };
  const std::optional<Sample>& Latest() const { return latest_; }
  std::size_t Count() const { return data_.Count(); }
  forms::TColor SeriesColor() const { return seriesColor_; }
  void SetSeriesColor(forms::TColor value);
  bool PointerVisible() const { return pointerVisible_; }
  bool MarksVisible() const { return marksVisible_; }

  TChart* ParentChart() const { return chart_; }
  void SetParentChart(TChart* chart);

  bool SetProperty(std::string_view name, const forms::reader::Value& value,
                   forms::TReadContext& ctx) override;
  bool HasParent() const override { return true; }

 private:
  bool SetValueListProperty(std::string_view name, const forms::reader::Value& value, bool isX);
  void Changed();

  SeriesData data_;
  std::optional<Sample> latest_;
  forms::TColor seriesColor_ = forms::clRed;
  bool pointerVisible_ = true;
  bool marksVisible_ = false;
  TChart* chart_ = nullptr;
};

}  // namespace chart
