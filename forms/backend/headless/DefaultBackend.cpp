// Links the headless window system in as the default, for programs built to
// run without any display (the entry's own tests).
#include <filesystem>

#include "forms/backend/headless/HeadlessBackend.h"

namespace forms::backend {
std::unique_ptr<Backend> CreateDefaultBackend() {
  auto backend = std::make_unique<headless::HeadlessBackend>();
  backend->echoErrorBoxes = true;
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) backend->programPath = self.string();
  return backend;
}
}  // namespace forms::backend
