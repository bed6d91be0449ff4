#pragma once

// What the end-to-end tests share: artefacts named after the running test,
// waiting for the screen to show something, and the closing check.

#include "tests/e2e/AppSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

namespace e2e {

// "e2e-Suite.Name": logs and screenshots of the running test start with it
// (a parameterised test's slashes become dashes).
inline std::string artefactPrefix()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix = std::string("e2e-") + info->test_suite_name() + "." + info->name();
    std::replace(prefix.begin(), prefix.end(), '/', '-');
    return prefix;
}

// Closes the window as a window manager would; the program must end with 0.
inline void expectCleanExit(AppSession& session)
{
    const auto status = session.closeAndWait(5s);
    ASSERT_TRUE(status.has_value()) << "still running 5 s after WM_DELETE_WINDOW\n" << session.appLog();
    EXPECT_TRUE(status->success()) << status->describe() << "\n" << session.appLog();
}

// Reads the screen with `read` until `done` accepts what it read or
// `timeout` passes; returns the last reading either way, for the assertions
// and their messages.
template <class Read, class Done>
auto eventually(Read read, Done done, std::chrono::milliseconds timeout = 5s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto reading = read();
    while (!done(reading) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(150ms);
        reading = read();
    }
    return reading;
}

} // namespace e2e
