// The replay verifier, run as the real program (kvr2013-verify, and the
// game's "--headless" mode where the game is built): its one output line,
// its exit statuses, its trace, and that it reproduces a live run from the
// replay that run saved.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <regex>
#include <set>
#include <sstream>

#include "gamecore/scene_test_support.h"

using namespace scene_test;

namespace {

struct VerifierRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a verifier command line ("'binary' [--headless] ") with the arguments
// in the current (scratch) directory.
VerifierRun runCommand(const std::string& verifier, const std::string& arguments) {
    const std::string command = verifier + arguments + " > verifier.out 2> verifier.err";
    const int raw = std::system(command.c_str());
    VerifierRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = readFile("verifier.out");
    run.err = readFile("verifier.err");
    std::filesystem::remove("verifier.out");
    std::filesystem::remove("verifier.err");
    return run;
}

// The verifier on its own.
VerifierRun runVerifier(const std::string& arguments) { return runCommand("'" KVR_VERIFY_BINARY "' ", arguments); }

// A replay of n recorded frames (n + 2 records) that taps UP in a rhythm: the
// craft climbs and falls in waves until it hits something.
std::string rhythmReplay(int frames, int period) {
    std::string bytes(static_cast<size_t>(frames + 2) * 24, '\0');
    for (int i = 1; i <= frames; ++i) {
        const bool up = i % period < period / 2;
        const bool pushed = up && (i % period == 0);
        bytes[static_cast<size_t>(i) * 24 + 6] = up ? 1 : 0;    // pressUp
        bytes[static_cast<size_t>(i) * 24 + 18] = pushed ? 1 : 0;  // triggerUp
    }
    return bytes;
}

struct Outcome {
    int stage = -1, frames = -1, score = -1, distance = -1, energy = -1;
    std::string result;
};

Outcome parseLine(const std::string& out) {
    static const std::regex line(
        R"(stage=(\d) frames=(\d+) score=(\d+) distance=(\d+)m energy=(\d+) result=(destroyed|finished|limit)\n)");
    std::smatch m;
    Outcome outcome;
    if (!std::regex_match(out, m, line)) {
        ADD_FAILURE() << "not the verifier's line: '" << out << "'";
        return outcome;
    }
    outcome = {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5]), m[6]};
    return outcome;
}

std::vector<std::vector<long long>> readTrace(const std::string& file) {
    std::vector<std::vector<long long>> rows;
    std::istringstream in(readFile(file));
    std::string text;
    while (std::getline(in, text)) {
        std::vector<long long> fields;
        std::istringstream words(text);
        long long value;
        while (words >> value) fields.push_back(value);
        EXPECT_EQ(fields.size(), 18u) << text;
        EXPECT_EQ(text.find("  "), std::string::npos) << "one space between fields";
        rows.push_back(fields);
    }
    return rows;
}

class ReplayVerifier : public ::testing::Test {
protected:
    ScratchDir dir;
};

std::set<std::string> filesHere() {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(".")) files.insert(entry.path().filename());
    return files;
}

TEST_F(ReplayVerifier, PrintsOneLineAndNothingElseAnywhere) {
    writeFile("waves.bin", rhythmReplay(3000, 40));
    const VerifierRun run = runVerifier("--stage 2 --replay waves.bin --hiscore 99");
    EXPECT_EQ(run.status, 0) << run.err;
    const Outcome outcome = parseLine(run.out);
    EXPECT_EQ(outcome.stage, 2);
    EXPECT_GT(outcome.frames, 182);
    EXPECT_EQ(run.err, "") << "a checking script takes anything on stderr for trouble";
    EXPECT_EQ(filesHere(), (std::set<std::string>{"waves.bin"})) << "nothing written: no config.ini, no run.log, no replay";
}

TEST_F(ReplayVerifier, KeepsWhatTheRunLogsInTheLogFileWhenAsked) {
    writeFile("torn.bin", rhythmReplay(400, 40) + "abc");
    const VerifierRun run = runVerifier("--stage 0 --replay torn.bin --log run.txt");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    parseLine(run.out);
    const std::string log = readFile("run.txt");
    EXPECT_EQ(log.rfind("Gamecoer init\nGamecoer init\n", 0), 0u) << log;
    EXPECT_NE(log.find("file ends inside a frame record"), std::string::npos) << log;
}

