#pragma once

// Child processes for the end-to-end tests: started in a process group of
// their own, killed with the test process if it dies, and never waited for
// without a time limit.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// How a process ended.
struct ExitStatus {
    bool exited = false; // ended through exit(); otherwise killed by `signal`
    int code = 0;
    int signal = 0;

    bool success() const { return exited && code == 0; }
    std::string describe() const;
};

struct ProcessOptions {
    // Variables set (or replaced) in the child's environment, on top of ours.
    std::vector<std::pair<std::string, std::string>> setEnv;
    // Variables removed from the child's environment.
    std::vector<std::string> unsetEnv;
    // File receiving the child's stdout and stderr; empty: /dev/null.
    std::string logFile;
    // A descriptor of ours the child inherits under the same number, or -1.
    int inheritFd = -1;
};

class Process {
public:
    // Starts argv[0] (looked up in PATH when it has no '/').
    // Throws std::runtime_error when it cannot be started.
    explicit Process(std::vector<std::string> argv, ProcessOptions options = {});
    ~Process(); // terminate()s a child still running

    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    const std::string& name() const { return argv_.front(); }

    // True while the child has not ended (reaps it once it has).
    bool running();
    // The exit status once the child has ended, or nothing after `timeout`.
    std::optional<ExitStatus> waitFor(std::chrono::milliseconds timeout);
    // SIGTERM to the child's process group, SIGKILL after `grace`.
    ExitStatus terminate(std::chrono::milliseconds grace = 3s);
    // Status of an ended child (nothing while it runs).
    const std::optional<ExitStatus>& status() const { return status_; }

private:
    bool reap(bool block);

    std::vector<std::string> argv_;
    pid_t pid_ = -1;
    std::optional<ExitStatus> status_;
};

struct RunResult {
    ExitStatus status;
    bool timedOut = false;
    std::string out;
    std::string err;

    bool ok() const { return !timedOut && status.success(); }
};

// Runs a command to its end, collecting stdout and stderr; killed after `timeout`.
RunResult run(const std::vector<std::string>& argv, const ProcessOptions& options = {},
              std::chrono::milliseconds timeout = 20s);

// "a b 'c d'": a command line for messages.
std::string quoteCommand(const std::vector<std::string>& argv);

} // namespace e2e
