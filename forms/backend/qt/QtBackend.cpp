#include "forms/backend/qt/QtBackend.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QObject>
#include <QScreen>
#include <QTimerEvent>
#include <filesystem>

#include "forms/Application.h"
#include "forms/backend/qt/QtCanvas.h"
#include "forms/backend/qt/QtWindow.h"

namespace forms::backend::qt {
namespace {

class QtTimer final : public QObject, public NativeTimer {
 public:
  QtTimer(unsigned intervalMs, TimerEvents& events)
      : events_(events), id_(startTimer(static_cast<int>(intervalMs), Qt::CoarseTimer)) {}
  ~QtTimer() override {
    if (id_) killTimer(id_);
  }
  bool Started() const { return id_ != 0; }

 protected:
  void timerEvent(QTimerEvent* event) override {
    if (event->timerId() == id_) Deliver([this] { events_.Tick(); });
  }

 private:
  TimerEvents& events_;
  int id_;
};

std::string SelfPath() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string("voltage-display") : path.string();
}

// Qt keeps pointers to argc and argv for the application's lifetime; the
// program's own arguments are not passed on: it takes none.
int qtArgc = 1;
std::string qtProgramName;
char* qtArgv[] = {nullptr, nullptr};

}  // namespace

QtBackend::QtBackend() {
  if (QApplication::instance()) return;
  qtProgramName = SelfPath();
  qtArgv[0] = qtProgramName.data();
  app_ = std::make_unique<QApplication>(qtArgc, qtArgv);
}

QtBackend::~QtBackend() = default;

std::unique_ptr<NativeWindow> QtBackend::CreateWindow(WindowEvents& events) {
  return std::make_unique<QtWindow>(events);
}

std::unique_ptr<NativeControl> QtBackend::CreateControl(ControlKind kind, NativeWindow& parent,
                                                        ControlEvents& events) {
  auto& window = static_cast<QtWindow&>(parent);
  switch (kind) {
    case ControlKind::Button: return std::make_unique<QtButton>(window, events);
    case ControlKind::Label: return std::make_unique<QtLabel>(window, events);
    case ControlKind::Custom: break;
  }
  return std::make_unique<QtCustomControl>(window, events);
}

std::unique_ptr<NativeTimer> QtBackend::CreateTimer(unsigned intervalMs, TimerEvents& events) {
  auto timer = std::make_unique<QtTimer>(intervalMs, events);
  if (!timer->Started()) return nullptr;
  return timer;
}

void QtBackend::RunLoop(NativeWindow& mainWindow) {
  mainWindow_ = &static_cast<QtWindow&>(mainWindow);
  QApplication::exec();
  mainWindow_ = nullptr;
}

void QtBackend::ShowErrorBox(const std::string& captionUtf8, const std::string& textUtf8) {
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(captionUtf8),
                  QString::fromStdString(textUtf8), QMessageBox::Ok, mainWindow_);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

int QtBackend::TextHeight(const TFontSpec& font) { return QFontMetrics(ToQFont(font)).height(); }

int QtBackend::TextWidth(std::string_view utf8, const TFontSpec& font) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return QFontMetrics(ToQFont(font)).horizontalAdvance(text);
}

int QtBackend::ScreenPixelsPerInch() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 96;
}

std::string QtBackend::ProgramPath() { return SelfPath(); }

}  // namespace forms::backend::qt

namespace forms::backend {
std::unique_ptr<Backend> CreateDefaultBackend() { return std::make_unique<qt::QtBackend>(); }
}  // namespace forms::backend
