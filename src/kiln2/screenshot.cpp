// F12: the picture as the next numbered PNG of the screenshot directory.
// Here is the numbering; the backend reads the picture and writes the file.
// The picture is the 640x480 the scenes drew, whatever the window's size.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "durable_file/durable_file.h"
#include "kiln2/kiln_state.h"

namespace {

// Enough for years of F12; past it nothing more is saved rather than anything replaced.
constexpr int kMostScreenshots = 99999;

std::string numberedFile(const std::string& dir, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "kilnshot-%04d.png", number);
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// The first free number, claimed by creating its file exclusively: an
// earlier picture is never written over, not even by a second copy of the
// game pressing F12 at the same moment. "" when none can be claimed.
std::string claimFirstFreeFile(const std::string& dir) {
    for (int number = 1; number <= kMostScreenshots; ++number) {
        const std::string file = numberedFile(dir, number);
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return file;
        }
        if (errno != EEXIST) return "";
    }
    return "";
}

}  // namespace

void Kiln_setScreenshotDir(const std::string& dir) { kilnState().screenshotDir = dir; }

std::string Kiln_screenshot() {
    const KilnState& state = kilnState();
    if (state.screenshotDir.empty()) return "";
    std::error_code ignored;
    std::filesystem::create_directories(state.screenshotDir, ignored);
    const std::string file = claimFirstFreeFile(state.screenshotDir);
    if (file.empty()) return "";
    // Written beside the claimed file and renamed over it, so anyone looking
    // finds either no picture yet or a whole one.
    const int error = durable::replaceFileWrittenBy(file, ".part", [](const std::string& part) {
        return kilnBackend().video->saveScreenshot(part, KILN_PICTURE_WIDTH, KILN_PICTURE_HEIGHT);
    });
    if (error == 0) return file;
    std::remove(file.c_str());
    return "";
}
