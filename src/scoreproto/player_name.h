// Player names on the world table: what the game's bitmap font can draw in
// the space a table row gives a name, unique without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace scoreproto {

inline constexpr std::size_t kMaxPlayerNameLength = 12;

bool isValidPlayerName(std::string_view name);  // 1..12 of [A-Za-z0-9.-]
std::string nameKey(std::string_view name);     // lower-cased, for uniqueness without case

}  // namespace scoreproto
