// A million random events against the real window, each followed by the
// checks of what must always hold. FUZZ_EVENTS and FUZZ_SEED run longer or
// other sequences locally; a failure prints its seed and event to replay.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/fuzz/EventFuzzer.h"

namespace {

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

TEST(EventFuzz, InvariantsHoldAfterEveryEvent) {
  const std::uint64_t seed = FromEnvironment("FUZZ_SEED", 20261211);
  const std::uint64_t events = FromEnvironment("FUZZ_EVENTS", 1'000'000);
  fuzz::FuzzResult result = fuzz::RunEventFuzz(seed, events);
  ASSERT_FALSE(result.failure.has_value()) << *result.failure;
  EXPECT_EQ(result.events, events);
  EXPECT_GT(result.injected, 0u);
  std::cout << "[ fuzz ] seed " << seed << ": " << result.events << " events, " << result.points
            << " points, " << result.injected << " exceptions injected, " << result.reported
            << " reported\n";
}

}  // namespace
