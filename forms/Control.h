// A visible component placed on the form: bounds, tab order, font and a
// native control created through the backend once it has a parent.
#pragma once

#include <memory>

#include "forms/Component.h"
#include "forms/Types.h"
#include "forms/backend/Backend.h"

namespace forms {

class TForm;

class TControl : public TComponent, protected backend::ControlEvents {
 public:
  ~TControl() override;

  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  void SetLeft(int value) { SetBounds(value, Top(), Width(), Height()); }
  void SetTop(int value) { SetBounds(Left(), value, Width(), Height()); }
  void SetWidth(int value) { SetBounds(Left(), Top(), value, Height()); }
  void SetHeight(int value) { SetBounds(Left(), Top(), Width(), value); }
  // Sizes below zero become zero, as no window can be smaller than nothing;
  // all four are kept within kMinCoordinate..kMaxCoordinate.
  void SetBounds(int left, int top, int width, int height);
  const TRect& BoundsRect() const { return bounds_; }

  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int value);
  // Whether Tab stops at the control; each kind sets its default.
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  // Whether the control has the keyboard focus, as the window system said.
  bool Focused() const { return focused_; }
  const TFontSpec& Font() const { return font_; }

  TForm* Parent() const { return parent_; }
  // Places the control on the form and creates its native control there.
  void SetParent(TForm* parent);
  // Asks for a repaint; requests before the next paint are merged.
  void Invalidate();

  // The window system's side of this control; null until it has a parent.
  backend::NativeControl* Native() const { return native_.get(); }

  bool SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) override;
  bool HasParent() const override { return true; }

 protected:
  TControl(TComponent* AOwner, backend::ControlKind kind);
  // After the native control exists: push the state it has to show.
  virtual void NativeCreated() {}
  // The form scales to the screen's density once, at load: fonts a control
  // keeps of its own (not the form's) follow by numerator / denominator.
  virtual void ScaleFonts(int /*numerator*/, int /*denominator*/) {}
  void FocusChanged(bool focused) override { focused_ = focused; }

 private:
  friend class TForm;
  void ParentFontChanged(const TFontSpec& font);

  backend::ControlKind kind_;
  TRect bounds_;
  int tabOrder_ = -1;
  bool tabStop_ = false;
  bool focused_ = false;
  TFontSpec font_;
  TForm* parent_ = nullptr;
  std::unique_ptr<backend::NativeControl> native_;
};

}  // namespace forms
