// The deterministic random generator: a draw hashes (seed, index) and moves
// the index on, so a stage seeded with its fixed pair builds the same course
// on every run and every machine. Each run owns its generator's two words;
// a scope makes one of them the active one.
#include "kiln2/random.h"

#include <cstdint>

#include "kiln2/kiln_state.h"

namespace {

constexpr uint32_t kC1[4] = {0xBAA96887u, 0x1E17D32Cu, 0x03BCDC3Cu, 0x0F33D1B2u};
constexpr uint32_t kC2[4] = {0x4B0F3B58u, 0xE874F0C3u, 0x6955C5A6u, 0x55A7CA46u};

KilnRandom& activeRandom() {
    KilnState& state = kilnState();
    return state.activeRandom != nullptr ? *state.activeRandom : state.random;
}

}  // namespace

void kilnPsdes(uint32_t& lword, uint32_t& irword) {
    for (int i = 0; i < 4; ++i) {
        const uint32_t swap = irword;
        const uint32_t a = irword ^ kC1[i];
        const uint32_t lo = a & 0xFFFFu;
        const uint32_t hi = a >> 16;
        const uint32_t b = lo * lo + ~(hi * hi);
        const uint32_t rotated = (b >> 16) | (b << 16);
        irword = lword ^ ((rotated ^ kC2[i]) + lo * hi);
        lword = swap;
    }
}

KilnRandomScope::KilnRandomScope(KilnRandom& generator) : previous_(kilnState().activeRandom) {
    kilnState().activeRandom = &generator;
}

KilnRandomScope::~KilnRandomScope() { kilnState().activeRandom = previous_; }

void Kiln_srand(uint32_t seed, uint32_t index) {
    KilnRandom& generator = activeRandom();
    generator.seed = seed;
    generator.index = index;
}

int Kiln_rand(int min, int max) {
    const int64_t span = static_cast<int64_t>(max) - static_cast<int64_t>(min);
    if (span < 1) return -1;
    KilnRandom& generator = activeRandom();
    uint32_t lword = generator.seed;
    uint32_t irword = generator.index;
    generator.index += 1;
    kilnPsdes(lword, irword);
    return static_cast<int>(static_cast<int64_t>(min) + irword % static_cast<uint32_t>(span));
}

uint32_t Kiln_getRandIndex() { return activeRandom().index; }
