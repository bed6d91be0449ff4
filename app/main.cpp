// The process entry: create the main window, run the loop, show whatever
// escapes. The exit code is always 0; the arguments are not read.
#include "forms/Application.h"
#include "ui/Unit1.h"

using forms::Application;

int main() {
  try {
    Application->Initialize();
    Application->CreateForm(Form1);
    Application->Run();
  } catch (const forms::Exception& E) {
    Application->ShowException(E);
  } catch (...) {
    try {
      throw forms::Exception("");
    } catch (const forms::Exception& E) {
      Application->ShowException(E);
    }
  }
  return 0;
}
