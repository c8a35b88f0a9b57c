#include "worldlink/server_answers.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <climits>

namespace worldlink {

using nlohmann::json;

namespace {

// A run id longer than this is no database's row number.
constexpr std::size_t kMaxRunIdLength = 19;
constexpr std::size_t kMaxTokenLength = 128;

json parsed(const std::string& body) { return json::parse(body, nullptr, false); }

bool readInt(const json& object, const char* key, int& out) {
    auto found = object.find(key);
    if (found == object.end() || !found->is_number_integer()) return false;
    const auto value = found->get<long long>();
    if (value < 0 || value > INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

bool readString(const json& object, const char* key, std::string& out) {
    auto found = object.find(key);
    if (found == object.end() || !found->is_string()) return false;
    out = found->get<std::string>();
    return true;
}

std::optional<world::WorldEntry> readEntry(const json& item) {
    if (!item.is_object()) return std::nullopt;
    world::WorldEntry entry;
    auto live = item.find("live");
    if (!readInt(item, "rank", entry.rank) || entry.rank < 1 || !readString(item, "player", entry.player) ||
        !readInt(item, "score", entry.score) || !readInt(item, "distance", entry.distance) ||
        !readInt(item, "frames", entry.frames) || live == item.end() || !live->is_boolean() ||
        !readString(item, "run_id", entry.runId) || !isRunId(entry.runId)) {
        return std::nullopt;
    }
    entry.live = live->get<bool>();
    return entry;
}

std::optional<std::vector<world::WorldEntry>> readEntries(const json& answer) {
    if (!answer.is_object()) return std::nullopt;
    auto list = answer.find("entries");
    if (list == answer.end() || !list->is_array()) return std::nullopt;
    std::vector<world::WorldEntry> entries;
    for (const auto& item : *list) {
        auto entry = readEntry(item);
        if (!entry) return std::nullopt;
        entries.push_back(*entry);
    }
    return entries;
}

}  // namespace

bool isRunId(const std::string& text) {
    return !text.empty() && text.size() <= kMaxRunIdLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::vector<world::WorldEntry>> readStageTable(const std::string& body) {
    auto entries = readEntries(parsed(body));
    if (!entries) return std::nullopt;
    // Best first, as the server ranks them; a table out of order is not one.
    for (std::size_t i = 1; i < entries->size(); ++i) {
        if ((*entries)[i].rank < (*entries)[i - 1].rank) return std::nullopt;
    }
    return entries;
}

std::optional<AroundAnswer> readAround(const std::string& body) {
    const json answer = parsed(body);
    AroundAnswer around;
    auto entries = readEntries(answer);
    if (!entries || !readInt(answer, "rank", around.rank)) return std::nullopt;
    around.entries = std::move(*entries);
    return around;
}

std::optional<std::string> readStartToken(const std::string& body, int stage) {
    const json answer = parsed(body);
    if (!answer.is_object()) return std::nullopt;
    std::string token;
    int answeredStage = -1;
    if (!readString(answer, "token", token) || !readInt(answer, "stage", answeredStage) || answeredStage != stage ||
        token.empty() || token.size() > kMaxTokenLength ||
        !std::all_of(token.begin(), token.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); })) {
        return std::nullopt;
    }
    return token;
}

std::optional<std::string> readAcceptedRunId(const std::string& body) {
    const json answer = parsed(body);
    if (!answer.is_object()) return std::nullopt;
    auto run = answer.find("run");
    std::string id;
    if (run == answer.end() || !run->is_object() || !readString(*run, "id", id) || !isRunId(id)) return std::nullopt;
    return id;
}

std::optional<std::string> readRegisteredName(const std::string& body) {
    const json answer = parsed(body);
    if (!answer.is_object()) return std::nullopt;
    auto player = answer.find("player");
    std::string name;
    if (player == answer.end() || !player->is_object() || !readString(*player, "name", name) || name.empty()) {
        return std::nullopt;
    }
    return name;
}

std::string refusalMessage(long status, const std::string& body) {
    const json answer = parsed(body);
    std::string message;
    if (answer.is_object() && readString(answer, "error", message) && !message.empty()) {
        // One line, as short as a screen line can hold a few of.
        std::replace(message.begin(), message.end(), '\n', ' ');
        if (message.size() > 200) message.resize(200);
        return message;
    }
    return "HTTP " + std::to_string(status);
}

}  // namespace worldlink
