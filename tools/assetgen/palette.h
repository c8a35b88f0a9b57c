// Colours shared by the pictures: the play field's own colours (craft, trail,
// walls, items, enemies) so the art matches what the player sees in a run.
#pragma once

#include "canvas.h"

namespace assetgen::palette {

inline constexpr Rgb kCraft{160, 160, 255};
inline constexpr Rgb kTrail{64, 64, 255};
inline constexpr Rgb kSpark{128, 128, 255};
inline constexpr Rgb kWall{64, 255, 64};
inline constexpr Rgb kItem{243, 213, 26};
inline constexpr Rgb kEnemy{243, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

// Panel colours of the logo and the pause menu.
inline constexpr Rgb kNight{12, 14, 40};
inline constexpr Rgb kNightLow{28, 18, 66};
inline constexpr Rgb kPanelEdge{120, 200, 255};
inline constexpr Rgb kPanelEdgeDark{30, 60, 120};

} // namespace assetgen::palette
