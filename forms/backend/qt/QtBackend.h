// The window system today: Qt 6 Widgets.
#pragma once

#include <memory>

#include "forms/backend/Backend.h"

class QApplication;
class QWidget;

namespace forms::backend::qt {

class QtBackend final : public Backend {
 public:
  QtBackend();
  ~QtBackend() override;

  std::unique_ptr<NativeWindow> CreateWindow(WindowEvents& events) override;
  std::unique_ptr<NativeControl> CreateControl(ControlKind kind, NativeWindow& parent,
                                               ControlEvents& events) override;
  std::unique_ptr<NativeTimer> CreateTimer(unsigned intervalMs, TimerEvents& events) override;
  void RunLoop(NativeWindow& mainWindow) override;
  void ShowErrorBox(const std::string& captionUtf8, const std::string& textUtf8) override;
  int TextHeight(const TFontSpec& font) override;
  int TextWidth(std::string_view utf8, const TFontSpec& font) override;
  int ScreenPixelsPerInch() override;
  std::string ProgramPath() override;

 private:
  std::unique_ptr<QApplication> app_;  // null when a QApplication already existed
  QWidget* mainWindow_ = nullptr;
};

}  // namespace forms::backend::qt
