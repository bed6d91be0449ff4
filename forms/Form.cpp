#include "forms/Form.h"

#include <algorithm>
#include <cmath>

#include "forms/AnsiText.h"
#include "forms/Application.h"
#include "forms/Control.h"
#include "forms/PropertyValues.h"
#include "forms/reader/FormBuilder.h"

namespace forms {
namespace {

// The frame of the platform the designs were made on: an outer size in a
// description is this much larger than its client area.
constexpr TPoint kDesignFrame{8, 27};
// Queries nest at most one level below the first.
constexpr int kMaxQueryDepth = 2;

int MulDiv(int value, int numerator, int denominator) {
  return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

}  // namespace

TForm::TForm(TComponent* AOwner)
    : TComponent(AOwner), native_(Application->Backend().CreateWindow(*this)) {
  native_->SetColor(color_);
}

TForm::~TForm() {
  // Controls go first: their native controls live inside the window.
  while (!Components().empty()) delete Components().back();
}

void TForm::ReadForm(std::string_view description, std::string_view sourceName,
                     const TPublishedNames& names) {
  reader::BuildForm(*this, description, sourceName, names);
}

void TForm::SetCaption(std::string ansi) {
  caption_ = std::move(ansi);
  native_->SetCaption(AnsiToUtf8(caption_));
}

void TForm::SetColor(TColor color) {
  color_ = color;
  native_->SetColor(color);
}

void TForm::SetFont(const TFontSpec& font) {
  font_ = font;
  for (TControl* c : controls_) c->ParentFontChanged(font_);
}

int TForm::Width() const { return ClientWidth() + native_->FrameExtent().x; }
int TForm::Height() const { return ClientHeight() + native_->FrameExtent().y; }
int TForm::ClientWidth() const { return native_->ClientWidth(); }
int TForm::ClientHeight() const { return native_->ClientHeight(); }

void TForm::SetClientSize(int width, int height) {
  width = std::clamp(width, 0, kMaxCoordinate);
  height = std::clamp(height, 0, kMaxCoordinate);
  if (width == ClientWidth() && height == ClientHeight()) return;
  TPoint frame = native_->FrameExtent();
  if (!QueryCanResize(width + frame.x, height + frame.y)) return;
  native_->SetClientSize(width, height);
}

bool TForm::SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) {
  if (name == "Caption") SetCaption(AsText(value));
  else if (name == "Color") SetColor(AsColor(value));
  else if (name == "Left") position_.x = AsCoordinate(value);
  else if (name == "Top") position_.y = AsCoordinate(value);
  else if (name == "Width") designOuterSize_.x = AsCoordinate(value);
  else if (name == "Height") designOuterSize_.y = AsCoordinate(value);
  else if (name == "ClientWidth") designClientSize_.x = AsCoordinate(value);
  else if (name == "ClientHeight") designClientSize_.y = AsCoordinate(value);
  else if (name == "Font.Name") font_.Name = AsText(value);
  else if (name == "Font.Height") font_.Height = AsFontHeight(value);
  else if (name == "Font.Color") font_.Color = AsColor(value);
  else if (name == "Font.Style") font_.Style = AsFontStyle(value);
  else if (name == "Font.Charset") font_.Charset = AsCharset(value);
  else if (name == "PixelsPerInch") pixelsPerInch_ = std::max(1, AsCoordinate(value));
  else if (name == "TextHeight") textHeight_ = std::max(1, AsCoordinate(value));
  else if (name == "AutoScroll") SetAutoScroll(AsBool(value));
  else if (name == "OldCreateOrder") AsBool(value);  // OnCreate runs after loading either way
  else if (name == "OnCreate") OnCreate = ctx.NotifyHandler(value);
  else if (name == "OnCanResize") OnCanResize = ctx.CanResizeHandler(value);
  else return TComponent::SetProperty(name, value, ctx);
  return true;
}

bool TForm::AcceptChild(TComponent& child) {
  if (auto* control = dynamic_cast<TControl*>(&child)) {
    control->SetParent(this);
    return true;
  }
  return !child.HasParent();  // a non-visual component only needs its owner
}

void TForm::Loaded() {
  TComponent::Loaded();
  ScaleToScreen();
  native_->SetPosition(position_.x, position_.y);
  TPoint client = designClientSize_;
  if (client.x < 0 && designOuterSize_.x >= 0) client.x = designOuterSize_.x - kDesignFrame.x;
  if (client.y < 0 && designOuterSize_.y >= 0) client.y = designOuterSize_.y - kDesignFrame.y;
  if (client.x >= 0 || client.y >= 0)
    native_->SetClientSize(client.x >= 0 ? client.x : ClientWidth(),
                           client.y >= 0 ? client.y : ClientHeight());
}

// The designs were made at 96 pixels per inch with a text height of 13: the
// fonts follow the screen's density, then the controls follow the text. The
// window's own size stays as designed; it scrolls what no longer fits.
void TForm::ScaleToScreen() {
  backend::Backend& backend = Application->Backend();
  int screenPpi = backend.ScreenPixelsPerInch();
  if (screenPpi != pixelsPerInch_) {
    TFontSpec scaled = font_;
    scaled.Height = MulDiv(font_.Height, screenPpi, pixelsPerInch_);
    SetFont(scaled);
    for (TControl* c : controls_) c->ScaleFonts(screenPpi, pixelsPerInch_);
  }
  int measured = backend.TextHeight(font_);
  if (measured == textHeight_ || measured <= 0) return;
  for (TControl* c : controls_) {
    const TRect& b = c->BoundsRect();
    c->SetBounds(MulDiv(b.left, measured, textHeight_), MulDiv(b.top, measured, textHeight_),
                 MulDiv(b.width, measured, textHeight_), MulDiv(b.height, measured, textHeight_));
  }
}

void TForm::AfterConstruction() {
  if (OnCreate) {
    try {
      OnCreate(this);
    } catch (...) {
      Application->HandleException(this);
    }
  }
  created_ = true;
  UpdateScrollExtent();
}

void TForm::Show() { native_->Show(); }

void TForm::Resized() { QueryCanResize(Width(), Height()); }

bool TForm::QueryCanResize(int newWidth, int newHeight) {
  bool resize = true;
  if (!created_ || Loading() || queryDepth_ >= kMaxQueryDepth) return resize;
  if (OnCanResize) {
    ++queryDepth_;
    try {
      OnCanResize(this, newWidth, newHeight, resize);
    } catch (...) {
      --queryDepth_;
      throw;
    }
    --queryDepth_;
  }
  // Once the outermost query is answered the controls stand where they will:
  // the scroll range follows them (which may bring a scroll bar, narrowing
  // the client area and so asking again).
  if (queryDepth_ == 0) UpdateScrollExtent();
  return resize;
}

// A control moved or resized itself (a label fitting a new text, or the
// resize handler's own assignments): the window asks its handler again.
void TForm::ControlBoundsChanged() { QueryCanResize(Width(), Height()); }

void TForm::SetAutoScroll(bool value) {
  autoScroll_ = value;
  UpdateScrollExtent();
}

void TForm::UpdateScrollExtent() {
  int right = 0;
  int bottom = 0;
  if (autoScroll_)
    for (const TControl* c : controls_) {
      right = std::max(right, c->BoundsRect().Right());
      bottom = std::max(bottom, c->BoundsRect().Bottom());
    }
  native_->SetScrollExtent(right, bottom);
}

void TForm::InsertControl(TControl* control) { controls_.push_back(control); }

void TForm::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

}  // namespace forms
