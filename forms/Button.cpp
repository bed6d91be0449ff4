#include "forms/Button.h"

#include "forms/AnsiText.h"
#include "forms/PropertyValues.h"

namespace forms {

TButton::TButton(TComponent* AOwner) : TControl(AOwner, backend::ControlKind::Button) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::SetCaption(std::string ansi) {
  caption_ = std::move(ansi);
  if (Native()) Native()->SetText(AnsiToUtf8(caption_));
}

void TButton::Click() {
  if (OnClick) OnClick(this);
}

void TButton::NativeCreated() { Native()->SetText(AnsiToUtf8(caption_)); }

bool TButton::SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) {
  if (name == "Caption") SetCaption(AsText(value));
  else if (name == "OnClick") OnClick = ctx.NotifyHandler(value);
  else return TControl::SetProperty(name, value, ctx);
  return true;
}

}  // namespace forms
