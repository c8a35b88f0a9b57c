// Small helpers shared by the timing programs: a throw-away working directory
// that sees the repository's resources, and the median of a set of samples.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace bench {

inline std::filesystem::path makeWorkDirWithResources() {
    std::random_device seed;
    auto dir = std::filesystem::temp_directory_path() / ("kvr2013-bench-" + std::to_string(seed()));
    std::filesystem::create_directories(dir);
    std::filesystem::create_directory_symlink(std::filesystem::path(KVR_SOURCE_DIR) / "resource", dir / "resource");
    return dir;
}

// The value at a fraction of the sorted samples (0.5 = median).
inline double quantile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    size_t index = static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[index];
}

// What one finished process cost: wall time from fork to exit, its peak
// resident set, its exit status.
struct ProcessFigures {
    double wallMs = 0;
    long maxRssKb = 0;
    int status = -1;
};

// Runs argv to its end with stdout and stderr sent to /dev/null.
inline ProcessFigures timeProcess(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execv(args[0], args.data());
        std::_Exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const auto stop = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(stop - start).count(), usage.ru_maxrss,
            WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

}  // namespace bench
