// The one narrow interface between the components and a window system.
// Components own their native objects through it and receive events from it;
// a backend calls every event sink through forms::Deliver, the loop's single
// place that catches exceptions.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "forms/Canvas.h"
#include "forms/Types.h"

namespace forms::backend {

// What a window tells its component.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // A size change is complete; the new client size is in force.
  virtual void Resized() = 0;
};

// What a control tells its component. Only the calls that fit the control's
// kind arrive (a click for a button, paint and mouse for a custom control).
class ControlEvents {
 public:
  virtual ~ControlEvents() = default;
  virtual void Clicked() {}
  virtual void Paint(TCanvas&) {}
  virtual void MouseDown(TMouseButton, int /*x*/, int /*y*/) {}
  virtual void MouseMove(int /*x*/, int /*y*/) {}
  virtual void MouseUp(TMouseButton, int /*x*/, int /*y*/) {}
  // Keyboard focus came to the control (true) or left it (false).
  virtual void FocusChanged(bool /*focused*/) {}
  // What a screen reader says of a control the window system cannot read
  // itself (a custom control), in UTF-8. Asked only when a reader asks, so
  // it may cost a little; empty leaves the window system's own answer.
  virtual std::string AccessibleName() { return {}; }
  virtual std::string AccessibleDescription() { return {}; }
};

class TimerEvents {
 public:
  virtual ~TimerEvents() = default;
  virtual void Tick() = 0;
};

class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual void SetCaption(const std::string& utf8) = 0;
  virtual void SetColor(TColor color) = 0;
  virtual void SetIcon(std::string_view imageBytes) = 0;
  virtual void SetPosition(int left, int top) = 0;
  // Sets the area inside the frame, scroll bars included.
  virtual void SetClientSize(int width, int height) = 0;
  // The area the controls take. Where it exceeds the window, the window
  // shows a scroll bar, and the client area shrinks by it.
  virtual void SetScrollExtent(int width, int height) = 0;
  // The area the controls are seen in: inside the frame, less scroll bars.
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  // Width and height the window system adds around the client area.
  virtual TPoint FrameExtent() const = 0;
  virtual void Show() = 0;
};

enum class ControlKind { Button, Label, Custom };

class NativeControl {
 public:
  virtual ~NativeControl() = default;
  virtual void SetBounds(const TRect& bounds) = 0;
  virtual void SetText(const std::string& utf8) = 0;
  virtual void SetFont(const TFontSpec& font) = 0;
  virtual void SetColor(TColor color) = 0;
  virtual void SetTabOrder(int order) = 0;
  // Whether Tab gives the control the keyboard focus. A click gives it too
  // where the kind's native control takes it so (a button); a custom control
  // is focused by Tab only, so the mouse works it without a focus mark.
  virtual void SetTabStop(bool tabStop) = 0;
  // Asks for a paint; several requests before the paint give one paint.
  virtual void Invalidate() = 0;
};

// A running system timer; destroying it stops the ticks.
class NativeTimer {
 public:
  virtual ~NativeTimer() = default;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual std::unique_ptr<NativeWindow> CreateWindow(WindowEvents& events) = 0;
  virtual std::unique_ptr<NativeControl> CreateControl(ControlKind kind, NativeWindow& parent,
                                                       ControlEvents& events) = 0;
  // Null when the system has no timer to give.
  virtual std::unique_ptr<NativeTimer> CreateTimer(unsigned intervalMs, TimerEvents& events) = 0;

  // Shows the window and runs the message loop until it is closed.
  virtual void RunLoop(NativeWindow& mainWindow) = 0;
  // A modal message box with the stop icon and OK only; the other windows
  // take no input while it is open, timers keep ticking.
  virtual void ShowErrorBox(const std::string& captionUtf8, const std::string& textUtf8) = 0;

  virtual int TextHeight(const TFontSpec& font) = 0;
  virtual int TextWidth(std::string_view utf8, const TFontSpec& font) = 0;
  // The density the desktop declares for its screen. Forms scale to it
  // themselves, so a backend keeps its window system from scaling a second
  // time: one pixel drawn is one pixel on the screen.
  virtual int ScreenPixelsPerInch() = 0;
  virtual std::string ProgramPath() = 0;
};

// The backend the program runs on when none was set: chosen at link time
// (the Qt library for the program, a headless one for some tests).
std::unique_ptr<Backend> CreateDefaultBackend();

}  // namespace forms::backend
