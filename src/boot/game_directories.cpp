// Reading the process's own facts for the directory rules; see game_directories.h.
#include "boot/game_directories.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

// The home directory of the account running the game, from the user database.
std::string accountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir) {
        return "";
    }
    return found->pw_dir;
}

}  // namespace

GameDirectories findGameDirectories(const CommandLine& line) {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    fs::path workingDir = fs::current_path(error);
    if (error) workingDir = ".";

    GameDirectories directories;
    directories.resources = findResources({line.resourcesDir, executable, workingDir});
    directories.data = chooseDataDir({.optionDir = line.dataDir,
                                      .resourcesInWorkingDir = directories.resources.inWorkingDir,
                                      .workingDir = workingDir,
                                      .xdgDataHome = environment("XDG_DATA_HOME"),
                                      .home = environment("HOME"),
                                      .accountHome = accountHome()});
    return directories;
}