#ifdef KVR_GAME_BINARY
// The game's "--headless" mode is the same verifier: same output, same files, same statuses.
TEST_F(ReplayVerifier, TheGameAnswersTheSameCommandLineAfterHeadless) {
    writeFile("waves.bin", rhythmReplay(2000, 30));
    const std::string game = "'" KVR_GAME_BINARY "' --headless ";
    for (const char* arguments : {"--stage 1 --replay waves.bin --trace t.txt", "--stage 1 --replay nowhere.bin",
                                  "--stage 9 --replay waves.bin"}) {
        SCOPED_TRACE(arguments);
        const VerifierRun own = runVerifier(arguments);
        const std::string ownTrace = readFile("t.txt");
        std::filesystem::remove("t.txt");
        const VerifierRun viaGame = runCommand(game, arguments);
        EXPECT_EQ(viaGame.status, own.status);
        EXPECT_EQ(viaGame.out, own.out);
        EXPECT_EQ(readFile("t.txt"), ownTrace);
        std::filesystem::remove("t.txt");
        EXPECT_EQ(own.err.empty(), viaGame.err.empty()) << own.err << viaGame.err;
    }
    EXPECT_EQ(filesHere(), (std::set<std::string>{"waves.bin"}));
}
#endif

TEST_F(ReplayVerifier, AFileThatCannotBeOpenedIsStatus2WithNothingOnStdout) {
    std::filesystem::create_directory("adirectory");
    for (const char* file : {"missing.bin", "adirectory"}) {
        SCOPED_TRACE(file);
        const VerifierRun run = runVerifier(std::string("--stage 0 --replay ") + file);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
    }
}

TEST_F(ReplayVerifier, BadArgumentsAreStatus2WithTheUsage) {
    writeFile("r.bin", "");
    const char* commands[] = {
        "--replay r.bin",
        "--stage 0",
        "--stage 4 --replay r.bin",
        "--stage x --replay r.bin",
        "--stage 0 --replay r.bin --max-frames 0",
        "--stage 0 --replay r.bin --hiscore -5",
        "--stage 0 --replay r.bin --bogus 1",
        "--stage 0 --replay",
        "--stage 0 --replay r.bin --log",
    };
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        const VerifierRun run = runVerifier(command);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: kvr2013-verify --stage S --replay FILE"), std::string::npos) << run.err;
    }
}

TEST_F(ReplayVerifier, AnEmptyReplayLetsTheCraftFallToItsEnd) {
    writeFile("empty.bin", "");
    const VerifierRun run = runVerifier("--stage 0 --replay empty.bin --trace t.txt");
    ASSERT_EQ(run.status, 0) << run.err;
    const Outcome outcome = parseLine(run.out);
    EXPECT_EQ(outcome.result, "destroyed");
    EXPECT_EQ(outcome.distance, 0);
    // Frame 1 starts the run, 181 count down, then the craft falls from mid-screen.
    const int playFrames = outcome.frames - 182;
    EXPECT_GT(playFrames, 50);
    EXPECT_LT(playFrames, 100);
    EXPECT_EQ(outcome.score, 2 * playFrames) << "a point per frame from the craft and from the course";
    EXPECT_EQ(outcome.energy, 10000 - 3 * playFrames);
    const auto trace = readTrace("t.txt");
    ASSERT_EQ(static_cast<int>(trace.size()), outcome.frames);
    EXPECT_EQ(trace.back()[1], GameMain::RESULTS);
    EXPECT_EQ(trace.back()[7], 0) << "life";
    EXPECT_EQ(trace.back()[4], 48000) << "at the bottom edge";
}

TEST_F(ReplayVerifier, StopsAtTheFrameLimit) {
    writeFile("waves.bin", rhythmReplay(3000, 40));
    const VerifierRun run = runVerifier("--stage 1 --replay waves.bin --max-frames 250 --trace t.txt");
    ASSERT_EQ(run.status, 0) << run.err;
    const Outcome outcome = parseLine(run.out);
    EXPECT_EQ(outcome.frames, 250);
    EXPECT_EQ(outcome.result, "limit");
    EXPECT_EQ(readTrace("t.txt").size(), 250u);
}

