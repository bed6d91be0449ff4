#include "ui/Unit1.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "forms/Published.h"

extern const std::string_view TFORM1Resource;

TForm1* Form1 = nullptr;
std::uint32_t CurrentX = 0;
std::uint32_t CurrentY = 0;

namespace {

// "電壓顯示" in code page 950, as the chart takes its title lines.
constexpr const char* kChartTitle = "\xB9\x71\xC0\xA3\xC5\xE3\xA5\xDC";
constexpr forms::TColor kSampleColor = 0xFF0000;  // blue

const forms::TPublished<TForm1>& PublishedNames() {
  static const auto names = forms::TPublished<TForm1>("TForm1")
                                .Field("Button1", &TForm1::Button1)
                                .Field("Chart1", &TForm1::Chart1)
                                .Field("Series1", &TForm1::Series1)
                                .Field("Timer1", &TForm1::Timer1)
                                .Field("Button2", &TForm1::Button2)
                                .Field("Button3", &TForm1::Button3)
                                .Field("Label1", &TForm1::Label1)
                                .Method("FormCreate", &TForm1::FormCreate)
                                .Method("Timer1Timer", &TForm1::Timer1Timer)
                                .Method("Button1Click", &TForm1::Button1Click)
                                .Method("Button2Click", &TForm1::Button2Click)
                                .Method("Button3Click", &TForm1::Button3Click)
                                .Method("FormCanResize", &TForm1::FormCanResize);
  return names;
}

std::string LevelText(std::uint32_t level) {
  char text[16];
  std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(level));
  return text;
}

}  // namespace

TForm1::TForm1(forms::TComponent* Owner) : forms::TForm(Owner) {
  ReadForm(TFORM1Resource, "Unit1.form", PublishedNames());
}

void TForm1::FormCreate(forms::TObject*) {
  CurrentY = 50;
  CurrentX = 0;
  Chart1->Title->Text->Clear();
  Chart1->Title->Text->Add(kChartTitle);
  Series1->AddXY(CurrentX, CurrentY, "", kSampleColor);
  Chart1->BottomAxis->SetMinMax(0, 1000);
  Chart1->LeftAxis->SetMinMax(0, 100);
  Chart1->SetView3D(false);
  Chart1->Legend->SetVisible(false);
}

void TForm1::Timer1Timer(forms::TObject*) {
  if (CurrentX >= 65535) CurrentX = 0;
  else CurrentX += 5;
  Series1->AddXY(CurrentX, CurrentY, "", kSampleColor);
  chart::TChartAxis* axis = Chart1->BottomAxis;
  axis->SetMinimum(axis->Maximum() - 999);
  axis->SetMinMax(axis->Minimum(), axis->Maximum());
  axis->SetMaximum(axis->Maximum() + 1);
}

void TForm1::Button1Click(forms::TObject*) {
  CurrentY = 50;
  CurrentX = 1000;
  Series1->AddXY(CurrentX, CurrentY, "", kSampleColor);
  Chart1->BottomAxis->SetMinMax(0, 1000);
  Chart1->LeftAxis->SetMinMax(0, 100);
  Timer1->SetEnabled(true);
}

void TForm1::Button2Click(forms::TObject*) {
  if (CurrentY < 100) CurrentY += 5;
  Label1->SetCaption(LevelText(CurrentY));
}

void TForm1::Button3Click(forms::TObject*) {
  if (CurrentY > 0) CurrentY -= 5;
  Label1->SetCaption(LevelText(CurrentY));
}

// Stretches the chart over the window and keeps the buttons and the label
// in a column just right of it. Never changes the proposed size.
void TForm1::FormCanResize(forms::TObject*, int&, int&, bool&) {
  Chart1->SetWidth(Form1->ClientWidth() - 105);
  Chart1->SetHeight(Form1->ClientHeight() - 15);
  Button1->SetLeft(Chart1->Width() + 15);
  Button2->SetLeft(Chart1->Width() + 15);
  Button3->SetLeft(Chart1->Width() + 15);
  Label1->SetLeft(Chart1->Width() + 15);
}
