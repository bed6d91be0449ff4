#include "forms/backend/qt/QtBackend.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QObject>
#include <QScreen>
#include <QTimerEvent>
#include <QtGui/qguiapplication_platform.h>
#include <cmath>
#include <filesystem>
#include <xcb/xcb.h>

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

// The density the X server declares for its screen (Xvfb -dpi sets it);
// zero when the program is on another window system.
int XScreenPixelsPerInch() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return 0;
  const xcb_setup_t* setup = xcb_get_setup(x11->connection());
  if (!setup) return 0;
  xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
  if (!screen || screen->width_in_millimeters == 0) return 0;
  return static_cast<int>(std::lround(screen->width_in_pixels * 25.4 / screen->width_in_millimeters));
}

}  // namespace

QtBackend::QtBackend() {
  if (!QApplication::instance()) {
    // The forms scale to the screen's density themselves, once, at load;
    // Qt's own scaling would multiply every size a second time.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qtProgramName = SelfPath();
    qtArgv[0] = qtProgramName.data();
    app_ = std::make_unique<QApplication>(qtArgc, qtArgv);
  }
  // After the application's own factories: Qt asks the last installed first.
  InstallAccessibility();
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

// A desktop declares its density as Xft.dpi, which Qt reports as the
// logical density. Without one Qt says 96 on X whatever the server says:
// then the X server's own resolution counts, as it does for X programs.
int QtBackend::ScreenPixelsPerInch() {
  QScreen* screen = QGuiApplication::primaryScreen();
  int logical = screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 96;
  if (logical != 96) return logical;
  int x = XScreenPixelsPerInch();
  return x > 0 ? x : logical;
}

std::string QtBackend::ProgramPath() { return SelfPath(); }

}  // namespace forms::backend::qt

namespace forms::backend {
std::unique_ptr<Backend> CreateDefaultBackend() { return std::make_unique<qt::QtBackend>(); }
}  // namespace forms::backend
