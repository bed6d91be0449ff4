// The application object: creates the main form, runs the message loop and
// is the one place where exceptions raised by delivered events are caught.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "forms/Component.h"
#include "forms/Events.h"
#include "forms/Exceptions.h"
#include "forms/backend/Backend.h"

namespace forms {

class TForm;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  void Initialize();
  // Stores the new form in reference before its constructor runs, so its
  // handlers may use it while it is built; resets it to null if building
  // fails. The first form created is the main form.
  template <class F>
  void CreateForm(F*& reference);
  // Shows the main form and runs the loop until it is closed.
  void Run();

  // The standard display: a stop box with OK, captioned with the title.
  // One box at a time: a message raised while a box is open (its nested
  // loop keeps delivering ticks and paints) waits and is shown after it,
  // unless the same text is already open or waiting.
  void ShowException(const Exception& E);
  static constexpr std::size_t kMaxWaitingMessages = 8;
  // Call only inside a catch block: EAbort is dropped, OnException (when
  // set) or the standard display gets anything else.
  void HandleException(TObject* Sender);
  TExceptionEvent OnException;

  // The program file's base name, unless set.
  std::string Title();
  void SetTitle(std::string ansi) { title_ = std::move(ansi); }

  TForm* MainForm() const { return mainForm_; }

  // Runs one event (a click, tick, size change, paint or mouse event);
  // whatever it throws ends here.
  void Deliver(const std::function<void()>& event) noexcept;

  backend::Backend& Backend();
  // Replaces the window system (tests run on a headless one). Call before
  // anything was created on the previous one.
  void SetBackend(std::unique_ptr<backend::Backend> backend);

 private:
  void FormCreated(TForm* form);
  // Frees the forms, then the window system.
  void Shutdown();
  void TearDownAtExit();
  void ApplyIcon(TForm& form);

  std::unique_ptr<backend::Backend> backend_;
  TForm* mainForm_ = nullptr;
  bool looping_ = false;  // inside Run's loop
  bool boxOpen_ = false;
  std::string openMessage_;
  std::deque<std::string> waitingMessages_;
  std::string title_;
  bool titleSet_ = false;
};

extern TApplication* Application;

// The message with the full stop the standard display adds when the last
// character compares greater than ".".
std::string MessageForDisplay(const std::string& message);
// Directory and everything from the first "." cut off, all after the first
// character lower-cased: "/x/VOLTage.Display.bin" gives "Voltage".
std::string TitleFromPath(std::string_view path);

// For backends: delivers one event through the application.
inline void Deliver(const std::function<void()>& event) { Application->Deliver(event); }

template <class F>
void TApplication::CreateForm(F*& reference) {
  static_assert(alignof(F) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
  void* storage = ::operator new(sizeof(F));
  reference = static_cast<F*>(storage);
  F* form = nullptr;
  try {
    form = ::new (storage) F(this);
  } catch (...) {
    reference = nullptr;
    ::operator delete(storage);
    throw;
  }
  FormCreated(form);
}

}  // namespace forms
