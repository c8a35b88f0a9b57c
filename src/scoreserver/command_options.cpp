#include "scoreserver/command_options.h"

#include <unistd.h>

#include <climits>
#include <filesystem>

namespace scoreserver {

long ParsedOptions::number(const std::string& name, long fallback, long low, long high) const {
    auto found = values.find(name);
    if (found == values.end()) return fallback;
    std::size_t used = 0;
    long value = 0;
    try {
        value = std::stol(found->second, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != found->second.size() || value < low || value > high) {
        throw UsageError("--" + name + " takes a number from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return value;
}

ParsedOptions parseOptions(int argc, char** argv, int first, const std::set<std::string>& known) {
    ParsedOptions out;
    for (int i = first; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            out.positional.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        if (!known.count(name)) throw UsageError("unknown option " + arg);
        if (i + 1 >= argc) throw UsageError(arg + " needs a value");
        if (!out.values.emplace(name, argv[++i]).second) throw UsageError(arg + " is given twice");
    }
    return out;
}

std::string defaultVerifierPath() {
    char self[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        self[length] = '\0';
        const auto directory = std::filesystem::path(self).parent_path();
        // A build keeps both programs in one directory; an install keeps the
        // verifier with the game, in games/ beside bin/.
        for (const auto& candidate : {directory / "kvr2013-verify", directory.parent_path() / "games" / "kvr2013-verify"}) {
            std::error_code ec;
            if (std::filesystem::exists(candidate, ec)) return candidate.string();
        }
    }
    return "kvr2013-verify";
}

}  // namespace scoreserver
