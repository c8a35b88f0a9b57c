// Replays that test the file rather than the flight: an empty file, and a
// file whose last record is cut short. The torn one is a real recording cut
// with UP held, so what its replay does after the recording runs out shows
// whether the torn record was dropped (UP stays held) or read (all released).
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "case_flights.h"
#include "flight_hands.h"

namespace corpusgen {

namespace {

constexpr int RECORD_BYTES = 24;
// What is left of the last record: more than half of it, less than all.
constexpr int TORN_RECORD_BYTES = 13;

}  // namespace

std::vector<Attempt> fileAttempts(const std::string& caseName, int stage) {
    if (caseName == "empty") {
        return {{"no bytes", [](const std::string& file) {
                     std::ofstream out(file, std::ios::binary | std::ios::trunc);
                     if (!out) throw std::runtime_error("cannot write " + file);
                 }}};
    }
    if (caseName != "torn_last_record") return {};
    std::vector<Attempt> attempts;
    for (unsigned seed : {0u, 1u, 2u, 3u}) {
        attempts.push_back({"pilot seed " + std::to_string(seed), [stage, seed](const std::string& file) {
                                const PilotHands pilot(seed, false);
                                // 200 steps of the pilot, then UP for the last four recorded steps.
                                flyAndRecord(
                                    stage,
                                    [pilot](const corpus::CorpusWatch& game) -> std::optional<StepKeys> {
                                        const int step = nextStep(game);
                                        if (step > 204) return std::nullopt;
                                        if (step > 200) return StepKeys{.up = true};
                                        return pilot.keys(game);
                                    },
                                    file);
                                const auto size = std::filesystem::file_size(file);
                                std::filesystem::resize_file(file, size - RECORD_BYTES + TORN_RECORD_BYTES);
                            }});
    }
    return attempts;
}

}  // namespace corpusgen
