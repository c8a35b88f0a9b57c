// The hash behind the game's random generator, open to the tests.
#pragma once

#include <cstdint>

// Four rounds of the pseudo-DES hash on (lword, irword), both updated in place.
void kilnPsdes(uint32_t& lword, uint32_t& irword);
