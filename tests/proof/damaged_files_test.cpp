// Every file the game reads, damaged every way we could think of: missing,
// empty, cut short, oversized, of the wrong type, garbage, unreadable, or a
// directory in its place. The game must say clearly what is wrong, lose no
// saved data, and never crash.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/config_parser.h"
#include "config/game_settings.h"
#include "damage.h"
#include "fmfloader/fmf_loader.h"
#include "gamecore/game_main.h"
#include "kiln2_sdl/real_backend.h"
#include "keypad/mouse_recorder.h"
#include "kiln2/backend.h"
#include "kiln2/headless.h"
#include "kiln2/kiln2.h"
#include "kiln2_sdl/screenshot.h"
#include "proof_support.h"
#include "recorded_runs.h"

namespace fs = std::filesystem;
using proof::Damage;

namespace {

const Damage ALL_DAMAGE[] = {Damage::Missing,  Damage::Empty,   Damage::Truncated,  Damage::Oversized,
                             Damage::WrongType, Damage::Garbage, Damage::Unreadable, Damage::Directory};

const char* const GOOD_CONFIG =
    "HI_SCORE1 = 4321\nHI_SCORE2 = 12\nHI_SCORE3 = 0\nHI_SCORE4 = 99\nMODE = 2\n";

std::string repositoryFile(const std::string& name) { return std::string(KVR_SOURCE_DIR) + "/" + name; }

// The file's bytes, or a note of what is there instead, to compare before and after.
std::string snapshot(const std::string& file) {
    if (fs::is_directory(file)) return "<directory>";
    if (!proof::fileExists(file)) return "<missing>";
    struct stat info {};
    ::stat(file.c_str(), &info);
    if ((info.st_mode & 0777) == 0) return "<mode 000, " + std::to_string(info.st_size) + " bytes>";
    return proof::readFile(file);
}

// ---- "config.ini" ----

struct ConfigOutcome {
    std::vector<std::string> problems;
    GameSettings settings;
};

// What a scene makes of the file: the same two calls the title and the game scene make.
ConfigOutcome readConfigAsTheGameDoes() {
    ConfigParser config;
    ConfigOutcome outcome;
    outcome.problems = loadOrCreateGameConfig(config, "config.ini", 1);
    outcome.settings = readGameSettings(config, outcome.problems);
    return outcome;
}

class DamagedConfig : public ::testing::TestWithParam<Damage> {
protected:
    proof::ScratchDir scratch;
};

TEST_P(DamagedConfig, IsReportedAndNeverOverwrittenUnlessMissing) {
    const Damage damage = GetParam();
    proof::writeFile("config.ini", GOOD_CONFIG);
    proof::damageFile("config.ini", damage, repositoryFile("resource/image/tama.bmp"));
    const std::string before = snapshot("config.ini");

    ConfigOutcome outcome;
    if (damage == Damage::Unreadable) {
        std::string output;
        const int status = proof::runAsOrdinaryUser(
            [] {
                ConfigOutcome seen = readConfigAsTheGameDoes();
                for (const std::string& line : seen.problems) std::printf("problem: %s\n", line.c_str());
                return seen.settings.stage;
            },
            &output);
        ASSERT_GE(status, 0) << "could not become an ordinary user";
        outcome.settings.stage = status;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("problem: ", 0) == 0) outcome.problems.push_back(line);
        }
        EXPECT_EQ(proof::countLinesContaining(output, "Permission denied"), 1) << output;
    } else {
        outcome = readConfigAsTheGameDoes();
    }
    const std::string after = snapshot("config.ini");
    for (const std::string& line : outcome.problems) {
        std::printf("[config.ini, %s] %s\n", proof::damageName(damage), line.c_str());
    }

    EXPECT_GE(outcome.settings.stage, 0);
    EXPECT_LE(outcome.settings.stage, 3);
    switch (damage) {
        case Damage::Missing:
            // The normal first start: recreated quietly with the game scene's defaults.
            EXPECT_TRUE(outcome.problems.empty());
            EXPECT_EQ(after, "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 1\n");
            break;
        case Damage::Oversized:
            // Trailing bytes without an equals sign are not settings.
            EXPECT_TRUE(outcome.problems.empty());
            EXPECT_EQ(outcome.settings.hiScores[0], 4321);
            EXPECT_EQ(outcome.settings.stage, 2);
            EXPECT_EQ(after, before);
            break;
        case Damage::Truncated:
            EXPECT_EQ(outcome.settings.hiScores[0], 4321);
            EXPECT_FALSE(outcome.problems.empty());
            EXPECT_EQ(after, before);
            break;
        default:
            // Something is wrong and the log says so; the file is left for the player to see.
            EXPECT_FALSE(outcome.problems.empty()) << proof::damageName(damage);
            EXPECT_EQ(after, before) << proof::damageName(damage);
            break;
    }
}

