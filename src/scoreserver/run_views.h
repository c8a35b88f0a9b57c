// The JSON forms of the score table's entries, as the API and its clients
// see them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scoredb/score_store.h"

namespace scoreserver {

std::string isoDate(std::int64_t unixMillis);  // 2026-12-10T00:15:06Z
std::string runJson(const scoredb::StoredRun& run);  // {"run": RUN}
std::string stageTableJson(int stage, std::int64_t limit, std::int64_t offset,
                           const std::vector<scoredb::RankedRun>& entries);
std::string aroundJson(int stage, const std::string& player, const std::vector<scoredb::RankedRun>& entries);
std::string playerJson(const scoredb::Player& player);
std::string tokenJson(const std::string& token, int stage);
std::string errorJson(const std::string& message);
std::string copyJson(std::int64_t runId);
// The name as given in a JSON body, or "" when the body is not such an object.
bool parseRegistration(const std::string& body, std::string& name, std::string& publicKey);
bool parseStage(const std::string& body, long& stage);

}  // namespace scoreserver
