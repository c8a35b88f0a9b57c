// Where the game's pictures and sounds are. The places are searched in a
// fixed order and the first that holds the font is used: "--resources DIR";
// the installed data directory beside the program (<prefix>/share/kvr2013/
// resource for <prefix>/bin/kvr2013); resource/ in the directory above the
// program (a build tree inside a checkout); ./resource. Everything the
// search depends on is passed in, so it can be tested without installing.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ResourceSearchInput {
    std::string optionDir;             // "--resources DIR" as typed; "" when not given
    std::filesystem::path executable;  // the running program's own absolute path; empty when unknown
    std::filesystem::path workingDir;  // absolute
};

struct ResourceSearch {
    std::vector<std::filesystem::path> searched;  // every place looked at, in order
    std::filesystem::path dir;                    // the first that holds the font; empty when none does
    // True when dir is the working directory's resource/ (played from a
    // checkout): the player's files then stay in the working directory.
    bool inWorkingDir = false;

    bool found() const { return !dir.empty(); }
};

// The file whose presence marks a resource directory.
inline constexpr const char* kResourceMarker = "font/font.bmp";

ResourceSearch findResources(const ResourceSearchInput& input);

// The message for a search that found nothing: every place searched and how
// to put it right. Several lines, each ending in a line feed.
std::string resourcesNotFoundMessage(const ResourceSearch& search);
