// Drives the real main window, built from its description on the headless
// window system, with a seeded random sequence of what a person and the
// system can do: the three buttons, ticks, resizes, drags, paints, and
// exceptions thrown into the handlers. After every event it checks what
// must always hold, and reports the first break with the seed and the
// event's number so the run can be replayed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fuzz {

struct FuzzResult {
  std::uint64_t events = 0;
  std::uint64_t points = 0;
  std::uint64_t injected = 0;
  std::uint64_t reported = 0;
  std::optional<std::string> failure;  // the broken rule, with seed and event
};

// Runs `events` events from `seed` in a fresh application.
FuzzResult RunEventFuzz(std::uint64_t seed, std::uint64_t events);

}  // namespace fuzz
