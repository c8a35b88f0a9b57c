// The search for the pictures and sounds; see resource_search.h.
#include "boot/resource_search.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

bool holdsFont(const fs::path& dir) {
    std::error_code error;
    return fs::is_regular_file(dir / kResourceMarker, error);
}

bool sameDirectory(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

}  // namespace

ResourceSearch findResources(const ResourceSearchInput& input) {
    ResourceSearch search;
    const fs::path workingResources = input.workingDir / "resource";
    fs::path installed;
    if (!input.optionDir.empty()) search.searched.push_back((input.workingDir / input.optionDir).lexically_normal());
    if (!input.executable.empty()) {
        const fs::path prefix = input.executable.parent_path().parent_path();
        installed = (prefix / "share" / "kvr2013" / "resource").lexically_normal();
        search.searched.push_back(installed);
        search.searched.push_back((prefix / "resource").lexically_normal());
    }
    search.searched.push_back(workingResources.lexically_normal());

    for (const fs::path& place : search.searched) {
        if (!holdsFont(place)) continue;
        search.dir = place;
        // An installed game keeps the player's files in the player's home,
        // even when started from inside its own data directory.
        search.inWorkingDir = place != installed && sameDirectory(place, workingResources);
        break;
    }
    return search;
}

std::string resourcesNotFoundMessage(const ResourceSearch& search) {
    std::string text = "kvr2013: cannot find the game's pictures and sounds (a directory holding ";
    text += kResourceMarker;
    text += "); looked in:\n";
    for (const fs::path& place : search.searched) text += "  " + place.string() + "\n";
    text +=
        "Start it with --resources DIR naming the game's resource directory, or install it\n"
        "(cmake --install BUILD --prefix PREFIX, or the kvr2013 package).\n";
    return text;
}
