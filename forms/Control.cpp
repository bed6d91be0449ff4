#include "forms/Control.h"

#include <algorithm>

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/PropertyValues.h"

namespace forms {

TControl::TControl(TComponent* AOwner, backend::ControlKind kind) : TComponent(AOwner), kind_(kind) {}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  TRect bounds{std::clamp(left, kMinCoordinate, kMaxCoordinate), std::clamp(top, kMinCoordinate, kMaxCoordinate),
               std::clamp(width, 0, kMaxCoordinate), std::clamp(height, 0, kMaxCoordinate)};
  if (bounds == bounds_) return;
  bounds_ = bounds;
  if (native_) native_->SetBounds(bounds_);
  if (parent_) parent_->ControlBoundsChanged();
}

void TControl::SetTabOrder(int value) {
  tabOrder_ = value;
  if (native_) native_->SetTabOrder(value);
}

void TControl::SetTabStop(bool value) {
  tabStop_ = value;
  if (native_) native_->SetTabStop(value);
}

void TControl::SetParent(TForm* parent) {
  if (parent_ == parent) return;
  if (parent_) parent_->RemoveControl(this);
  native_.reset();
  focused_ = false;
  parent_ = parent;
  if (!parent_) return;
  parent_->InsertControl(this);
  font_ = parent_->Font();
  native_ = Application->Backend().CreateControl(kind_, parent_->Native(), *this);
  native_->SetFont(font_);
  native_->SetBounds(bounds_);
  native_->SetTabStop(tabStop_);
  if (tabOrder_ >= 0) native_->SetTabOrder(tabOrder_);
  NativeCreated();
}

void TControl::ParentFontChanged(const TFontSpec& font) {
  font_ = font;
  if (native_) native_->SetFont(font_);
}

void TControl::Invalidate() {
  if (native_) native_->Invalidate();
}

bool TControl::SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) {
  if (name == "Left") SetLeft(AsCoordinate(value));
  else if (name == "Top") SetTop(AsCoordinate(value));
  else if (name == "Width") SetWidth(AsCoordinate(value));
  else if (name == "Height") SetHeight(AsCoordinate(value));
  else if (name == "TabOrder") SetTabOrder(AsInt(value));
  else if (name == "TabStop") SetTabStop(AsBool(value));
  else return TComponent::SetProperty(name, value, ctx);
  return true;
}

}  // namespace forms
