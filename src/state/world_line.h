// The one quiet line the screens show of the world: where the player stands
// on a stage ("WORLD #12 OF 340  BEST 99500 ACE"), "WORLD: OFFLINE" when the
// last exchange failed, and nothing while ONLINE is off or no server is set.
#pragma once

#include <optional>
#include <string>

#include "world/world_service.h"

std::string worldStandingLine(world::Reach reach, const std::optional<world::WorldStanding>& standing);

// How the world table and the theatre name an entry: "#3 ACE".
std::string worldEntryLabel(const world::WorldEntry& entry);
