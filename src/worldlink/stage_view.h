// What the screens show of one stage, put together from the server's two
// answers: the stage table (best first) and the rows around the player.
#pragma once

#include <optional>
#include <vector>

#include "world/world_service.h"
#include "worldlink/server_answers.h"

namespace worldlink {

struct StageView {
    world::WorldStanding standing;
    world::WorldTable table;
    std::optional<world::WorldEntry> above, best;
    std::optional<world::WorldEntry> own;  // the player's entry, when there is one
};

// around.rank is 0 when the player has no entry on the stage: the entry to
// race next is then the table's lowest.
StageView stageView(const std::vector<world::WorldEntry>& entries, const AroundAnswer& around);

}  // namespace worldlink
