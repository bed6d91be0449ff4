#include "tests/fuzz/EventFuzzer.h"

#include <algorithm>
#include <random>
#include <sstream>
#include <utility>

#include "forms/backend/headless/HeadlessBackend.h"
#include "tests/support/HeadlessApplication.h"
#include "ui/Unit1.h"

namespace fuzz {
namespace {

using forms::TMouseButton;
using forms::backend::headless::HeadlessControl;
using forms::backend::headless::HeadlessWindow;
using forms::backend::headless::RecordingCanvas;
using testing_support::NativeOf;

enum class Injection { None, Before, After, AbortBefore, AbortAfter, Foreign };

class Fuzzer {
 public:
  Fuzzer(std::uint64_t seed, FuzzResult& result) : seed_(seed), random_(seed), result_(result) {}

  void Run(std::uint64_t events) {
    testing_support::HeadlessApplication headless;
    headless.app().OnException = [this](forms::TObject*, const forms::Exception&) { ++result_.reported; };
    headless.app().CreateForm(Form1);
    window_ = headless.backend().windows.front();
    backend_ = &headless.backend();
    expectedPoints_ = 1;
    window_->Show();
    WrapHandlers();
    for (std::uint64_t i = 0; i < events && !result_.failure; ++i) {
      event_ = i;
      Step();
      Check();
    }
    result_.events = event_ + 1;
    result_.points = Form1->Series1->Count();
    Form1 = nullptr;
  }

 private:
  // Handlers are wrapped so an exception can be thrown before or after the
  // real one runs, as a fault anywhere inside it would.
  void WrapHandlers() {
    for (forms::TButton* button : {Form1->Button1, Form1->Button2, Form1->Button3})
      button->OnClick = Wrapped(button->OnClick);
    Form1->Timer1->SetOnTimer(Wrapped(Form1->Timer1->OnTimer()));
  }
  forms::TNotifyEvent Wrapped(forms::TNotifyEvent inner) {
    return [this, inner](forms::TObject* sender) {
      Injection injection = std::exchange(pending_, Injection::None);
      Throw(injection, true);
      inner(sender);
      Throw(injection, false);
    };
  }
  void Throw(Injection injection, bool before) {
    switch (injection) {
      case Injection::Before:
        if (before) throw forms::Exception("injected before");
        break;
      case Injection::After:
        if (!before) throw forms::Exception("injected after");
        break;
      case Injection::AbortBefore:
        if (before) throw forms::EAbort("");
        break;
      case Injection::AbortAfter:
        if (!before) throw forms::EAbort("");
        break;
      case Injection::Foreign:
        if (!before) throw 42;
        break;
      case Injection::None:
        break;
    }
  }

  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  void ChooseInjection() {
    pending_ = Injection::None;
    if (Uniform(0, 9) != 0) return;
    pending_ = static_cast<Injection>(Uniform(1, 5));
    if (pending_ != Injection::AbortBefore && pending_ != Injection::AbortAfter) ++expectedReports_;
    ++result_.injected;
  }

  void Step() {
    int kind = Uniform(0, 99);
    lastClickedLevelButton_ = false;
    if (kind < 5) {  // start
      ChooseInjection();
      bool addsPoint = pending_ != Injection::Before && pending_ != Injection::AbortBefore;
      NativeOf(*Form1->Button1).Click();
      if (addsPoint) ++expectedPoints_;
      started_ = true;
    } else if (kind < 20) {  // ++ or --
      ChooseInjection();
      Injection injection = pending_;
      NativeOf(Uniform(0, 1) ? *Form1->Button2 : *Form1->Button3).Click();
      lastClickedLevelButton_ = injection == Injection::None;
    } else if (kind < 70) {  // tick
      if (!started_) {
        backend_->TickTimers();
        return;
      }
      ChooseInjection();
      bool addsPoint = pending_ != Injection::Before && pending_ != Injection::AbortBefore;
      backend_->TickTimers();
      if (addsPoint) ++expectedPoints_;
    } else if (kind < 78) {  // resize, mostly small, sometimes huge
      int w = Uniform(0, 3) ? Uniform(0, 900) : Uniform(0, 4000);
      int h = Uniform(0, 3) ? Uniform(0, 700) : Uniform(0, 3000);
      window_->UserResize(w, h);
    } else if (kind < 95) {  // a drag, left or right, any length and direction
      Drag();
    } else {  // a paint
      RecordingCanvas canvas;
      NativeOf(*Form1->Chart1).Paint(canvas);
    }
  }

