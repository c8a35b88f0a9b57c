// Helpers for the fault tests: a scratch directory that becomes the working
// directory, whole-file reads and writes, running a function in a child
// process (so a test can cut its file size, mount over its directories or
// kill it without harming the test program), a disk of its own for a child,
// and a headless framework setup.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace proof {

// A fresh directory under /tmp, the working directory while it lives, removed afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

std::string readFile(const std::string& file);  // throws when it cannot be read
void writeFile(const std::string& file, const std::string& bytes);
bool fileExists(const std::string& file);
// Names of the entries of a directory that end with suffix.
std::vector<std::string> filesEndingWith(const std::filesystem::path& dir, const std::string& suffix);

struct ChildResult {
    int exitStatus = -1;  // exit code, or 128 + signal
    std::string output;   // what the child wrote to stdout and stderr
};

// Runs body in a forked child whose stdout and stderr are captured; the
// child exits with body's return value (an escaping exception exits 99).
ChildResult runInChild(const std::function<int()>& body);

// The framework on its headless backend, logging to stderr only (no "run.log").
void startHeadlessFramework(bool readResourceFiles);
void stopHeadlessFramework();

// Points "resource" in the working directory at the repository's resources.
void linkRepositoryResources();

// A copy of the repository's resource tree under dir/resource, so one file can be damaged.
void copyRepositoryResources(const std::filesystem::path& dir);

// A private mount namespace with a small tmpfs on dir (a disk that can be
// filled or made read-only without harming the machine); false when this
// process has no right to do it, and the test then exits with NO_MOUNT.
bool mountPrivateTmpfs(const std::filesystem::path& dir, const char* size);
constexpr int NO_MOUNT = 77;

// Lines of text that contain needle.
int countLinesContaining(const std::string& text, const std::string& needle);

}  // namespace proof
