// The small command-line reader shared by "serve" and "admin": options of
// the form --name VALUE, each known name given at most once.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace scoreserver {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ParsedOptions {
    std::map<std::string, std::string> values;  // without the leading "--"
    std::vector<std::string> positional;
    std::string get(const std::string& name, const std::string& fallback = "") const {
        auto found = values.find(name);
        return found == values.end() ? fallback : found->second;
    }
    bool has(const std::string& name) const { return values.count(name) != 0; }
    long number(const std::string& name, long fallback, long low, long high) const;
};

// Throws UsageError for an unknown option, a missing value or a repeat.
ParsedOptions parseOptions(int argc, char** argv, int first, const std::set<std::string>& known);

// The verifier beside this executable (as in a build), else the installed
// one in ../games (as the package puts it), else the one on PATH.
std::string defaultVerifierPath();

}  // namespace scoreserver
