// Links the headless window system in as the default, for programs built to
// run without any display (the entry's own tests).
#include "forms/backend/headless/HeadlessBackend.h"

namespace forms::backend {
std::unique_ptr<Backend> CreateDefaultBackend() {
  auto backend = std::make_unique<headless::HeadlessBackend>();
  backend->echoErrorBoxes = true;
  return backend;
}
}  // namespace forms::backend
