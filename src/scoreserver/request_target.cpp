#include "scoreserver/request_target.h"

#include <sstream>

#include "scoreproto/replay_shape.h"

namespace scoreserver {

RequestTarget parseRequestTarget(const std::string& target) {
    RequestTarget out;
    auto mark = target.find('?');
    out.path = target.substr(0, mark);
    out.query = mark == std::string::npos ? std::string() : target.substr(mark + 1);
    std::stringstream in(out.path);
    std::string part;
    while (std::getline(in, part, '/')) {
        if (!part.empty()) out.segments.push_back(part);
    }
    return out;
}

std::string queryValue(const std::string& query, const std::string& name) {
    std::stringstream in(query);
    std::string pair;
    while (std::getline(in, pair, '&')) {
        auto eq = pair.find('=');
        if (pair.substr(0, eq) == name) return eq == std::string::npos ? std::string() : pair.substr(eq + 1);
    }
    return {};
}

bool parseCount(const std::string& text, std::int64_t& value) {
    if (text.empty() || text.size() > 12) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool parseStageNumber(const std::string& text, int& stage) {
    std::int64_t value = 0;
    if (!parseCount(text, value) || !scoreproto::isValidStage(static_cast<long>(value))) return false;
    stage = static_cast<int>(value);
    return true;
}

}  // namespace scoreserver
