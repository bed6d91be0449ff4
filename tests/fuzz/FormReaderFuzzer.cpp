// libFuzzer target for the reader of form descriptions. Whatever the bytes,
// reading them either succeeds or ends in an Exception that names the
// source, the line and what is wrong: "Fuzz.form:<line>: <what>". Anything
// else thrown, a crash, a hang or an allocation without bound is a fault.
//
// Each input is parsed on its own, then built into a window on the headless
// window system: with the main window's seven fields and six handlers when
// its class is TForm1, else with the handlers alone, any class by name. A
// window that builds is shown, resized, painted, clicked, dragged and
// ticked, then freed, so what the description set is also used.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chart/Chart.h"
#include "chart/LineSeries.h"
#include "forms/Application.h"
#include "forms/Button.h"
#include "forms/ClassRegistry.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Published.h"
#include "forms/Timer.h"
#include "forms/backend/headless/HeadlessBackend.h"
#include "forms/reader/FormParser.h"
#include "tests/support/HeadlessApplication.h"

namespace {

constexpr std::string_view kSource = "Fuzz.form";

// What the handlers do, to whatever components the description made, so
// that a window that builds also gets points, ticks and new sizes.
class TFuzzFormBase : public forms::TForm {
 public:
  void FormCreate(forms::TObject*) { AddPoint(); }
  void Timer1Timer(forms::TObject*) { AddPoint(); }
  void Button1Click(forms::TObject*) {
    for (auto* timer : All<forms::TTimer>()) timer->SetEnabled(true);
  }
  void Button2Click(forms::TObject*) {
    for (auto* label : All<forms::TLabel>()) label->SetCaption(label->Caption() + "5");
  }
  void Button3Click(forms::TObject*) {
    for (auto* chart : All<chart::TChart>()) chart->BottomAxis->SetMinMax(0, 10);
  }
  void FormCanResize(forms::TObject*, int&, int&, bool&) {
    for (auto* chart : All<chart::TChart>()) chart->SetWidth(ClientWidth() - 105);
  }

  static inline std::string_view nextDescription;

 protected:
  explicit TFuzzFormBase(forms::TComponent* owner) : forms::TForm(owner) {}

 private:
  template <class C>
  std::vector<C*> All() const {
    std::vector<C*> found;
    for (forms::TComponent* c : Components())
      if (auto* typed = dynamic_cast<C*>(c)) found.push_back(typed);
    return found;
  }
  void AddPoint() {
    for (auto* series : All<chart::TLineSeries>()) series->AddXY(++points_ % 7, 50, "", 0xFF0000);
  }
  int points_ = 0;
};

template <class F>
forms::TPublished<F> Handlers(std::string className) {
  return std::move(forms::TPublished<F>(std::move(className))
                       .Method("FormCreate", &F::FormCreate)
                       .Method("Timer1Timer", &F::Timer1Timer)
                       .Method("Button1Click", &F::Button1Click)
                       .Method("Button2Click", &F::Button2Click)
                       .Method("Button3Click", &F::Button3Click)
                       .Method("FormCanResize", &F::FormCanResize));
}

// The main window's seven fields, so its own description builds whole and
// the fields' rules (their classes, none left empty) are met or broken.
class TMainLikeForm : public TFuzzFormBase {
 public:
  forms::TButton* Button1 = nullptr;
  chart::TChart* Chart1 = nullptr;
  chart::TLineSeries* Series1 = nullptr;
  forms::TTimer* Timer1 = nullptr;
  forms::TButton* Button2 = nullptr;
  forms::TButton* Button3 = nullptr;
  forms::TLabel* Label1 = nullptr;

  explicit TMainLikeForm(forms::TComponent* owner) : TFuzzFormBase(owner) {
    static const auto names = Handlers<TMainLikeForm>("TForm1")
                                  .Field("Button1", &TMainLikeForm::Button1)
                                  .Field("Chart1", &TMainLikeForm::Chart1)
                                  .Field("Series1", &TMainLikeForm::Series1)
                                  .Field("Timer1", &TMainLikeForm::Timer1)
                                  .Field("Button2", &TMainLikeForm::Button2)
                                  .Field("Button3", &TMainLikeForm::Button3)
                                  .Field("Label1", &TMainLikeForm::Label1);
    ReadForm(nextDescription, kSource, names);
  }
};

// A form of any other class name, with no fields: whatever components the
// description names by class are made, so far more inputs build whole.
class TLooseForm : public TFuzzFormBase {
 public:
  static inline std::string className;
  explicit TLooseForm(forms::TComponent* owner) : TFuzzFormBase(owner) {
    ReadForm(nextDescription, kSource, Handlers<TLooseForm>(className));
  }
};

// "Fuzz.form:<digits>: <something>", or the run stops here.
void ExpectNamedFailure(const forms::Exception& e) {
  const std::string& m = e.Message();
  std::size_t digits = kSource.size() + 1;
  bool named = m.compare(0, kSource.size(), kSource) == 0 && m.size() > digits && m[kSource.size()] == ':';
  std::size_t end = digits;
  while (named && end < m.size() && m[end] >= '0' && m[end] <= '9') ++end;
  named = named && end > digits && m.compare(end, 2, ": ") == 0 && m.size() > end + 2;
  if (!named) {
    std::fprintf(stderr, "an error that does not name source, line and fault: \"%s\"\n", m.c_str());
    std::abort();
  }
}

void UseTheWindow(forms::backend::headless::HeadlessBackend& backend) {
  using forms::TMouseButton;
  forms::backend::headless::HeadlessWindow& window = *backend.windows.front();
  window.Show();
  for (forms::TPoint size : {forms::TPoint{0, 0}, forms::TPoint{1, 1}, forms::TPoint{700, 500}}) {
    window.UserResize(size.x, size.y);
    for (auto* control : std::vector(backend.controls)) {
      if (control->kind == forms::backend::ControlKind::Button) control->Click();
      if (control->kind != forms::backend::ControlKind::Custom) continue;
      forms::backend::headless::RecordingCanvas canvas;
      control->Paint(canvas);
      control->MouseDown(TMouseButton::mbLeft, 60, 40);
      control->MouseMove(300, 200);
      control->MouseUp(TMouseButton::mbLeft, 300, 200);
    }
    backend.TickTimers();
  }
}

template <class F>
void Build(testing_support::HeadlessApplication& headless) {
  F* form = nullptr;
  try {
    headless.app().CreateForm(form);
  } catch (const forms::Exception& e) {
    ExpectNamedFailure(e);
    if (form) std::abort();  // a window that failed to build is never left behind
    return;
  }
  UseTheWindow(headless.backend());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  forms::reader::ObjectNode root;
  try {
    root = forms::reader::ParseForm(text, kSource);
  } catch (const forms::Exception& e) {
    ExpectNamedFailure(e);
    return 0;  // the builder reads it through the same parser
  }

  static const bool registered = [] {
    forms::RegisterClass<chart::TChart>();
    forms::RegisterClass<chart::TLineSeries>();
    return true;
  }();
  (void)registered;

  testing_support::HeadlessApplication headless;
  // Nothing the window does once built may fail: a handler here throws
  // nothing, so any exception reported is a fault.
  headless.app().OnException = [](forms::TObject*, const forms::Exception& e) {
    std::fprintf(stderr, "an event failed: \"%s\"\n", e.Message().c_str());
    std::abort();
  };
  TFuzzFormBase::nextDescription = text;
  if (root.className == "TForm1") Build<TMainLikeForm>(headless);
  else {
    TLooseForm::className = root.className;
    Build<TLooseForm>(headless);
  }
  return 0;
}
