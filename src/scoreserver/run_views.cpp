#include "scoreserver/run_views.h"

#include <nlohmann/json.hpp>

#include <ctime>

namespace scoreserver {

using nlohmann::json;

namespace {

json runObject(const scoredb::StoredRun& run) {
    return {{"id", std::to_string(run.id)},
            {"player", run.player},
            {"stage", run.stage},
            {"score", run.score},
            {"distance", run.distance},
            {"frames", run.frames},
            {"result", run.result},
            {"live", run.live},
            {"date", isoDate(run.submittedMs)},
            {"line", run.line},
            {"trace_sha256", run.traceSha256}};
}

json entryObject(const scoredb::RankedRun& entry) {
    const auto& run = entry.run;
    return {{"rank", entry.rank},
            {"player", run.player},
            {"score", run.score},
            {"distance", run.distance},
            {"frames", run.frames},
            {"result", run.result},
            {"live", run.live},
            {"date", isoDate(run.submittedMs)},
            {"run_id", std::to_string(run.id)}};
}

json entries(const std::vector<scoredb::RankedRun>& ranked) {
    json list = json::array();
    for (const auto& entry : ranked) list.push_back(entryObject(entry));
    return list;
}

}  // namespace

std::string isoDate(std::int64_t unixMillis) {
    std::time_t seconds = static_cast<std::time_t>(unixMillis / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string runJson(const scoredb::StoredRun& run) { return json{{"run", runObject(run)}}.dump(); }

std::string stageTableJson(int stage, std::int64_t limit, std::int64_t offset,
                           const std::vector<scoredb::RankedRun>& ranked) {
    return json{{"stage", stage}, {"limit", limit}, {"offset", offset}, {"entries", entries(ranked)}}.dump();
}

std::string aroundJson(int stage, const std::string& player, const std::vector<scoredb::RankedRun>& ranked) {
    std::int64_t rank = 0;
    for (const auto& entry : ranked) {
        if (entry.run.player == player) rank = entry.rank;
    }
    return json{{"stage", stage}, {"player", player}, {"rank", rank}, {"entries", entries(ranked)}}.dump();
}

std::string playerJson(const scoredb::Player& player) {
    return json{{"player", {{"name", player.name}, {"public_key", player.publicKey}}}}.dump();
}

std::string tokenJson(const std::string& token, int stage) { return json{{"token", token}, {"stage", stage}}.dump(); }

std::string errorJson(const std::string& message) { return json{{"error", message}}.dump(); }

std::string copyJson(std::int64_t runId) {
    return json{{"error", "this run is already on the table as another player's entry"},
                {"run_id", std::to_string(runId)}}
        .dump();
}

bool parseRegistration(const std::string& body, std::string& name, std::string& publicKey) {
    json parsed = json::parse(body, nullptr, false);
    if (!parsed.is_object()) return false;
    auto n = parsed.find("name");
    auto k = parsed.find("public_key");
    if (n == parsed.end() || k == parsed.end() || !n->is_string() || !k->is_string()) return false;
    name = n->get<std::string>();
    publicKey = k->get<std::string>();
    return true;
}

bool parseStage(const std::string& body, long& stage) {
    json parsed = json::parse(body, nullptr, false);
    if (!parsed.is_object()) return false;
    auto s = parsed.find("stage");
    if (s == parsed.end() || !s->is_number_integer()) return false;
    stage = s->get<long>();
    return true;
}

}  // namespace scoreserver
