// A push button: a caption and a click event.
#pragma once

#include <string>

#include "forms/Control.h"
#include "forms/Events.h"

namespace forms {

class TButton : public TControl {
 public:
  static constexpr const char* ClassName = "TButton";
  explicit TButton(TComponent* AOwner);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string ansi);
  // Does what a click does: runs OnClick.
  void Click();
  TNotifyEvent OnClick;

  bool SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) override;

 protected:
  void NativeCreated() override;
  void Clicked() override { Click(); }

 private:
  std::string caption_;
};

}  // namespace forms
