// Flies one live run of a stage with the scripted pilot on the headless
// backend, in a scratch directory, and keeps the replay the run saves as its
// new record. When the craft is lost (or left with too little energy to
// take another hit), the run is flown again from the start: the same input
// up to a while before, then a pilot with another seed; the attempt that
// gets furthest is kept. Shared by the
// replay maker and the soak run.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gamecore/game_main.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "pilot.h"

namespace bench {

struct PilotRunResult {
    int frames = 0;  // updates until the results screen
    int score = 0;
    int distanceM = 0;
    bool destroyed = false;
    int hits = 0;      // walls or enemies touched in the kept run
    int attempts = 0;  // runs flown to get it
    // The most objects alive at once, and the most colliders in one frame.
    int maxWalls = 0, maxItems = 0, maxEnemies = 0, maxEffects = 0, maxColliders = 0;
};

namespace detail {

struct Flight {
    std::vector<PilotInput> inputs;
    int firstLoss = -1;  // update index where the craft was lost or nearly, -1 for none
    PilotRunResult result;
};

// One run from the start: inputs[0..keep) as given, then the pilot.
inline Flight fly(const std::vector<PilotInput>& inputs, int keep, unsigned seed, bool stopAtLoss) {
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 0);
    auto game = std::make_unique<GameMain>();
    Pilot pilot(seed);
    Flight flight;
    PilotRunResult& result = flight.result;
    int energyBefore = 0;
    while (game->phase != GameMain::RESULTS && game->phase != GameMain::END) {
        game->update();
        game->draw();
        // A hit: a miss takes half the energy.
        if (game->player.invincibleFrames > 0 && game->player.energy < energyBefore - 1000) ++result.hits;
        energyBefore = game->player.energy;
        // What the search avoids: losing the craft, or so little energy that the next hit leaves none.
        const bool lost = game->player.life == 0 || game->player.energy < 1000;
        if (lost && flight.firstLoss < 0) {
            flight.firstLoss = result.frames;
            if (stopAtLoss) break;
        }
        result.maxWalls = std::max(result.maxWalls, game->liveWalls());
        result.maxItems = std::max(result.maxItems, game->liveItems());
        result.maxEnemies = std::max(result.maxEnemies, game->liveEnemies());
        result.maxEffects = std::max(result.maxEffects, game->liveEffects());
        result.maxColliders = std::max(result.maxColliders, game->colliderCount);
        PilotInput input = pilot.decide(*game);
        if (result.frames < keep) input = inputs[static_cast<size_t>(result.frames)];
        flight.inputs.push_back(input);
        kiln_headless::setKey(KEY_UP, input.up);
        kiln_headless::setKey(KEY_z, input.barrier);
        Kiln_waitFrame(16);
        ++result.frames;
    }
    kiln_headless::releaseAllKeys();
    Kiln_waitFrame(16);
    result.score = game->score;
    result.distanceM = game->scrollPos / SUB_PIXELS / 100 * 10;
    result.destroyed = game->player.life == 0;
    return flight;
}

}  // namespace detail

// The framework must be running on the headless backend. The replay is
// copied to replayOut; the working directory is restored afterwards.
inline PilotRunResult flyPilotRun(int stage, const std::string& replayOut, int maxAttempts = 400) {
    const auto previous = std::filesystem::current_path();
    char pattern[] = "/tmp/kvr-pilot-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    const std::filesystem::path dir = pattern;
    std::filesystem::current_path(dir);
    auto writeConfig = [stage] {
        std::FILE* config = std::fopen("config.ini", "wb");
        std::fprintf(config, "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = %d\n", stage);
        std::fclose(config);
    };

    // Search: keep the input up to a while before the craft was lost, fly the
    // rest with another seed, and back off further each time that fails.
    std::vector<PilotInput> best;
    int bestClear = 0;
    int attempts = 0;
    unsigned seed = 0;
    int backOff = 200;
    for (; attempts < maxAttempts; ++attempts) {
        writeConfig();
        const int keep = std::max(0, bestClear - backOff);
        detail::Flight flight = detail::fly(best, keep, seed, true);
        if (flight.firstLoss < 0) {
            best = flight.inputs;
            break;
        }
        if (flight.firstLoss > bestClear) {
            best = flight.inputs;
            bestClear = flight.firstLoss;
            backOff = 200;
        } else {
            backOff = std::min(backOff + 100, 3000);
        }
        seed = seed * 2654435761u + 97u;
    }
    // The kept input flown whole (past its first hit if the search ran out), saved as the run's record.
    writeConfig();
    std::filesystem::remove_all("replay");
    detail::Flight kept = detail::fly(best, static_cast<int>(best.size()), 0, false);
    kept.result.attempts = attempts + 1;
    char replay[32];
    std::snprintf(replay, sizeof replay, "replay/replay_%02d.bin", stage);
    std::filesystem::copy_file(replay, previous / replayOut, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
    return kept.result;
}

}  // namespace bench
