// A main window whose construction throws something that is not an
// Exception: the entry must show an empty message and end with 0.
#include "ui/Unit1.h"

TForm1* Form1 = nullptr;
std::uint32_t CurrentX = 0;
std::uint32_t CurrentY = 0;

TForm1::TForm1(forms::TComponent* Owner) : forms::TForm(Owner) { throw 7; }

void TForm1::FormCreate(forms::TObject*) {}
void TForm1::Timer1Timer(forms::TObject*) {}
void TForm1::Button1Click(forms::TObject*) {}
void TForm1::Button2Click(forms::TObject*) {}
void TForm1::Button3Click(forms::TObject*) {}
void TForm1::FormCanResize(forms::TObject*, int&, int&, bool&) {}