// ---- replay files ----

class DamagedReplay : public ::testing::TestWithParam<Damage> {
protected:
    void SetUp() override {
        proof::startHeadlessFramework(false);
        fs::create_directory("replay");
        proof::recordRun(proof::OLD_RUN_FRAMES, 10)->save("replay/replay_00.bin");
        proof::writeFile("config.ini", "HI_SCORE1 = 3001\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
    }
    void TearDown() override { proof::stopHeadlessFramework(); }

    proof::ScratchDir scratch;
};

TEST_P(DamagedReplay, PlaysWhatItCanOrGoesBackToTheTitleAndChangesNoFile) {
    const Damage damage = GetParam();
    proof::damageFile("replay/replay_00.bin", damage, repositoryFile("resource/sound/up.wav"));
    if (damage == Damage::Unreadable) {
        // Only an ordinary user is kept out of a mode-000 file: play the first frame as one.
        const std::string replayBefore = snapshot("replay/replay_00.bin");
        const int phase = proof::runAsOrdinaryUser([] {
            Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
            GameMain game;
            game.update();
            return game.phase;
        });
        EXPECT_EQ(phase, GameMain::END) << "an unreadable replay: back to the title";
        EXPECT_EQ(snapshot("replay/replay_00.bin"), replayBefore);
        return;
    }
    const std::string replayBefore = snapshot("replay/replay_00.bin");
    const std::string configBefore = snapshot("config.ini");

    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    auto game = std::make_unique<GameMain>();
    testing::internal::CaptureStderr();
    int frames = 0;
    while (game->phase != GameMain::END && game->phase != GameMain::RESULTS && frames < 40000) {
        game->update();
        game->draw();
        Kiln_waitFrame(16);
        ++frames;
    }
    const std::string log = testing::internal::GetCapturedStderr();

    if (damage == Damage::Missing || damage == Damage::Directory) {
        EXPECT_EQ(game->phase, GameMain::END) << "no replay: back to the title";
    } else {
        EXPECT_EQ(game->phase, GameMain::RESULTS) << "the replay plays to its end";
        EXPECT_EQ(game->keypad->getMode(), Keypad::PLAYBACK);
    }
    if (damage == Damage::Truncated) {
        EXPECT_EQ(proof::countLinesContaining(log, "file ends inside a frame record"), 1) << log;
    }
    if (damage == Damage::Oversized) {
        EXPECT_EQ(proof::countLinesContaining(log, "more than 36000 frame records"), 1) << log;
    }
    // A replay never writes.
    EXPECT_EQ(snapshot("replay/replay_00.bin"), replayBefore);
    EXPECT_EQ(snapshot("config.ini"), configBefore);
}

// ---- mouse files and tile maps (toolbox files) ----

class DamagedToolboxFile : public ::testing::TestWithParam<Damage> {
protected:
    proof::ScratchDir scratch;
};

TEST_P(DamagedToolboxFile, MouseFileLoadsWhatItCanOrNamesTheFile) {
    const Damage damage = GetParam();
    proof::writeFile("mouse.bin", std::string("\x10\x00\x20\x00\x01\x00\x11\x00\x21\x00\x00\x00\x12\x00\x22\x00\x00\x00", 18));
    proof::damageFile("mouse.bin", damage, repositoryFile("resource/sound/up.wav"));
    std::string output;
    const int status = proof::runAsOrdinaryUser(
        [] {
            proof::startHeadlessFramework(false);
            MouseRecorder recorder;
            try {
                const bool complete = recorder.load("mouse.bin");
                std::printf("loaded %d records, complete %d\n", recorder.getFrameCount(), complete ? 1 : 0);
            } catch (const std::exception& e) {
                std::printf("error: %s\n", e.what());
                return recorder.getMode() == MouseRecorder::RECORD ? 1 : 2;
            }
            proof::stopHeadlessFramework();
            return 0;
        },
        &output);
    const bool cannotOpen = damage == Damage::Missing || damage == Damage::Unreadable || damage == Damage::Directory;
    if (cannotOpen) {
        EXPECT_EQ(status, 1) << output;
        EXPECT_EQ(proof::countLinesContaining(output, "error: MouseRecorder.load(): mouse.bin: "), 1) << output;
    } else {
        EXPECT_EQ(status, 0) << output;
    }
    if (damage == Damage::Truncated) {
        EXPECT_EQ(proof::countLinesContaining(output, "file ends inside a mouse record"), 1) << output;
        EXPECT_EQ(proof::countLinesContaining(output, "loaded 1 records, complete 0"), 1) << output;
    }
    if (damage == Damage::Oversized) {
        EXPECT_EQ(proof::countLinesContaining(output, "more than 36000 mouse records"), 1) << output;
        EXPECT_EQ(proof::countLinesContaining(output, "loaded 36000 records, complete 0"), 1) << output;
    }
}

TEST_P(DamagedToolboxFile, TileMapIsRejectedWithOneErrorNamingTheFile) {
    const Damage damage = GetParam();
    FMFLoader map(4, 3, 16, 16, 2, 8);
    map.getLayer(1)->fill(7);
    map.save("map.fmf");
    proof::damageFile("map.fmf", damage, repositoryFile("resource/image/tama.bmp"));
    std::string output;
    const int status = proof::runAsOrdinaryUser(
        [] {
            try {
                FMFLoader loaded = FMFLoader::load("map.fmf");
                std::printf("loaded %dx%d\n", loaded.getWidth(), loaded.getHeight());
                return 0;
            } catch (const FMFError& e) {
                std::printf("error: %s\n", e.what());
                return 1;
            }
        },
        &output);
    // Every damage here breaks the map; none may crash or half-load it.
    EXPECT_EQ(status, 1) << proof::damageName(damage) << ": " << output;
    EXPECT_EQ(proof::countLinesContaining(output, "map.fmf"), 1) << output;
}

// ---- pictures, sounds and music ----

struct ResourceCase {
    const char* file;         // relative to the working directory
    const char* wrongType;    // a real file of another kind, from the repository
    enum Loader { FONT, TEXTURE, WAV, MUSIC } loader;
};

const ResourceCase RESOURCES[] = {
    {"resource/font/font.bmp", "resource/sound/up.wav", ResourceCase::FONT},
    {"resource/image/tama.bmp", "resource/sound/up.wav", ResourceCase::TEXTURE},
    {"resource/sound/itemget.wav", "resource/image/tama.bmp", ResourceCase::WAV},
    {"resource/sound/bgm.ogg", "resource/image/tama.bmp", ResourceCase::MUSIC},
    {"resource/sound/results.wav", "resource/image/tama.bmp", ResourceCase::MUSIC},
};

// Loads one resource the way the game does, with files really read and
// SDL_mixer really decoding (on the dummy audio driver). Prints the outcome.
int loadResource(const ResourceCase& resource) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto backend = kilnMakeHeadlessBackend(
        {.readResourceFiles = true, .writeRunLog = false, .logToStderr = true, .recordDrawCalls = false});
    backend->audio = kilnMakeSdlAudio();
    kilnInstallBackend(std::move(backend));
    try {
        Kiln_init("KVR2013", 640, 480, false, false);
        switch (resource.loader) {
            case ResourceCase::FONT: break;  // Kiln_init loads it
            case ResourceCase::TEXTURE: Kiln_loadTexture("tama", resource.file, {0, 255, 0}); break;
            case ResourceCase::WAV: Kiln_loadWAV("itemget", resource.file); break;
            case ResourceCase::MUSIC: Kiln_playBgm(resource.file, -1, 0); break;
        }
    } catch (const KilnError& e) {
        std::printf("error: %s\n", e.what());
        return 1;
    }
    std::printf("loaded\n");
    Kiln_quit();
    return 0;
}

