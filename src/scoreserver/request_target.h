// Reading a request's target: its path segments, its query values and the
// whole decimal numbers the API takes (stages, ids, limits). Anything else
// ("+1", "1e3", " 1", a percent sign) is not a number here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scoreserver {

struct RequestTarget {
    std::string path;
    std::string query;
    std::vector<std::string> segments;  // the path's non-empty parts
};

RequestTarget parseRequestTarget(const std::string& target);
// The value of the first name=value pair of that name; "" when absent.
std::string queryValue(const std::string& query, const std::string& name);
bool parseCount(const std::string& text, std::int64_t& value);  // 0 to 999999999999
bool parseStageNumber(const std::string& text, int& stage);      // 0 to 3

}  // namespace scoreserver
