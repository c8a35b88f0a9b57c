// The fault tests' helpers; see proof_support.h.
#include "proof_support.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "kiln2/headless.h"
#include "kiln2/kiln2.h"

namespace proof {

ScratchDir::ScratchDir() {
    previous_ = std::filesystem::current_path();
    char pattern[] = "/tmp/kvr-proof-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    std::filesystem::current_path(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + file);
}

bool fileExists(const std::string& file) {
    std::error_code ignored;
    return std::filesystem::exists(file, ignored);
}

std::vector<std::string> filesEndingWith(const std::filesystem::path& dir, const std::string& suffix) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

ChildResult runInChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::close(pipeFds[0]);
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::close(pipeFds[1]);
        int status = 99;
        try {
            status = body();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child: escaped: %s\n", e.what());
        }
        std::fflush(nullptr);
        // No atexit handlers or static destructors of the test program in the child.
        ::_exit(status);
    }
    ::close(pipeFds[1]);
    ChildResult result;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        result.output.append(buffer, static_cast<size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

void startHeadlessFramework(bool readResourceFiles) {
    Kiln_useHeadlessBackend({.readResourceFiles = readResourceFiles,
                             .writeRunLog = false,
                             .logToStderr = true,
                             .recordDrawCalls = false});
    Kiln_init("KVR2013", 640, 480, false, false);
}

void stopHeadlessFramework() {
    Kiln_quit();
    kiln_headless::reset();
}

void linkRepositoryResources() {
    std::filesystem::create_directory_symlink(std::filesystem::path(KVR_SOURCE_DIR) / "resource", "resource");
}

void copyRepositoryResources(const std::filesystem::path& dir) {
    std::filesystem::copy(std::filesystem::path(KVR_SOURCE_DIR) / "resource", dir / "resource",
                          std::filesystem::copy_options::recursive);
}

int countLinesContaining(const std::string& text, const std::string& needle) {
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        if (line.find(needle) != std::string::npos) ++count;
    }
    return count;
}

bool mountPrivateTmpfs(const std::filesystem::path& dir, const char* size) {
    if (::unshare(CLONE_NEWNS) != 0) return false;
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    std::filesystem::create_directories(dir);
    return ::mount("tmpfs", dir.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
}

}  // namespace proof
