#include "forms/backend/qt/QtWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <exception>

#include "forms/Application.h"
#include "forms/backend/qt/QtCanvas.h"

namespace forms::backend::qt {
namespace {

QString FromUtf8(const std::string& utf8) { return QString::fromStdString(utf8); }

std::optional<TMouseButton> ToMouseButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return TMouseButton::mbLeft;
    case Qt::RightButton: return TMouseButton::mbRight;
    case Qt::MiddleButton: return TMouseButton::mbMiddle;
    default: return std::nullopt;
  }
}

// A failure in a component's answer is reported once the call is over: an
// error box opened from inside a paint or a screen reader's question would
// run its loop while that is still going on.
void ReportLater(QObject* context, std::exception_ptr failure) {
  QMetaObject::invokeMethod(
      context, [failure] { Deliver([failure] { std::rethrow_exception(failure); }); }, Qt::QueuedConnection);
}

template <class Answer>
QString AskComponent(QObject* context, Answer answer) {
  try {
    return QString::fromStdString(answer());
  } catch (...) {
    ReportLater(context, std::current_exception());
    return {};
  }
}

// A custom control as screen readers see it: a chart by role, its name and
// description from the component, the rest as for any widget.
class QtCustomAccessible final : public QAccessibleWidget {
 public:
  explicit QtCustomAccessible(QtCustomControl* control) : QAccessibleWidget(control, QAccessible::Chart) {}

  QString text(QAccessible::Text kind) const override {
    auto* control = static_cast<QtCustomControl*>(widget());
    QString answer;
    if (kind == QAccessible::Name) answer = control->AccessibleName();
    else if (kind == QAccessible::Description) answer = control->AccessibleDescription();
    return answer.isEmpty() ? QAccessibleWidget::text(kind) : answer;
  }
};

QAccessibleInterface* CustomControlAccessible(const QString&, QObject* object) {
  if (auto* control = dynamic_cast<QtCustomControl*>(object)) return new QtCustomAccessible(control);
  return nullptr;
}

void SetBackground(QWidget& widget, TColor color) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, ToQColor(color));
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

}  // namespace

QtWindow::QtWindow(WindowEvents& events)
    : events_(events), scrollArea_(new QScrollArea(this)), content_(new QWidget) {
  scrollArea_->setFrameShape(QFrame::NoFrame);
  // Tab walks the controls only, not the surface they scroll on.
  scrollArea_->setFocusPolicy(Qt::NoFocus);
  scrollArea_->setWidgetResizable(false);
  scrollArea_->setWidget(content_);
  scrollArea_->viewport()->installEventFilter(this);
}

// The surface covers the whole viewport and reaches as far as the controls.
void QtWindow::FitContent() {
  QSize viewport = scrollArea_->viewport()->size();
  content_->resize(std::max(viewport.width(), extent_.width()),
                   std::max(viewport.height(), extent_.height()));
}

void QtWindow::SetScrollExtent(int width, int height) {
  if (extent_ == QSize(width, height)) return;
  extent_ = QSize(width, height);
  FitContent();
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == scrollArea_->viewport() && event->type() == QEvent::Resize) {
    FitContent();
    Deliver([this] { events_.Resized(); });
  }
  return QWidget::eventFilter(watched, event);
}

void QtWindow::SetCaption(const std::string& utf8) { setWindowTitle(FromUtf8(utf8)); }

void QtWindow::SetColor(TColor color) {
  SetBackground(*this, color);
  SetBackground(*content_, color);
}

void QtWindow::SetIcon(std::string_view imageBytes) {
  QImage image;
  if (image.loadFromData(reinterpret_cast<const uchar*>(imageBytes.data()),
                         static_cast<int>(imageBytes.size())))
    setWindowIcon(QIcon(QPixmap::fromImage(image)));
}

void QtWindow::SetPosition(int left, int top) { move(left, top); }

void QtWindow::SetClientSize(int width, int height) { resize(width, height); }

TPoint QtWindow::FrameExtent() const {
  if (!isVisible()) return {};
  QSize frame = frameGeometry().size() - size();
  return {frame.width(), frame.height()};
}

void QtWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The viewport's own resize, which follows, tells the form.
  scrollArea_->setGeometry(rect());
}

void QtWindow::PlaceInTabOrder(QWidget* control, int order) {
  Forget(control);
  tabOrder_.emplace_back(order, control);
  std::stable_sort(tabOrder_.begin(), tabOrder_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  ChainTabOrder();
}

void QtWindow::Forget(QWidget* control) {
  std::erase_if(tabOrder_, [control](const auto& entry) { return entry.second == control; });
}

void QtWindow::ChainTabOrder() {
  for (std::size_t i = 1; i < tabOrder_.size(); ++i)
    QWidget::setTabOrder(tabOrder_[i - 1].second, tabOrder_[i].second);
}

template <class W>
void QtControl<W>::SetText(const std::string& utf8) {
  if constexpr (requires(W& w) { w.setText(QString()); }) this->setText(FromUtf8(utf8));
}

template <class W>
void QtControl<W>::SetFont(const TFontSpec& font) {
  this->setFont(ToQFont(font));
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, ToQColor(font.Color));
  palette.setColor(QPalette::ButtonText, ToQColor(font.Color));
  this->setPalette(palette);
}

template <class W>
void QtControl<W>::SetColor(TColor color) {
  SetBackground(*this, color);
}

template <class W>
void QtControl<W>::focusInEvent(QFocusEvent* event) {
  W::focusInEvent(event);
  Deliver([this] { events_.FocusChanged(true); });
}

template <class W>
void QtControl<W>::focusOutEvent(QFocusEvent* event) {
  W::focusOutEvent(event);
  Deliver([this] { events_.FocusChanged(false); });
}

QtButton::QtButton(QtWindow& window, ControlEvents& events) : QtControl(window, events) {
  QObject::connect(this, &QPushButton::clicked, this, [this] { Deliver([this] { this->events().Clicked(); }); });
}

QtLabel::QtLabel(QtWindow& window, ControlEvents& events) : QtControl(window, events) {
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setMargin(0);
  setIndent(0);
}

QtCustomControl::QtCustomControl(QtWindow& window, ControlEvents& events) : QtControl(window, events) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtCustomControl::paintEvent(QPaintEvent*) {
  std::exception_ptr failure;
  {
    QPainter painter(this);
    QtCanvas canvas(painter);
    try {
      events().Paint(canvas);
    } catch (...) {
      failure = std::current_exception();
    }
  }
  if (failure) ReportLater(this, failure);
}

QString QtCustomControl::AccessibleName() {
  return AskComponent(this, [this] { return events().AccessibleName(); });
}

QString QtCustomControl::AccessibleDescription() {
  return AskComponent(this, [this] { return events().AccessibleDescription(); });
}

void QtCustomControl::mousePressEvent(QMouseEvent* event) {
  if (auto button = ToMouseButton(event->button())) {
    QPoint p = event->position().toPoint();
    Deliver([&] { events().MouseDown(*button, p.x(), p.y()); });
  }
}

void QtCustomControl::mouseMoveEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  Deliver([&] { events().MouseMove(p.x(), p.y()); });
}

void QtCustomControl::mouseReleaseEvent(QMouseEvent* event) {
  if (auto button = ToMouseButton(event->button())) {
    QPoint p = event->position().toPoint();
    Deliver([&] { events().MouseUp(*button, p.x(), p.y()); });
  }
}

void InstallAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(CustomControlAccessible);
}

template class QtControl<QPushButton>;
template class QtControl<QLabel>;
template class QtControl<QWidget>;

}  // namespace forms::backend::qt
