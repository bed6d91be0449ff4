#include "forms/backend/headless/HeadlessBackend.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "forms/Application.h"

namespace forms::backend::headless {
namespace {

// Text metrics of a plain 8-point face at 96 pixels per inch: 13 pixels
// high, 6 wide per character (a CJK character counts twice).
int MeasureHeight(const TFontSpec& font) {
  int pixels = static_cast<int>(std::min<long long>(std::llabs(font.Height), kMaxFontPixels));
  return font.Height < 0 ? static_cast<int>(std::lround(pixels * 13.0 / 11.0)) : pixels;
}

int MeasureWidth(std::string_view utf8, const TFontSpec& font) {
  int units = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) units += 1;
    else if (byte >= 0xE0) units += 2;  // three-byte sequences: wide characters
  }
  return static_cast<int>(std::lround(units * 6.0 * MeasureHeight(font) / 13.0));
}

template <class T>
void Erase(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

class HeadlessTimer final : public NativeTimer {
 public:
  HeadlessTimer(HeadlessBackend& backend, TimerEvents& events) : backend_(backend), events_(events) {
    backend_.timers_.push_back(this);
  }
  ~HeadlessTimer() override { Erase(backend_.timers_, this); }
  void Tick() { Deliver([this] { events_.Tick(); }); }

 private:
  HeadlessBackend& backend_;
  TimerEvents& events_;
};

HeadlessWindow::~HeadlessWindow() { Erase(backend_.windows, this); }

void HeadlessWindow::SetClientSize(int width, int height) {
  TPoint before{ClientWidth(), ClientHeight()};
  size = {width, height};
  ReportIfClientChanged(before);
}

void HeadlessWindow::SetScrollExtent(int width, int height) {
  TPoint before{ClientWidth(), ClientHeight()};
  scrollExtent = {width, height};
  ReportIfClientChanged(before);
}

// The usual rule: a bar where the extent does not fit, and a second one if
// the first took the room the other direction needed.
bool HeadlessWindow::VerticalScrollBar() const {
  return scrollExtent.y > size.y || (scrollExtent.x > size.x && scrollExtent.y > size.y - kScrollBarSize);
}

bool HeadlessWindow::HorizontalScrollBar() const {
  return scrollExtent.x > size.x || (scrollExtent.y > size.y && scrollExtent.x > size.x - kScrollBarSize);
}

int HeadlessWindow::ClientWidth() const {
  return std::max(0, size.x - (VerticalScrollBar() ? kScrollBarSize : 0));
}

int HeadlessWindow::ClientHeight() const {
  return std::max(0, size.y - (HorizontalScrollBar() ? kScrollBarSize : 0));
}

void HeadlessWindow::ReportIfClientChanged(TPoint before) {
  if (shown && (before.x != ClientWidth() || before.y != ClientHeight()))
    Deliver([this] { events_.Resized(); });
}

void HeadlessWindow::Show() {
  shown = true;
  Deliver([this] { events_.Resized(); });
}

void HeadlessWindow::UserResize(int width, int height) {
  size = {width, height};
  Deliver([this] { events_.Resized(); });
}

HeadlessControl::~HeadlessControl() { Erase(backend_.controls, this); }

void HeadlessControl::Click() { Deliver([this] { events_.Clicked(); }); }

void HeadlessControl::Paint(TCanvas& canvas) {
  invalid = false;
  Deliver([&] { events_.Paint(canvas); });
}

void HeadlessControl::MouseDown(TMouseButton button, int x, int y) {
  Deliver([&] { events_.MouseDown(button, x, y); });
}

void HeadlessControl::MouseMove(int x, int y) { Deliver([&] { events_.MouseMove(x, y); }); }

void HeadlessControl::MouseUp(TMouseButton button, int x, int y) {
  Deliver([&] { events_.MouseUp(button, x, y); });
}

void HeadlessControl::SetFocus(bool value) {
  focused = value;
  Deliver([&] { events_.FocusChanged(value); });
}

std::string HeadlessControl::AccessibleName() { return events_.AccessibleName(); }

std::string HeadlessControl::AccessibleDescription() { return events_.AccessibleDescription(); }

std::unique_ptr<NativeWindow> HeadlessBackend::CreateWindow(WindowEvents& events) {
  auto window = std::make_unique<HeadlessWindow>(*this, events);
  windows.push_back(window.get());
  return window;
}

std::unique_ptr<NativeControl> HeadlessBackend::CreateControl(ControlKind kind, NativeWindow&,
                                                              ControlEvents& events) {
  auto control = std::make_unique<HeadlessControl>(*this, kind, events);
  controls.push_back(control.get());
  return control;
}

std::unique_ptr<NativeTimer> HeadlessBackend::CreateTimer(unsigned intervalMs, TimerEvents& events) {
  if (refuseTimers) return nullptr;
  lastInterval_ = intervalMs;
  return std::make_unique<HeadlessTimer>(*this, events);
}

void HeadlessBackend::TickTimers() {
  // A tick may start or stop timers: tick the ones running now.
  std::vector<HeadlessTimer*> running = timers_;
  for (HeadlessTimer* timer : running)
    if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) timer->Tick();
}

void HeadlessBackend::RunLoop(NativeWindow&) {
  if (loopBody) loopBody();
}

void HeadlessBackend::ShowErrorBox(const std::string& captionUtf8, const std::string& textUtf8) {
  errorBoxes.push_back({captionUtf8, textUtf8});
  struct Open {
    int& count;
    explicit Open(int& c, int& most) : count(c) { most = std::max(most, ++count); }
    ~Open() { --count; }
  } open(openErrorBoxes, mostOpenErrorBoxes);
  if (whileErrorBoxOpen) whileErrorBoxOpen();
  if (echoErrorBoxes) std::fprintf(stderr, "error box [%s]: %s\n", captionUtf8.c_str(), textUtf8.c_str());
}

int HeadlessBackend::TextHeight(const TFontSpec& font) { return MeasureHeight(font); }

int HeadlessBackend::TextWidth(std::string_view utf8, const TFontSpec& font) {
  return MeasureWidth(utf8, font);
}

void RecordingCanvas::Line(TPoint from, TPoint to, TColor color, TPenStyle) {
  lines.push_back({from, to, color});
}

void RecordingCanvas::Polyline(const TPoint* points, std::size_t count, TColor color) {
  polylines.push_back({std::vector<TPoint>(points, points + count), color});
}

void RecordingCanvas::TextOut(int x, int y, std::string_view utf8, const TFontSpec&) {
  texts.push_back({{x, y}, std::string(utf8)});
}

int RecordingCanvas::TextWidth(std::string_view utf8, const TFontSpec& font) {
  return MeasureWidth(utf8, font);
}

int RecordingCanvas::TextHeight(const TFontSpec& font) { return MeasureHeight(font); }

}  // namespace forms::backend::headless