class DamagedResource : public ::testing::TestWithParam<std::tuple<int, Damage>> {
protected:
    proof::ScratchDir scratch;
};

TEST_P(DamagedResource, EndsWithAnErrorNamingTheFileOrLoads) {
    const ResourceCase& resource = RESOURCES[std::get<0>(GetParam())];
    const Damage damage = std::get<1>(GetParam());
    proof::copyRepositoryResources(scratch.path());
    proof::damageFile(resource.file, damage, repositoryFile(resource.wrongType));
    std::string output;
    const int status = proof::runAsOrdinaryUser([&] { return loadResource(resource); }, &output);
    std::printf("[%s, %s] %s", resource.file, proof::damageName(damage), output.c_str());

    const bool isSound = resource.loader == ResourceCase::WAV || resource.loader == ResourceCase::MUSIC;
    if (damage == Damage::Oversized) {
        EXPECT_EQ(status, 0) << output;  // bytes past the end of a picture or a sound are never read
    } else if (damage == Damage::Truncated && isSound) {
        EXPECT_EQ(status, 0) << output;  // a sound cut short plays what is left of it
    } else {
        EXPECT_EQ(status, 1) << output;
        EXPECT_EQ(proof::countLinesContaining(output, "error: "), 1) << output;
        EXPECT_EQ(proof::countLinesContaining(output, resource.file), 1) << "the message names the file: " << output;
    }
}

