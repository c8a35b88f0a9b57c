// A stand-in for the game at the moment a run has set a new record: in the
// directory given, it saves the record (replay and "config.ini") over and
// over, alternating between an old and a new recording, until it is killed.
// Before the first save it writes the exact bytes each version must have to
// expected_old.bin/.ini and expected_new.bin/.ini, and after the first pair
// of saves it prints "ready" on stdout. With "once" it saves the new record
// a single time and exits, for watching the system calls of one save.
//   proof_save_driver DIR [once]
#include <unistd.h>

#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "config/config_parser.h"
#include "config/player_files.h"
#include "gamecore/record_saver.h"
#include "kiln2/kiln2.h"
#include "recorded_runs.h"

namespace {

struct Version {
    std::unique_ptr<Keypad> keypad;
    int score;
    const char* name;
};

// Saves version's record the way the end of a run does, into the data
// directory dir: the loaded settings, then the replay and the hi-scores.
void saveRecord(Version& version, const std::string& dir) {
    setPlayerDataDir(dir, true);
    ConfigParser config;
    config.set("HI_SCORE1", "0");
    config.set("HI_SCORE2", "120");
    config.set("HI_SCORE3", "0");
    config.set("HI_SCORE4", "77");
    config.set("MODE", "0");
    std::array<int, 4> hiScores{0, 120, 0, 77};
    saveNewRecord(*version.keypad, config, hiScores, 0, version.score);
}

}  // namespace

int main(int argc, char** argv) {
    const bool once = argc == 3 && std::string(argv[2]) == "once";
    if (argc != 2 && !once) {
        std::fprintf(stderr, "usage: proof_save_driver DIR [once]\n");
        return 2;
    }
    try {
        std::filesystem::current_path(argv[1]);
        Kiln_useHeadlessBackend(
            {.readResourceFiles = false, .writeRunLog = false, .logToStderr = true, .recordDrawCalls = false});
        Kiln_init("KVR2013", 640, 480, false, false);
        Version versions[2] = {
            {proof::recordRun(proof::OLD_RUN_FRAMES, 10), proof::OLD_RUN_SCORE, "old"},
            {proof::recordRun(proof::NEW_RUN_FRAMES, 14), proof::NEW_RUN_SCORE, "new"},
        };
        if (once) {
            saveRecord(versions[1], "");
            Kiln_quit();  // the framework's textures must go before its backend does
            return 0;
        }
        for (Version& version : versions) {
            const std::string base = std::string("expected_") + version.name;
            saveRecord(version, base);
            std::filesystem::rename(base + "/replay/replay_00.bin", base + ".bin");
            std::filesystem::rename(base + "/config.ini", base + ".ini");
            std::filesystem::remove_all(base);
        }
        for (long long round = 0;; ++round) {
            saveRecord(versions[round % 2], "");
            if (round == 1) {
                std::printf("ready\n");
                std::fflush(stdout);
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "proof_save_driver: %s\n", e.what());
        return 1;
    }
}
