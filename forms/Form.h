// A top-level window built from its description. It holds the controls,
// asks its OnCanResize handler around every size change and runs OnCreate
// once the whole window is loaded.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Component.h"
#include "forms/Events.h"
#include "forms/Types.h"
#include "forms/backend/Backend.h"

namespace forms {

class TControl;
class TPublishedNames;

class TForm : public TComponent, protected backend::WindowEvents {
 public:
  ~TForm() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string ansi);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  const TFontSpec& Font() const { return font_; }
  void SetFont(const TFontSpec& font);

  int Left() const { return position_.x; }
  int Top() const { return position_.y; }
  // The outer size: the client area and the frame the window system adds.
  int Width() const;
  int Height() const;
  int ClientWidth() const;
  int ClientHeight() const;
  // A size set from code is put to OnCanResize first and may be refused.
  void SetClientWidth(int value) { SetClientSize(value, ClientHeight()); }
  void SetClientHeight(int value) { SetClientSize(ClientWidth(), value); }
  void SetClientSize(int width, int height);

  // Scroll bars when the controls reach beyond the client area.
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);

  TNotifyEvent OnCreate;
  TCanResizeEvent OnCanResize;

  const std::vector<TControl*>& Controls() const { return controls_; }
  backend::NativeWindow& Native() { return *native_; }

  bool SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) override;
  bool AcceptChild(TComponent& child) override;
  void Loaded() override;

 protected:
  explicit TForm(TComponent* AOwner);
  // Builds this form's components from its description; a derived form
  // calls it from its constructor, once its fields exist.
  void ReadForm(std::string_view description, std::string_view sourceName,
                const TPublishedNames& names);

 private:
  friend class TControl;
  friend class TApplication;

  // Runs OnCreate (an exception there is shown, not passed on); from then on
  // the form answers size changes.
  void AfterConstruction();
  void Show();
  void Resized() override;
  bool QueryCanResize(int newWidth, int newHeight);
  void ControlBoundsChanged();
  void UpdateScrollExtent();
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void ScaleToScreen();

  std::unique_ptr<backend::NativeWindow> native_;
  std::vector<TControl*> controls_;
  std::string caption_;
  TColor color_ = clBtnFace;
  TFontSpec font_;
  TPoint position_;
  TPoint designOuterSize_{-1, -1};
  TPoint designClientSize_{-1, -1};
  int pixelsPerInch_ = 96;
  int textHeight_ = 13;
  bool autoScroll_ = true;
  bool created_ = false;
  int queryDepth_ = 0;
};

}  // namespace forms
