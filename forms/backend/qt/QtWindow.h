// The native window and controls on Qt widgets.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>
#include <vector>

#include "forms/backend/Backend.h"

namespace forms::backend::qt {

class QtWindow final : public QWidget, public NativeWindow {
 public:
  explicit QtWindow(WindowEvents& events);

  void SetCaption(const std::string& utf8) override;
  void SetColor(TColor color) override;
  void SetIcon(std::string_view imageBytes) override;
  void SetPosition(int left, int top) override;
  void SetClientSize(int width, int height) override;
  void SetScrollExtent(int width, int height) override;
  int ClientWidth() const override { return scrollArea_->viewport()->width(); }
  int ClientHeight() const override { return scrollArea_->viewport()->height(); }
  TPoint FrameExtent() const override;
  void Show() override { show(); }

  // Where the controls live: a surface that scrolls inside the window.
  QWidget* Content() { return content_; }
  // Keeps keyboard focus moving in the controls' tab order.
  void PlaceInTabOrder(QWidget* control, int order);
  void Forget(QWidget* control);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChainTabOrder();
  void FitContent();

  WindowEvents& events_;
  QScrollArea* scrollArea_;
  QWidget* content_;
  QSize extent_;
  std::vector<std::pair<int, QWidget*>> tabOrder_;
};

// The parts every native control shares; W is the Qt widget class.
template <class W>
class QtControl : public W, public NativeControl {
 public:
  QtControl(QtWindow& window, ControlEvents& events)
      : W(window.Content()), window_(window), events_(events) {}
  ~QtControl() override { window_.Forget(this); }

  void SetBounds(const TRect& b) override { this->setGeometry(b.left, b.top, b.width, b.height); }
  void SetText(const std::string& utf8) override;
  void SetFont(const TFontSpec& font) override;
  void SetColor(TColor color) override;
  void SetTabOrder(int order) override { window_.PlaceInTabOrder(this, order); }
  void SetTabStop(bool tabStop) override { this->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus); }
  void Invalidate() override { this->update(); }

 protected:
  ControlEvents& events() { return events_; }
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QtWindow& window_;
  ControlEvents& events_;
};

class QtButton final : public QtControl<QPushButton> {
 public:
  QtButton(QtWindow& window, ControlEvents& events);
};

class QtLabel final : public QtControl<QLabel> {
 public:
  QtLabel(QtWindow& window, ControlEvents& events);
};

// A control that paints itself through a canvas and takes the mouse.
class QtCustomControl final : public QtControl<QWidget> {
 public:
  QtCustomControl(QtWindow& window, ControlEvents& events);

  void SetTabStop(bool tabStop) override { setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus); }
  // What screen readers are told: asked of the component when they ask.
  QString AccessibleName();
  QString AccessibleDescription();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// Lets screen readers read custom controls through the component; once per
// process, once the application exists.
void InstallAccessibility();

}  // namespace forms::backend::qt