  void Drag() {
    HeadlessControl& chart = NativeOf(*Form1->Chart1);
    if (Uniform(0, 3) == 0) {  // the chart knows its plot area from a paint
      RecordingCanvas canvas;
      chart.Paint(canvas);
    }
    TMouseButton button = Uniform(0, 4) ? (Uniform(0, 1) ? TMouseButton::mbLeft : TMouseButton::mbRight)
                                        : TMouseButton::mbMiddle;
    int x = Uniform(-20, 700), y = Uniform(-20, 500);
    chart.MouseDown(button, x, y);
    int steps = Uniform(0, 4);
    for (int s = 0; s < steps; ++s) {
      x += Uniform(-150, 150);
      y += Uniform(-150, 150);
      chart.MouseMove(x, y);
    }
    chart.MouseUp(button, x, y);
  }

  template <typename... Parts>
  void Fail(const Parts&... parts) {
    std::ostringstream out;
    out << "seed " << seed_ << ", event " << event_ << ": ";
    (out << ... << parts);
    result_.failure = out.str();
  }

  void Check() {
    if (CurrentY > 100 || CurrentY % 5 != 0) return Fail("level ", CurrentY, " is not one of 0, 5, ..., 100");
    if (lastClickedLevelButton_ && Form1->Label1->Caption() != std::to_string(CurrentY))
      return Fail("label reads '", Form1->Label1->Caption(), "' with the level at ", CurrentY);
    const chart::SeriesData& data = Form1->Series1->Data();
    if (data.Count() != expectedPoints_)
      return Fail("the series holds ", data.Count(), " points, ", expectedPoints_, " were added");
    if (data.Count() >= 2) {
      std::size_t last = data.Count() - 1;
      std::size_t probe = std::uniform_int_distribution<std::size_t>(1, last)(random_);
      for (std::size_t i : {last, probe})
        if (data.X(i - 1) > data.X(i)) return Fail("points ", i - 1, " and ", i, " are out of X order");
    }
    for (const chart::TChartAxis* axis : {Form1->Chart1->BottomAxis, Form1->Chart1->LeftAxis})
      if (!(axis->Minimum() < axis->Maximum()))
        return Fail("an axis has minimum ", axis->Minimum(), " not below maximum ", axis->Maximum());
    if (result_.reported != expectedReports_)
      return Fail(result_.reported, " exceptions reached the handling, ", expectedReports_, " were thrown");
    int clientWidth = Form1->ClientWidth(), clientHeight = Form1->ClientHeight();
    forms::TRect chart = Form1->Chart1->BoundsRect();
    if (chart != forms::TRect{8, 8, std::max(0, clientWidth - 105), std::max(0, clientHeight - 15)})
      return Fail("chart at ", chart.width, " x ", chart.height, " in a ", clientWidth, " x ",
                  clientHeight, " client area");
    for (const forms::TControl* c : {static_cast<forms::TControl*>(Form1->Button1),
                                     static_cast<forms::TControl*>(Form1->Button2),
                                     static_cast<forms::TControl*>(Form1->Button3),
                                     static_cast<forms::TControl*>(Form1->Label1)})
      if (c->Left() != chart.width + 15) return Fail(c->Name(), " at left ", c->Left());
  }

  std::uint64_t seed_;
  std::mt19937_64 random_;
  FuzzResult& result_;
  HeadlessWindow* window_ = nullptr;
  forms::backend::headless::HeadlessBackend* backend_ = nullptr;
  Injection pending_ = Injection::None;
  std::uint64_t event_ = 0;
  std::uint64_t expectedPoints_ = 0;
  std::uint64_t expectedReports_ = 0;
  bool started_ = false;
  bool lastClickedLevelButton_ = false;
};

}  // namespace

FuzzResult RunEventFuzz(std::uint64_t seed, std::uint64_t events) {
  FuzzResult result;
  Fuzzer(seed, result).Run(events);
  return result;
}

}  // namespace fuzz
