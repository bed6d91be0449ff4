#include "forms/Application.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "forms/AnsiText.h"
#include "forms/Form.h"
#include "forms/Resources.h"

namespace forms {
namespace {

TApplication& DefaultApplication() {
  static TApplication application;
  return application;
}

void ReportLastResort(const char* what) noexcept {
  std::fprintf(stderr, "voltage-display: an error could not be shown: %s\n", what);
}

}  // namespace

TApplication* Application = &DefaultApplication();

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() { Shutdown(); }

void TApplication::Shutdown() {
  // The forms and their native windows go before the window system does.
  while (!Components().empty()) delete Components().back();
  mainForm_ = nullptr;
  backend_.reset();
}

backend::Backend& TApplication::Backend() {
  if (!backend_) {
    backend_ = backend::CreateDefaultBackend();
    TearDownAtExit();
  }
  return *backend_;
}

// The process-wide application lives in static storage and is torn down by
// an exit handler, which must run before the window system's own statics
// are destroyed. Exit handlers run in reverse order of registration, and
// the window system makes some statics only when first needed, long after
// it started (closing a scroll bar's context menu makes one). So the
// handler is registered again whenever control goes back to main: when the
// loop ends and after an error box shown outside it. The last registered
// runs first; the ones after it find nothing left to free.
void TApplication::TearDownAtExit() {
  if (this == &DefaultApplication()) std::atexit([] { DefaultApplication().Shutdown(); });
}

void TApplication::SetBackend(std::unique_ptr<backend::Backend> backend) {
  backend_ = std::move(backend);
}

void TApplication::Initialize() { Backend(); }

void TApplication::FormCreated(TForm* form) {
  form->AfterConstruction();
  if (!mainForm_) {
    mainForm_ = form;
    ApplyIcon(*form);
  }
}

void TApplication::ApplyIcon(TForm& form) {
  std::string_view icon = FindResource("MAINICON");
  if (!icon.empty()) form.Native().SetIcon(icon);
}

void TApplication::Run() {
  if (!mainForm_) return;
  mainForm_->Show();
  looping_ = true;
  Backend().RunLoop(mainForm_->Native());
  looping_ = false;
  TearDownAtExit();
}

std::string TApplication::Title() {
  if (!titleSet_) {
    title_ = TitleFromPath(Backend().ProgramPath());
    titleSet_ = true;
  }
  return title_;
}

void TApplication::ShowException(const Exception& E) {
  std::string text = MessageForDisplay(E.Message());
  if (boxOpen_) {
    bool known = text == openMessage_ ||
                 std::find(waitingMessages_.begin(), waitingMessages_.end(), text) != waitingMessages_.end();
    if (!known && waitingMessages_.size() < kMaxWaitingMessages) waitingMessages_.push_back(text);
    return;
  }
  struct BoxClosed {
    TApplication& app;
    ~BoxClosed() {
      app.boxOpen_ = false;
      app.openMessage_.clear();
      app.waitingMessages_.clear();
    }
  } closed{*this};
  boxOpen_ = true;
  openMessage_ = std::move(text);
  const std::string caption = AnsiToUtf8(Title());
  for (;;) {
    Backend().ShowErrorBox(caption, AnsiToUtf8(openMessage_));
    if (waitingMessages_.empty()) break;
    openMessage_ = std::move(waitingMessages_.front());
    waitingMessages_.pop_front();
  }
  if (!looping_) TearDownAtExit();
}

void TApplication::HandleException(TObject* Sender) {
  auto report = [&](const Exception& e) {
    if (OnException) OnException(Sender, e);
    else ShowException(e);
  };
  try {
    throw;
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    report(e);
  } catch (const std::exception& e) {
    report(Exception(e.what()));
  } catch (...) {
    report(Exception(""));
  }
}

void TApplication::Deliver(const std::function<void()>& event) noexcept {
  try {
    event();
  } catch (...) {
    try {
      HandleException(this);
    } catch (const std::exception& e) {
      ReportLastResort(e.what());
    } catch (...) {
      ReportLastResort("unknown exception");
    }
  }
}

std::string MessageForDisplay(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

std::string TitleFromPath(std::string_view path) {
  std::size_t slash = path.find_last_of('/');
  std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
  base = base.substr(0, base.find('.'));
  std::string title(base);
  for (std::size_t i = 1; i < title.size(); ++i)
    title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
  return title;
}

}  // namespace forms
