// Keeping a new best run on disk; see record_saver.h.
#include "gamecore/record_saver.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "config/player_files.h"
#include "kiln2/kiln2.h"

namespace {

const char* const HI_SCORE_KEYS[4] = {"HI_SCORE1", "HI_SCORE2", "HI_SCORE3", "HI_SCORE4"};

void saveReplay(Keypad& keypad, const std::string& replayFile) {
    const std::filesystem::path directory = std::filesystem::path(replayFile).parent_path();
    if (!directory.empty()) {
        // A failure here shows up as the save's own error just below.
        std::error_code ignored;
        std::filesystem::create_directories(directory, ignored);
    }
    try {
        keypad.save(replayFile);
    } catch (const std::exception& e) {
        Kiln_log("Could not save the replay: %s\n", e.what());
    }
}

}  // namespace

void saveNewRecord(Keypad& keypad, ConfigParser& config, std::array<int, 4>& hiScores, int stage, int score) {
    if (playerFilesWritable()) saveReplay(keypad, stageReplayFile(stage));
    hiScores[stage] = score;
    for (int i = 0; i < 4; ++i) config.setInt(HI_SCORE_KEYS[i], hiScores[i]);
    try {
        savePlayerConfig(config);
    } catch (const std::exception& e) {
        Kiln_log("Could not save the hi-score: %s\n", e.what());
    }
}
