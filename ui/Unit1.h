// The main window: a live chart of one level, a start button, two buttons
// that move the level, and a label showing it.
#pragma once

#include <cstdint>

#include "chart/Chart.h"
#include "chart/LineSeries.h"
#include "forms/Button.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Timer.h"

class TForm1 : public forms::TForm {
 public:  // components and handlers, bound by name from the description
  forms::TButton* Button1 = nullptr;
  chart::TChart* Chart1 = nullptr;
  chart::TLineSeries* Series1 = nullptr;
  forms::TTimer* Timer1 = nullptr;
  forms::TButton* Button2 = nullptr;
  forms::TButton* Button3 = nullptr;
  forms::TLabel* Label1 = nullptr;
  void FormCreate(forms::TObject* Sender);
  void Timer1Timer(forms::TObject* Sender);
  void Button1Click(forms::TObject* Sender);
  void Button2Click(forms::TObject* Sender);
  void Button3Click(forms::TObject* Sender);
  void FormCanResize(forms::TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);

  explicit TForm1(forms::TComponent* Owner);
};

extern TForm1* Form1;

// The plot state: X of the latest sample, and the level of the next one.
extern std::uint32_t CurrentX;
extern std::uint32_t CurrentY;
