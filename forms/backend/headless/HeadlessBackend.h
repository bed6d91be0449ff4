// A window system that lives in memory: it records what the components ask
// of it and lets tests deliver clicks, ticks, size changes and paints
// through the same path the real loop uses.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/backend/Backend.h"

namespace forms::backend::headless {

class HeadlessBackend;

class HeadlessWindow final : public NativeWindow {
 public:
  HeadlessWindow(HeadlessBackend& backend, WindowEvents& events) : backend_(backend), events_(events) {}
  ~HeadlessWindow() override;

  void SetCaption(const std::string& utf8) override { caption = utf8; }
  void SetColor(TColor c) override { color = c; }
  void SetIcon(std::string_view bytes) override { icon = std::string(bytes); }
  void SetPosition(int left, int top) override { position = {left, top}; }
  void SetClientSize(int width, int height) override;
  void SetScrollExtent(int width, int height) override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  TPoint FrameExtent() const override { return {}; }
  void Show() override;

  // As the user dragging the frame: the size changes, then the window says so.
  void UserResize(int width, int height);
  bool VerticalScrollBar() const;
  bool HorizontalScrollBar() const;

  static constexpr int kScrollBarSize = 17;

  std::string caption;
  TColor color = 0;
  std::string icon;
  TPoint position;
  TPoint size;  // inside the frame, scroll bars included
  TPoint scrollExtent;
  bool shown = false;

 private:
  // Tells the window when the client area changed, as a real one would.
  void ReportIfClientChanged(TPoint before);

  HeadlessBackend& backend_;
  WindowEvents& events_;
};

class HeadlessControl final : public NativeControl {
 public:
  HeadlessControl(HeadlessBackend& backend, ControlKind k, ControlEvents& events)
      : kind(k), backend_(backend), events_(events) {}
  ~HeadlessControl() override;

  void SetBounds(const TRect& b) override { bounds = b; }
  void SetText(const std::string& utf8) override { text = utf8; }
  void SetFont(const TFontSpec& f) override { font = f; }
  void SetColor(TColor c) override { color = c; }
  void SetTabOrder(int order) override { tabOrder = order; }
  void SetTabStop(bool value) override { tabStop = value; }
  void Invalidate() override { invalid = true; }

  // Each goes through the loop's single catch site, as a real event would.
  void Click();
  void Paint(TCanvas& canvas);
  void MouseDown(TMouseButton button, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(TMouseButton button, int x, int y);
  // The keyboard focus arriving or leaving, as Tab or a click moves it.
  void SetFocus(bool focused);
  // What a screen reader would be told.
  std::string AccessibleName();
  std::string AccessibleDescription();

  ControlKind kind;
  TRect bounds;
  std::string text;
  TFontSpec font;
  TColor color = 0;
  int tabOrder = -1;
  bool tabStop = false;
  bool focused = false;
  bool invalid = false;

 private:
  HeadlessBackend& backend_;
  ControlEvents& events_;
};

class HeadlessBackend final : public Backend {
 public:
  struct ErrorBox {
    std::string caption;
    std::string text;
  };

  std::unique_ptr<NativeWindow> CreateWindow(WindowEvents& events) override;
  std::unique_ptr<NativeControl> CreateControl(ControlKind kind, NativeWindow& parent,
                                               ControlEvents& events) override;
  std::unique_ptr<NativeTimer> CreateTimer(unsigned intervalMs, TimerEvents& events) override;
  void RunLoop(NativeWindow& mainWindow) override;
  void ShowErrorBox(const std::string& captionUtf8, const std::string& textUtf8) override;
  int TextHeight(const TFontSpec& font) override;
  int TextWidth(std::string_view utf8, const TFontSpec& font) override;
  int ScreenPixelsPerInch() override { return pixelsPerInch; }
  std::string ProgramPath() override { return programPath; }

  // Delivers one tick to every running timer.
  void TickTimers();
  std::size_t RunningTimers() const { return timers_.size(); }
  unsigned LastTimerInterval() const { return lastInterval_; }

  int pixelsPerInch = 96;
  std::string programPath = "/usr/bin/voltage-display";
  bool refuseTimers = false;
  // Also writes each error box to stderr (for programs run by tests).
  bool echoErrorBoxes = false;
  // What the loop does while it runs; without it the loop ends at once.
  std::function<void()> loopBody;
  std::vector<ErrorBox> errorBoxes;
  // What happens while an error box is open (a real one runs a nested loop).
  std::function<void()> whileErrorBoxOpen;
  int openErrorBoxes = 0;
  int mostOpenErrorBoxes = 0;
  std::vector<HeadlessWindow*> windows;
  std::vector<HeadlessControl*> controls;

 private:
  friend class HeadlessTimer;
  std::vector<class HeadlessTimer*> timers_;
  unsigned lastInterval_ = 0;
};

// A canvas that keeps what was drawn, for tests to read back. Text is
// measured as the headless backend measures it.
class RecordingCanvas final : public TCanvas {
 public:
  struct Polyline {
    std::vector<TPoint> points;
    TColor color;
  };
  struct Text {
    TPoint at;
    std::string utf8;
  };
  struct Segment {
    TPoint from;
    TPoint to;
    TColor color;
  };

  void FillRect(const TRect& r, TColor) override { fills.push_back(r); }
  void FrameRect(const TRect& r, TColor) override { frames.push_back(r); }
  void Line(TPoint from, TPoint to, TColor color, TPenStyle) override;
  void Polyline(const TPoint* points, std::size_t count, TColor color) override;
  void TextOut(int x, int y, std::string_view utf8, const TFontSpec&) override;
  int TextWidth(std::string_view utf8, const TFontSpec& font) override;
  int TextHeight(const TFontSpec& font) override;

  std::vector<TRect> fills;
  std::vector<TRect> frames;
  std::vector<Segment> lines;
  std::vector<struct Polyline> polylines;
  std::vector<Text> texts;
};

}  // namespace forms::backend::headless
