#include "tests/e2e/Process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

std::string findExecutable(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return name;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        std::string dir = dirs.substr(start, end - start);
        if (dir.empty())
            dir = ".";
        const std::string candidate = dir + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    throw std::runtime_error("program not found in PATH: " + name);
}

std::vector<std::string> childEnvironment(const ProcessOptions& options)
{
    std::vector<std::string> env;
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    auto overridden = [&](const std::string& name) {
        if (std::find(options.unsetEnv.begin(), options.unsetEnv.end(), name) != options.unsetEnv.end())
            return true;
        return std::any_of(options.setEnv.begin(), options.setEnv.end(),
                           [&](const auto& kv) { return kv.first == name; });
    };
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string text(*entry);
        if (!overridden(nameOf(text)))
            env.push_back(std::move(text));
    }
    for (const auto& [name, value] : options.setEnv)
        env.push_back(name + "=" + value);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (auto& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

[[noreturn]] void childFail(int errorPipe, int error)
{
    [[maybe_unused]] const auto written = ::write(errorPipe, &error, sizeof error);
    ::_exit(127);
}

// Forks and execs; stdout/stderr go to outFd/errFd. Returns the child's pid.
pid_t spawn(const std::vector<std::string>& argv, const ProcessOptions& options, int outFd, int errFd)
{
    if (argv.empty())
        throw std::invalid_argument("empty command");
    std::string path = findExecutable(argv.front());
    std::vector<std::string> args = argv;
    std::vector<std::string> env = childEnvironment(options);
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(env);

    Fd devNull(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    Fd errorRead(errorPipe[0]);
    Fd errorWrite(errorPipe[1]);

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        // Child: only async-signal-safe calls from here on.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (::dup2(devNull.get(), 0) < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0)
            childFail(errorWrite.get(), errno);
        if (options.inheritFd >= 0 && ::fcntl(options.inheritFd, F_SETFD, 0) != 0)
            childFail(errorWrite.get(), errno);
        ::execve(path.c_str(), argp.data(), envp.data());
        childFail(errorWrite.get(), errno);
    }
    ::setpgid(pid, pid); // also in the parent, so a kill of the group never races the child
    errorWrite.reset();
    int childErrno = 0;
    ssize_t got;
    do {
        got = ::read(errorRead.get(), &childErrno, sizeof childErrno);
    } while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof childErrno)) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        throw std::runtime_error("cannot start " + path + ": " + std::strerror(childErrno));
    }
    return pid;
}

ExitStatus decode(int status)
{
    ExitStatus result;
    if (WIFEXITED(status)) {
        result.exited = true;
        result.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

} // namespace

std::string ExitStatus::describe() const
{
    if (exited)
        return "exit code " + std::to_string(code);
    return "killed by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

Process::Process(std::vector<std::string> argv, ProcessOptions options)
    : argv_(std::move(argv))
{
    if (argv_.empty())
        throw std::invalid_argument("empty command");
    Fd log(options.logFile.empty()
               ? ::open("/dev/null", O_WRONLY | O_CLOEXEC)
               : ::open(options.logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (log.get() < 0)
        throw std::runtime_error("cannot open " + options.logFile + ": " + std::strerror(errno));
    pid_ = spawn(argv_, options, log.get(), log.get());
}

Process::~Process()
{
    if (pid_ > 0 && !status_)
        terminate(1s);
}

bool Process::reap(bool block)
{
    if (status_)
        return true;
    int status = 0;
    pid_t got;
    do {
        got = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == pid_) {
        status_ = decode(status);
        return true;
    }
    if (got < 0) { // not our child any more; nothing to wait for
        status_ = ExitStatus{};
        return true;
    }
    return false;
}

bool Process::running()
{
    return !reap(false);
}

std::optional<ExitStatus> Process::waitFor(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!reap(false)) {
        if (Clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(10ms);
    }
    return status_;
}

ExitStatus Process::terminate(std::chrono::milliseconds grace)
{
    if (!reap(false)) {
        ::kill(-pid_, SIGTERM);
        if (!waitFor(grace)) {
            ::kill(-pid_, SIGKILL);
            reap(true);
        }
    }
    return *status_;
}

RunResult run(const std::vector<std::string>& argv, const ProcessOptions& options,
              std::chrono::milliseconds timeout)
{
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    Fd outRead(outPipe[0]), outWrite(outPipe[1]);
    if (::pipe2(errPipe, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    Fd errRead(errPipe[0]), errWrite(errPipe[1]);

    const pid_t pid = spawn(argv, options, outWrite.get(), errWrite.get());
    outWrite.reset();
    errWrite.reset();

    RunResult result;
    const auto deadline = Clock::now() + timeout;
    bool outOpen = true, errOpen = true;
    while ((outOpen || errOpen) && !result.timedOut) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        pollfd fds[2] = {{outOpen ? outRead.get() : -1, POLLIN, 0},
                         {errOpen ? errRead.get() : -1, POLLIN, 0}};
        const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR)
            break;
        char buffer[4096];
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0)
                (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR)
                (i == 0 ? outOpen : errOpen) = false;
        }
    }

    // Wait for the end within what is left of the time limit.
    int status = 0;
    for (;;) {
        const pid_t got = ::waitpid(pid, &status, WNOHANG);
        if (got == pid) {
            result.status = decode(status);
            break;
        }
        if (got < 0 && errno != EINTR) {
            break;
        }
        if (Clock::now() >= deadline) {
            result.timedOut = true;
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            result.status = decode(status);
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    return result;
}

std::string quoteCommand(const std::vector<std::string>& argv)
{
    std::string text;
    for (const auto& arg : argv) {
        if (!text.empty())
            text += ' ';
        const bool plain = !arg.empty() && arg.find_first_of(" \t\n'\"\\$*?[]{}()<>|&;^") == std::string::npos;
        if (plain) {
            text += arg;
        } else {
            text += '\'';
            for (char c : arg)
                text += c == '\'' ? std::string("'\\''") : std::string(1, c);
            text += '\'';
        }
    }
    return text;
}

} // namespace e2e
