// fork and exec rather than posix_spawn: the limits must be set in the child
// between the two. Between fork and exec the child calls only
// async-signal-safe functions, since the server forks from a threaded process.
#include "verifypool/limited_child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace verifypool {

namespace {

using Clock = std::chrono::steady_clock;

void setLimit(int resource, rlim_t value) {
    const rlimit limit{value, value};
    ::setrlimit(resource, &limit);
}

[[noreturn]] void execChild(char* const* argv, const VerifyLimits& limits, int outFd, int errFd) {
    ::setpgid(0, 0);
    const int nullFd = ::open("/dev/null", O_RDONLY);
    if (nullFd < 0 || ::dup2(nullFd, 0) < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0) ::_exit(126);
    // Nothing of the server (its sockets, its database) reaches the verifier.
    ::close_range(3, ~0U, 0);
    // The soft CPU limit sends SIGXCPU; the hard one a second later SIGKILL.
    const rlimit cpu{static_cast<rlim_t>(limits.cpuSeconds), static_cast<rlim_t>(limits.cpuSeconds + 1)};
    ::setrlimit(RLIMIT_CPU, &cpu);
#ifndef KVR_SANITIZED_BUILD
    setLimit(RLIMIT_AS, static_cast<rlim_t>(limits.memoryBytes));
#else
    // A sanitized verifier reserves terabytes of address space for its shadow
    // memory, so no address-space limit lets it start; the sanitizer build's
    // tests cover the other limits, the plain build's this one.
    (void)limits.memoryBytes;
#endif
    setLimit(RLIMIT_FSIZE, static_cast<rlim_t>(limits.fileBytes));
    setLimit(RLIMIT_CORE, 0);
    ::execv(argv[0], argv);
    ::_exit(127);
}

void killGroup(pid_t pid) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);  // in case it died before its setpgid
}

void recordStatus(int status, ChildResult& result) {
    if (WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.termSignal = WTERMSIG(status);
    }
}

}  // namespace

ChildResult runLimitedChild(const std::vector<std::string>& argv, const VerifyLimits& limits,
                            const std::string& stderrFile, std::size_t outputCap) {
    ChildResult result;
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.failure = std::string("pipe: ") + std::strerror(errno);
        return result;
    }
    const int errFd = ::open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (errFd < 0) {
        result.failure = "cannot create " + stderrFile + ": " + std::strerror(errno);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return result;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(limits.wallMillis);
    const pid_t pid = ::fork();
    if (pid == 0) execChild(args.data(), limits, pipeFds[1], errFd);
    ::close(pipeFds[1]);
    ::close(errFd);
    if (pid < 0) {
        result.failure = std::string("fork: ") + std::strerror(errno);
        ::close(pipeFds[0]);
        return result;
    }
    result.started = true;
    // Also from the parent, so the group exists before any kill is aimed at it.
    ::setpgid(pid, pid);

    // Read stdout until it closes or the deadline passes.
    char buffer[4096];
    bool open = true;
    while (open && !result.timedOut) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            result.timedOut = true;
            break;
        }
        pollfd fd{pipeFds[0], POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {
            open = false;
        } else {
            const std::size_t room = outputCap - result.out.size();
            result.out.append(buffer, std::min(room, static_cast<std::size_t>(n)));
            if (static_cast<std::size_t>(n) > room) result.outTruncated = true;
        }
    }
    ::close(pipeFds[0]);

    // stdout is closed: wait for the exit itself, still within the deadline.
    // WNOWAIT leaves the child a zombie, so its pid and group id stay ours
    // until the group's leftovers are killed and it is reaped.
    bool killed = false;
    if (result.timedOut) {
        killGroup(pid);
        killed = true;
    }
    for (;;) {
        siginfo_t info{};
        const int waited = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT | (killed ? 0 : WNOHANG));
        if (waited == 0 && info.si_pid == pid) break;
        if (waited < 0 && errno != EINTR) break;
        if (!killed && Clock::now() >= deadline) {
            result.timedOut = true;
            killGroup(pid);
            killed = true;
        } else if (!killed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ::kill(-pid, SIGKILL);  // whatever the verifier left running in its group
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (result.timedOut) {
        result.failure = "killed after " + std::to_string(limits.wallMillis) + " ms";
    } else {
        recordStatus(status, result);
    }
    return result;
}

}  // namespace verifypool
