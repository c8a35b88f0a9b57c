// Reading the score server's JSON answers without trusting them: a body
// that is not JSON, a field of the wrong type or out of range, or a missing
// field makes the whole answer unreadable (nothing), never an exception.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "world/world_service.h"

namespace worldlink {

// GET /api/v1/stages/S/scores: the entries, best first.
std::optional<std::vector<world::WorldEntry>> readStageTable(const std::string& body);

// GET /api/v1/stages/S/scores/around/NAME: the player's rank and the entries around it.
struct AroundAnswer {
    int rank = 0;
    std::vector<world::WorldEntry> entries;
};
std::optional<AroundAnswer> readAround(const std::string& body);

// POST /api/v1/runs/start: the token, when it is for the stage asked.
std::optional<std::string> readStartToken(const std::string& body, int stage);

// POST /api/v1/runs: the id of the run the server now holds.
std::optional<std::string> readAcceptedRunId(const std::string& body);

// POST /api/v1/players: the registered name.
std::optional<std::string> readRegisteredName(const std::string& body);

// A refusal's {"error": message}, or "HTTP <status>" when it has none.
std::string refusalMessage(long status, const std::string& body);

// A run id the server gives: decimal digits only, so it can name a file.
bool isRunId(const std::string& text);

}  // namespace worldlink
