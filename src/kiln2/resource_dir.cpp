// Where the files named "resource/..." are read from: the game names its
// pictures and sounds the same way wherever it is installed, and start-up
// tells the framework which directory that prefix stands for.
#include <string_view>

#include "kiln2/kiln_state.h"

namespace {

constexpr std::string_view kResourcePrefix = "resource/";

}  // namespace

void Kiln_setResourceDir(const std::string& dir) { kilnState().resourceDir = dir; }

std::string Kiln_resourcePath(const std::string& file) {
    const std::string& dir = kilnState().resourceDir;
    if (dir.empty() || file.compare(0, kResourcePrefix.size(), kResourcePrefix) != 0) return file;
    std::string path = dir;
    if (path.back() != '/') path += '/';
    path.append(file, kResourcePrefix.size());
    return path;
}
