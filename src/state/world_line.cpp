// The world's line on the title and the names of its entries; see world_line.h.
#include "state/world_line.h"

std::string worldStandingLine(world::Reach reach, const std::optional<world::WorldStanding>& standing) {
    if (reach == world::Reach::Offline) return "WORLD: OFFLINE";
    // Joining, or online before the stage's first answer: nothing yet rather than a guess.
    if (reach == world::Reach::Off || reach == world::Reach::NoServer || !standing) return "";
    if (standing->entries == 0) return "WORLD: NO RUNS YET";
    // A player without an entry on the stage is not ranked, but still sees the field.
    const std::string place = standing->rank > 0 ? "#" + std::to_string(standing->rank) : "UNRANKED";
    return "WORLD " + place + " OF " + std::to_string(standing->entries) + "  BEST " +
           std::to_string(standing->bestScore) + " " + standing->bestPlayer;
}

std::string worldEntryLabel(const world::WorldEntry& entry) {
    return "#" + std::to_string(entry.rank) + " " + entry.player;
}
