// A line of text drawn on the form, opaque in the form's colour, sizing
// itself to its text while keeping its left and top.
#pragma once

#include <string>

#include "forms/Control.h"

namespace forms {

class TLabel : public TControl {
 public:
  static constexpr const char* ClassName = "TLabel";
  explicit TLabel(TComponent* AOwner);

  const std::string& Caption() const { return caption_; }
  // Setting the text it already shows does nothing.
  void SetCaption(std::string ansi);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  bool SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) override;
  void Loaded() override;

 protected:
  void NativeCreated() override;

 private:
  void FitToText();

  std::string caption_;
  bool autoSize_ = true;
};

}  // namespace forms
