// A fresh application on the headless window system for one test: it
// stands in for the program's application object while the test runs.
#pragma once

#include <string>
#include <vector>

#include "forms/Application.h"
#include "forms/Control.h"
#include "forms/backend/headless/HeadlessBackend.h"

namespace testing_support {

class HeadlessApplication {
 public:
  HeadlessApplication() : previous_(forms::Application) {
    auto backend = std::make_unique<forms::backend::headless::HeadlessBackend>();
    backend_ = backend.get();
    app_.SetBackend(std::move(backend));
    forms::Application = &app_;
  }
  ~HeadlessApplication() { forms::Application = previous_; }
  HeadlessApplication(const HeadlessApplication&) = delete;
  HeadlessApplication& operator=(const HeadlessApplication&) = delete;

  forms::TApplication& app() { return app_; }
  forms::backend::headless::HeadlessBackend& backend() { return *backend_; }

  // Counts what reaches the application's exception handling.
  std::vector<std::string>& CatchExceptions() {
    app_.OnException = [this](forms::TObject*, const forms::Exception& e) { caught_.push_back(e.Message()); };
    return caught_;
  }

 private:
  forms::TApplication* previous_;
  forms::TApplication app_;
  forms::backend::headless::HeadlessBackend* backend_ = nullptr;
  std::vector<std::string> caught_;
};

inline forms::backend::headless::HeadlessControl& NativeOf(const forms::TControl& control) {
  return *static_cast<forms::backend::headless::HeadlessControl*>(control.Native());
}

}  // namespace testing_support