TEST_F(ReplayVerifier, TraceFollowsTheRunAndTwoRunsAreIdentical) {
    writeFile("waves.bin", rhythmReplay(5000, 36));
    const VerifierRun first = runVerifier("--stage 0 --replay waves.bin --trace one.txt");
    const VerifierRun second = runVerifier("--stage 0 --replay waves.bin --trace two.txt");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, second.out);
    EXPECT_EQ(readFile("one.txt"), readFile("two.txt"));
    const Outcome outcome = parseLine(first.out);
    const auto trace = readTrace("one.txt");
    ASSERT_EQ(static_cast<int>(trace.size()), outcome.frames);
    EXPECT_EQ(trace.front(), (std::vector<long long>{1, 1, 0, 0, 24000, 0, 10000, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 17}));
    for (size_t i = 0; i < trace.size(); ++i) ASSERT_EQ(trace[i][0], static_cast<long long>(i + 1));
    EXPECT_EQ(trace.back()[2], outcome.score);
    EXPECT_EQ(trace.back()[6], outcome.energy);
    EXPECT_EQ(trace.back()[3] / 100 / 100 * 10, outcome.distance);
}

// A live run played with the keyboard saves its replay on a new record; the
// verifier, given that file, goes through the same states to the same score.
// The barrier's A is held for a frame, or tapped: down and up again before
// the frame samples it, which the frame still sees and the replay keeps.
class RecordAndVerify : public SceneTest {};

TEST_F(RecordAndVerify, TheVerifierReproducesALiveRecordRun) {
    for (const bool tapped : {false, true}) {
        SCOPED_TRACE(tapped ? "A tapped between frames" : "A held for a frame");
        writeFile("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\n");
        restartFramework(false);
        newGame();
        std::vector<FrameState> live;
        int barriersRaised = 0;
        for (int i = 0; i < 40000 && game->phase != GameMain::RESULTS; ++i) {
            const bool barrier = i % 450 == 449;
            if (barrier && tapped) {
                kiln_headless::setKey(KEY_z, true);
                kiln_headless::setKey(KEY_z, false);
            }
            const int barrierBefore = game->player.barrierFrames;
            // The verifier writes its trace between update and draw; so does this run.
            updateFrame(*game, {.up = holdHeight(*game, 180 + (i / 250 % 4) * 50), .a = barrier && !tapped});
            barriersRaised += barrier && game->player.barrierFrames > barrierBefore;
            live.push_back(stateOf(*game));
            game->draw();
        }
        ASSERT_EQ(game->phase, GameMain::RESULTS);
        ASSERT_GT(barriersRaised, 0) << "the presses reached the run";
        ASSERT_TRUE(std::filesystem::exists("replay/replay_00.bin"));
        ASSERT_EQ(readFile("config.ini").rfind("HI_SCORE1 = " + std::to_string(game->hiScores[0]) + "\n", 0), 0u);

        const VerifierRun run = runVerifier("--stage 0 --replay replay/replay_00.bin --trace t.txt");
        ASSERT_EQ(run.status, 0) << run.err;
        const Outcome outcome = parseLine(run.out);
        EXPECT_EQ(outcome.score, game->score);
        EXPECT_EQ(outcome.frames, game->frameCounter);
        EXPECT_EQ(outcome.energy, game->player.energy);
        EXPECT_EQ(outcome.result, game->player.life == 0 ? "destroyed" : "finished");
        const auto trace = readTrace("t.txt");
        ASSERT_EQ(trace.size(), live.size());
        for (size_t i = 0; i < live.size(); ++i) {
            const FrameState& s = live[i];
            const std::vector<long long> expected = {
                s.frameCounter, s.phase, s.score, s.scrollPos, s.y, s.vy, s.energy, s.life, s.barrierFrames,
                s.invincibleFrames, s.sparkleFrames, s.walls, s.items, s.enemies, s.effects, s.shakeFrames,
                s.slowMotionFrames, s.randIndex};
            ASSERT_EQ(trace[i], expected) << "first difference after update " << i + 1;
        }
        std::filesystem::remove_all("replay");
    }
}

}  // namespace
