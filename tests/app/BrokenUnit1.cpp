// A main window whose description names a class that does not exist: the
// real entry, linked with this, must show the message and end with 0
// without ever entering the loop.
#include "ui/Unit1.h"

#include <cstdio>

#include "forms/Published.h"

TForm1* Form1 = nullptr;
std::uint32_t CurrentX = 0;
std::uint32_t CurrentY = 0;

namespace {
// Once the program has ended, the window that failed to build must not
// be left behind in Form1: say so where the test reads.
struct ReferenceCheck {
  ~ReferenceCheck() {
    if (Form1) std::fputs("Form1 still set after the window failed to build\n", stderr);
  }
} referenceCheck;
}  // namespace

TForm1::TForm1(forms::TComponent* Owner) : forms::TForm(Owner) {
  static const auto names = forms::TPublished<TForm1>("TForm1").Field("Button1", &TForm1::Button1);
  ReadForm("object Form1: TForm1\n  Caption = 'Broken'\n  object Button1: TButon\n  end\nend\n",
           "Unit1.form", names);
}

void TForm1::FormCreate(forms::TObject*) {}
void TForm1::Timer1Timer(forms::TObject*) {}
void TForm1::Button1Click(forms::TObject*) {}
void TForm1::Button2Click(forms::TObject*) {}
void TForm1::Button3Click(forms::TObject*) {}
void TForm1::FormCanResize(forms::TObject*, int&, int&, bool&) {}
