// Extra controller mappings, the lines of a "gamecontrollerdb.txt" or of the
// environment: checked one by one, so a damaged line costs only itself.
#include <cctype>
#include <sstream>

#include "kiln2/backend.h"
#include "kiln2/controllers.h"

namespace {

// Real mapping lines stay under a few hundred characters; anything far longer is not one.
constexpr size_t kLongestMappingLine = 2048;
constexpr size_t kGuidDigits = 32;

std::string trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool isGuid(const std::string& field) {
    if (field.size() != kGuidDigits) return false;
    for (char c : field) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// What a damaged line looks like in the log: short, and only printable characters.
std::string shownField(const std::string& field) {
    std::string shown;
    for (char c : field.substr(0, 40)) shown += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    return field.size() > 40 ? shown + "..." : shown;
}

}  // namespace

std::string kilnMappingLineProblem(const std::string& line) {
    if (line.size() > kLongestMappingLine) return "longer than any mapping";
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, ',');) fields.push_back(field);
    if (fields.empty() || !isGuid(fields[0])) return "it does not start with a 32-digit GUID";
    if (fields.size() < 2 || trimmed(fields[1]).empty()) return "no controller name after the GUID";
    int bindings = 0;
    for (size_t i = 2; i < fields.size(); ++i) {
        const std::string binding = trimmed(fields[i]);
        if (binding.empty()) continue;
        const size_t colon = binding.find(':');
        if (colon == 0 || colon == std::string::npos || colon + 1 == binding.size()) {
            return "'" + shownField(binding) + "' is not a key:value binding";
        }
        ++bindings;
    }
    if (bindings == 0) return "no bindings after the name";
    return "";
}

int kilnAddControllerMappings(KilnJoystickDevices& devices, const std::string& text, const std::string& source) {
    int added = 0;
    int lineNumber = 0;
    std::istringstream lines(text);
    for (std::string raw; std::getline(lines, raw);) {
        ++lineNumber;
        const std::string line = trimmed(raw);
        if (line.empty() || line[0] == '#') continue;
        std::string problem = kilnMappingLineProblem(line);
        if (problem.empty() && !devices.addMapping(line, problem) && problem.empty()) problem = "refused";
        if (problem.empty()) {
            ++added;
        } else {
            Kiln_log("Controller mappings: %s line %d skipped: %s\n", source.c_str(), lineNumber, problem.c_str());
        }
    }
    return added;
}