// ---- "run.log" and the screenshot ----

TEST(DamagedWrittenFiles, ARunLogThatCannotBeReplacedStopsTheStartWithAMessage) {
    proof::ScratchDir scratch;
    fs::create_directories("run.log/inside");
    std::string output;
    const int status = proof::runAsOrdinaryUser(
        [] {
            Kiln_useHeadlessBackend(
                {.readResourceFiles = false, .writeRunLog = true, .logToStderr = true, .recordDrawCalls = false});
            try {
                Kiln_init("KVR2013", 640, 480, false, false);
            } catch (const KilnError& e) {
                std::printf("error: %s\n", e.what());
                return 1;
            }
            return 0;
        },
        &output);
    EXPECT_EQ(status, 1) << output;
    EXPECT_EQ(proof::countLinesContaining(output, "error: "), 1) << output;
    EXPECT_TRUE(fs::is_directory("run.log/inside")) << "nothing of the player's is deleted";
}

TEST(DamagedWrittenFiles, AScreenshotOverADirectoryWritesNothingAndDoesNotThrow) {
    proof::ScratchDir scratch;
    fs::create_directories("kilnshot-0001.png/inside");
    std::vector<uint8_t> rgb(4 * 3 * 2, 0x80);
    EXPECT_FALSE(kilnSaveScreenshot(rgb, 4, 2, "kilnshot-0001.png"));
    EXPECT_TRUE(fs::is_directory("kilnshot-0001.png/inside"));
}

std::string damageLabel(const testing::TestParamInfo<Damage>& info) {
    std::string name = proof::damageName(info.param);
    std::erase(name, ' ');
    return name;
}

INSTANTIATE_TEST_SUITE_P(AllDamage, DamagedConfig, testing::ValuesIn(ALL_DAMAGE), damageLabel);
INSTANTIATE_TEST_SUITE_P(AllDamage, DamagedReplay, testing::ValuesIn(ALL_DAMAGE), damageLabel);
INSTANTIATE_TEST_SUITE_P(AllDamage, DamagedToolboxFile, testing::ValuesIn(ALL_DAMAGE), damageLabel);
INSTANTIATE_TEST_SUITE_P(AllDamage, DamagedResource,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(RESOURCES))),
                                          testing::ValuesIn(ALL_DAMAGE)),
                         [](const testing::TestParamInfo<std::tuple<int, Damage>>& info) {
                             std::string name = std::string(RESOURCES[std::get<0>(info.param)].file) + "_" +
                                                proof::damageName(std::get<1>(info.param));
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace
