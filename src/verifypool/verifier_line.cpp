#include "verifypool/verifier_line.h"

#include <regex>
#include <string>

namespace verifypool {

bool readVerifierLine(std::string_view out, VerifyOutcome& outcome) {
    static const std::regex line(
        R"(stage=([0-3]) frames=(\d{1,9}) score=(\d{1,9}) distance=(\d{1,9})m energy=(\d{1,9}) result=(finished|destroyed|limit)\n)");
    std::match_results<std::string_view::const_iterator> m;
    if (!std::regex_match(out.begin(), out.end(), m, line)) return false;
    outcome.line = std::string(out.substr(0, out.size() - 1));
    outcome.stage = std::stoi(m[1].str());
    outcome.frames = std::stoi(m[2].str());
    outcome.score = std::stoi(m[3].str());
    outcome.distance = std::stoi(m[4].str());
    outcome.result = m[6].str();
    return true;
}

}  // namespace verifypool
