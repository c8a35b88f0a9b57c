// The sounds of the game: five effects, the results jingle and the looped
// flight music, each as finished 16-bit mono samples at kSampleRate.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

using Samples = std::vector<std::int16_t>;

Samples makeItemGetSound();  // bright rising chime
Samples makeMissSound();     // harsh falling buzz
Samples makeBreakSound();    // noise explosion
Samples makeUpSound();       // short thrust blip
Samples makeBarrierSound();  // shimmering hum that rises
Samples makeResultsJingle(); // played once on the results screen
Samples makeFlightMusic();   // looped during play; the loop is the whole piece

} // namespace assetgen
