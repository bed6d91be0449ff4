// A small form class for the component layer's tests: a button, a label and
// a timer, with handlers a test can make throw.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "forms/Button.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Published.h"
#include "forms/Timer.h"

class TTestForm : public forms::TForm {
 public:
  forms::TButton* Button1 = nullptr;
  forms::TLabel* Label1 = nullptr;
  forms::TTimer* Timer1 = nullptr;

  void FormCreate(forms::TObject*) { Run(onCreate); }
  void Button1Click(forms::TObject*) { Run(onClick); }
  void Timer1Timer(forms::TObject*) { Run(onTick); }
  void FormCanResize(forms::TObject*, int& w, int& h, bool& resize) {
    ++resizeQueries;
    if (onResize) onResize(w, h, resize);
  }

  TTestForm(forms::TComponent* owner, std::string_view description) : forms::TForm(owner) {
    static const auto names = forms::TPublished<TTestForm>("TTestForm")
                                  .Field("Button1", &TTestForm::Button1)
                                  .Field("Label1", &TTestForm::Label1)
                                  .Field("Timer1", &TTestForm::Timer1)
                                  .Method("FormCreate", &TTestForm::FormCreate)
                                  .Method("Button1Click", &TTestForm::Button1Click)
                                  .Method("Timer1Timer", &TTestForm::Timer1Timer)
                                  .Method("FormCanResize", &TTestForm::FormCanResize);
    ReadForm(description, "Test.form", names);
  }
  explicit TTestForm(forms::TComponent* owner)
      : TTestForm(owner, nextDescription.empty() ? DefaultDescription() : nextDescription) {}

  // What the next form built is read from and runs in FormCreate (set
  // before CreateForm, cleared by the fixture).
  static inline std::string nextDescription;
  static inline std::function<void()> onCreate;
  std::function<void()> onClick;
  std::function<void()> onTick;
  std::function<void(int&, int&, bool&)> onResize;
  int resizeQueries = 0;

  static std::string DefaultDescription() {
    return R"(object Form1: TTestForm
  Width = 300
  Height = 200
  Caption = 'Test'
  OnCreate = FormCreate
  OnCanResize = FormCanResize
  object Button1: TButton
    Left = 10
    Top = 10
    Caption = 'Go'
    OnClick = Button1Click
  end
  object Label1: TLabel
    Left = 10
    Top = 50
    Caption = '0000'
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 100
    OnTimer = Timer1Timer
  end
end
)";
  }

 private:
  static void Run(const std::function<void()>& f) {
    if (f) f();
  }
};
