// Making the player's data directory ready: created when missing, private to
// the player (mode 0700, as the XDG rules ask), and proven writable by
// making and removing one file, so a directory the game cannot use is known
// before the first save instead of at it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "boot/data_dir.h"

namespace fs = std::filesystem;

namespace {

// Creates each missing level of dir, outermost first. "" on success, else
// the system's reason.
std::string makeDirectories(const fs::path& dir) {
    fs::path level;
    for (const fs::path& part : dir) {
        level /= part;
        if (::mkdir(level.c_str(), 0700) == 0 || errno == EEXIST) continue;
        return std::strerror(errno);
    }
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0) return std::strerror(errno);
    if (!S_ISDIR(info.st_mode)) return std::strerror(ENOTDIR);
    return "";
}

std::string tryWritingAFile(const fs::path& dir) {
    std::string name = (dir / ".kvr2013-write-test-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return std::strerror(errno);
    ::close(fd);
    ::unlink(name.c_str());
    return "";
}

}  // namespace

DataDirAccess prepareDataDir(const fs::path& dir) {
    if (dir.empty()) return {false, "no home directory is known (HOME is not set)"};
    std::string reason = makeDirectories(dir);
    if (reason.empty()) reason = tryWritingAFile(dir);
    return {reason.empty(), reason};
}

std::string dataDirProblemLine(const DataDirChoice& choice, const DataDirAccess& access) {
    if (access.writable) return "";
    const std::string problem = choice.dir.empty() ? "has no directory for the player's files"
                                                   : "cannot write the player's files in " + choice.dir.string();
    return "kvr2013: " + problem + " (" + access.reason + "); hi-scores are kept for this session only\n";
}
