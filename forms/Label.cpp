#include "forms/Label.h"

#include "forms/AnsiText.h"
#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/PropertyValues.h"

namespace forms {

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner, backend::ControlKind::Label) {
  SetBounds(0, 0, 65, 17);
}

void TLabel::SetCaption(std::string ansi) {
  if (ansi == caption_) return;
  caption_ = std::move(ansi);
  if (Native()) Native()->SetText(AnsiToUtf8(caption_));
  FitToText();
}

void TLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  FitToText();
}

void TLabel::FitToText() {
  // While loading, the designed size stands until every setting is read.
  if (!autoSize_ || Loading() || !Parent()) return;
  backend::Backend& backend = Application->Backend();
  std::string text = AnsiToUtf8(caption_);
  SetBounds(Left(), Top(), backend.TextWidth(text, Font()), backend.TextHeight(Font()));
}

void TLabel::Loaded() {
  TControl::Loaded();
  FitToText();
}

void TLabel::NativeCreated() {
  Native()->SetText(AnsiToUtf8(caption_));
  if (Parent()) Native()->SetColor(Parent()->Color());
}

bool TLabel::SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) {
  if (name == "Caption") SetCaption(AsText(value));
  else if (name == "AutoSize") SetAutoSize(AsBool(value));
  else return TControl::SetProperty(name, value, ctx);
  return true;
}

}  // namespace forms
