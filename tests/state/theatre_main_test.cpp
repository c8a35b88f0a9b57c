// The replay theatre on the headless backend: each control (pause, step,
// speeds, jumps, restart, leaving), its progress bar, and the promise behind
// all of them: whatever the watcher does, the watched run goes through
// exactly the states the replay verifier reports for the file, and prints
// the verifier's own line when it reaches its results.
#include <initializer_list>
#include <map>
#include <optional>
#include <random>

#include "gamecore/scene_test_support.h"
#include "headless_scene.h"
#include "state/theatre_main.h"
#include "state/theatre_progress_bar.h"
#include "state/theatre_speed.h"

namespace {

using scene_test::FrameState;
using scene_test::stateOf;

const std::string kReplay = std::string(KVR_SOURCE_DIR) + "/bench/data/stage0.bin";
constexpr int kLastFrame = 10182;  // the 1000 m replay reaches its results here

// The verifier's report on the replay, made once for the whole program.
const scene_test::VerifierReport& verified() {
    static const scene_test::VerifierReport report = scene_test::verifierReport(KVR_VERIFY_BINARY, 0, kReplay);
    return report;
}

class Theatre : public HeadlessScene {
protected:
    void SetUp() override {
        HeadlessScene::SetUp();
        ASSERT_EQ(verified().trace.size(), static_cast<size_t>(kLastFrame));
    }

    void open(int speedStep = THEATRE_NORMAL_SPEED, const std::string& replay = kReplay) {
        theatre = std::make_unique<TheatreMain>(WatchRequest{replay, 0, speedStep, 0});
    }

    // One frame as the main loop runs it, with these keys down in this
    // frame's snapshot only. After the update the run must stand where the
    // verifier stood after the same update.
    void frame(std::initializer_list<int> keys = {}) {
        for (int key : keys) setKey(key, true);
        Kiln_waitFrame(16);
        for (int key : keys) setKey(key, false);
        theatre->update();
        expectOnVerifiersTrace();
        kiln_headless::clearDrawCalls();
        theatre->draw();
    }

    void frames(int count) {
        for (int i = 0; i < count && !HasFatalFailure(); ++i) frame();
    }

    void expectOnVerifiersTrace() {
        const WatchedRun* run = theatre->watchedRun();
        ASSERT_NE(run, nullptr);
        const int at = run->frame();
        // The results frame itself is compared when it is reached: drawing it
        // draws the record colours, which the verifier, stopping there, never draws.
        if (at < 1 || at >= kLastFrame) return;
        ASSERT_EQ(stateOf(run->game()), verified().trace[static_cast<size_t>(at - 1)]) << "frame " << at;
    }

    int shownFrame() const { return theatre->watchedRun()->frame(); }

    // The bar's line of text as drawn in the last frame.
    static std::string barText() { return textAt(THEATRE_BAR_TEXT_Y).text; }

    // The last line the run log holds.
    std::string lastLogLine() const {
        std::string log = readFile("run.log");
        if (!log.empty() && log.back() == '\n') log.pop_back();
        return log.substr(log.rfind('\n') + 1);
    }

    std::unique_ptr<TheatreMain> theatre;
};

TEST_F(Theatre, AtNormalSpeedEachFrameShowsTheVerifiersNextFrame) {
    open();
    ASSERT_NE(theatre->watchedRun(), nullptr);
    EXPECT_EQ(theatre->watchedRun()->lastFrame(), kLastFrame) << "measured by playing a copy to the results";
    for (int i = 1; i <= 400 && !HasFatalFailure(); ++i) {
        frame();
        ASSERT_EQ(shownFrame(), i);
    }
    const std::string bar = barText();
    EXPECT_EQ(bar.rfind("FRAME 400/10182", 0), 0u) << bar;
    EXPECT_NE(bar.find(" 20m "), std::string::npos) << bar;
    EXPECT_EQ(bar.substr(bar.size() - 2), "x1") << bar;
}

TEST_F(Theatre, RightDoublesTheSpeedUpToEightAndTheShowStopsOnTheVerifiersResultsFrame) {
    open();
    frames(10);
    for (int expected : {2, 4, 8, 8}) {
        const int before = shownFrame();
        frame({KEY_RIGHT});
        ASSERT_EQ(shownFrame() - before, expected) << "the new speed plays in the frame it was chosen";
        frame();
        ASSERT_EQ(shownFrame() - before, 2 * expected);
    }
    EXPECT_EQ(theatre->speedStep(), THEATRE_SPEED_COUNT - 1);
    EXPECT_EQ(barText().substr(barText().size() - 2), "x8");

    testing::internal::CaptureStdout();
    for (int i = 0; i < 2000 && !theatre->isPaused() && !HasFatalFailure(); ++i) frame();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), verified().line + "\n");
    // The show stops on the results frame, though x8 had more updates to run in it.
    EXPECT_EQ(shownFrame(), kLastFrame);
    EXPECT_EQ(lastLogLine(), "Theatre: results at frame 10182, paused");
    EXPECT_EQ(barText().rfind("FRAME 10182/10182", 0), 0u) << barText();
    EXPECT_EQ(barText().substr(barText().size() - 6), "PAUSED");
    const std::string verifiedScore = verified().line.substr(verified().line.find("score=") + 6);
    EXPECT_EQ(textAt(320).text, verifiedScore.substr(0, verifiedScore.find(' '))) << "the results show its score";

    frame({KEY_z});
    frame();
    EXPECT_EQ(shownFrame(), kLastFrame + 8) << "A goes on with the results screen";
}

TEST_F(Theatre, LeftHalvesTheSpeedDownToAQuarterAndHoldsEachFrameLonger) {
    open();
    frames(200);
    frame({KEY_LEFT});
    EXPECT_EQ(barText().substr(barText().size() - 4), "x1/2");
    int before = shownFrame();
    frames(40);
    EXPECT_EQ(shownFrame() - before, 20);
    frame({KEY_LEFT});
    frame({KEY_LEFT});  // held: no second trigger
    frame();
    frame({KEY_LEFT});  // already the slowest
    EXPECT_EQ(theatre->speedStep(), 0);
    EXPECT_EQ(barText().substr(barText().size() - 4), "x1/4");
    before = shownFrame();
    const FrameState held = stateOf(theatre->watchedRun()->game());
    frames(3);
    EXPECT_EQ(stateOf(theatre->watchedRun()->game()), held) << "three frames of one update";
    frames(77);
    EXPECT_EQ(shownFrame() - before, 20);
}

TEST_F(Theatre, APauseHoldsTheRunAndDownStepsOneFrameAtATime) {
    open();
    frames(300);
    frame({KEY_z});
    ASSERT_TRUE(theatre->isPaused());
    const int pausedAt = shownFrame();
    EXPECT_EQ(pausedAt, 300) << "the A that pauses moves nothing";
    EXPECT_EQ(lastLogLine(), "Theatre: paused at frame 300");
    frames(30);
    EXPECT_EQ(shownFrame(), pausedAt);
    EXPECT_EQ(barText().substr(barText().size() - 6), "PAUSED");

    frame({KEY_DOWN});
    EXPECT_EQ(shownFrame(), pausedAt + 1);
    EXPECT_EQ(lastLogLine(), "Theatre: stepped to frame 301");
    frame();
    setKey(KEY_DOWN, true);
    frames(5);
    setKey(KEY_DOWN, false);
    EXPECT_EQ(shownFrame(), pausedAt + 2) << "a held DOWN is one step";
    frame();
    frame({KEY_DOWN});
    EXPECT_EQ(shownFrame(), pausedAt + 3);

    frame({KEY_SPACE});
    EXPECT_FALSE(theatre->isPaused());
    EXPECT_EQ(shownFrame(), pausedAt + 3) << "the A that resumes moves nothing either";
    frame({KEY_DOWN});
    EXPECT_EQ(shownFrame(), pausedAt + 4) << "DOWN steps only in a pause";
    frame();
    EXPECT_EQ(shownFrame(), pausedAt + 5);
}

TEST_F(Theatre, PageDownAndPageUpJumpTenSecondsAndLandOnTheVerifiersFrames) {
    open();
    frames(100);
    // Each jump is one frame; what it played is heard in that frame.
    std::vector<KilnSoundEvent> heard;
    auto jump = [&](int key) {
        kiln_headless::clearSoundEvents();
        frame({key});
        heard.insert(heard.end(), kiln_headless::soundEvents().begin(), kiln_headless::soundEvents().end());
        frame();
    };
    jump(KEY_PAGEDOWN);
    EXPECT_EQ(shownFrame(), 726);
    EXPECT_NE(readFile("run.log").find("Theatre: jumped to frame 725\n"), std::string::npos);
    jump(KEY_PAGEDOWN);
    EXPECT_EQ(shownFrame(), 1352);
    jump(KEY_PAGEUP);
    EXPECT_EQ(shownFrame(), 728) << "built afresh and replayed to 1352 - 625, then one frame on";
    jump(KEY_PAGEUP);
    EXPECT_EQ(shownFrame(), 104);
    frame({KEY_PAGEUP});
    EXPECT_EQ(shownFrame(), 1) << "no further back than the first picture";
    EXPECT_EQ(stateOf(theatre->watchedRun()->game()), verified().trace[0]);

    // Catching up is silent: no sound, no log line of the runs built for the jumps.
    for (const KilnSoundEvent& event : heard) EXPECT_NE(event.kind, KilnSoundEvent::PLAY_WAV) << event.name;
    const std::string log = readFile("run.log");
    EXPECT_EQ(log.find("Gamecoer init\nGamecoer init\n"), log.rfind("Gamecoer init\nGamecoer init\n"))
        << "only the watched run's own start is logged";
    // Only the music is put back: the jump into the run starts it, the jump back before it stops it.
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].kind, KilnSoundEvent::PLAY_BGM);
    EXPECT_EQ(heard[0].name, "resource/sound/bgm.ogg");
    EXPECT_EQ(heard[1].kind, KilnSoundEvent::STOP_BGM);
}

TEST_F(Theatre, AControllersShoulderButtonsJumpLikePageDownAndPageUp) {
    open();
    const int pad = kiln_headless::connectController("Pad", true);
    frames(100);
    auto tap = [&](KilnControllerInput input) {
        kiln_headless::setControllerInput(pad, input, true);
        frame();
        kiln_headless::setControllerInput(pad, input, false);
        frame();
    };
    tap(CONTROLLER_RIGHT_SHOULDER);
    EXPECT_EQ(shownFrame(), 726);
    tap(CONTROLLER_LEFT_SHOULDER);
    EXPECT_EQ(shownFrame(), 102);
    EXPECT_EQ(stateOf(theatre->watchedRun()->game()), verified().trace[101]);
}

TEST_F(Theatre, AJumpPastTheEndStopsAtTheResultsAndHomeStartsAgain) {
    open();
    frames(3);
    testing::internal::CaptureStdout();
    for (int i = 0; i < 40 && shownFrame() < kLastFrame; ++i) {
        frame({KEY_PAGEDOWN});
        frame();
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, verified().line + "\n");
    EXPECT_EQ(shownFrame(), kLastFrame);
    EXPECT_TRUE(theatre->isPaused());
    frame({KEY_z});
    frame();
    frame({KEY_PAGEDOWN});
    EXPECT_LE(shownFrame(), kLastFrame + 2) << "nothing past the results to jump to";

    frame({KEY_HOME});
    EXPECT_EQ(shownFrame(), 1);
    EXPECT_EQ(lastLogLine(), "Theatre: restarted at frame 1");
    EXPECT_FALSE(theatre->isPaused()) << "a restart plays";
    frames(50);
    EXPECT_EQ(shownFrame(), 51);
}

// On the results screen after a step or a resume the run is past its last
// recorded frame: a jump forward (PAGE DOWN or the right shoulder) has nowhere
// to go, so the run stays where it is and its results line is printed once.
TEST_F(Theatre, AJumpForwardAfterAStepOrAResumeOnTheResultsStaysWhereTheRunIs) {
    struct Case {
        const char* after;
        int key;
        bool shoulder;  // the jump comes from a controller, not PAGE DOWN
    };
    const Case cases[] = {
        {"a step", KEY_DOWN, false}, {"a step", KEY_DOWN, true}, {"a resume", KEY_z, false}, {"a resume", KEY_z, true}};
    const int pad = kiln_headless::connectController("Pad", true);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.after) + (c.shoulder ? ", then the right shoulder" : ", then PAGE DOWN"));
        open(THEATRE_SPEED_COUNT - 1);
        testing::internal::CaptureStdout();
        for (int i = 0; i < 2000 && !theatre->isPaused(); ++i) frame();
        EXPECT_EQ(shownFrame(), kLastFrame);
        frame({c.key});
        frame();
        const int at = shownFrame();
        EXPECT_GT(at, kLastFrame);
        if (c.shoulder) {
            kiln_headless::setControllerInput(pad, CONTROLLER_RIGHT_SHOULDER, true);
            frame();
            kiln_headless::setControllerInput(pad, CONTROLLER_RIGHT_SHOULDER, false);
        } else {
            frame({KEY_PAGEDOWN});
        }
        EXPECT_EQ(shownFrame(), at) << "not back to the first results frame " << kLastFrame;
        frames(3);
        EXPECT_GE(shownFrame(), at);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), verified().line + "\n");
    }
}

TEST_F(Theatre, AnyMixOfControlsKeepsTheRunOnTheVerifiersTrace) {
    open();
    const int controls[] = {KEY_z, KEY_RIGHT, KEY_LEFT, KEY_DOWN, KEY_PAGEDOWN, KEY_PAGEUP, KEY_HOME, KEY_SPACE};
    std::mt19937 random(20130);
    int pressed = 0;
    testing::internal::CaptureStdout();
    for (int i = 0; i < 4000 && !HasFatalFailure(); ++i) {
        // A control in one frame of six, never the same key two frames running.
        const bool press = random() % 6 == 0;
        const int key = controls[random() % std::size(controls)];
        if (press && key != pressed) {
            frame({key});
            pressed = key;
        } else {
            frame();
            pressed = 0;
        }
    }
    // Whatever the mix, the run reaches its results on the verifier's line.
    for (int i = 0; i < 40 && shownFrame() < kLastFrame && !HasFatalFailure(); ++i) {
        frame({KEY_PAGEDOWN});
        frame();
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_FALSE(printed.empty());
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);) EXPECT_EQ(line, verified().line);
}

TEST_F(Theatre, ResultsFramesShownLongerDrawTheirRecordColoursOnce) {
    // The results screen draws its "NEW RECORD !" colours from the run's
    // sequence. Two watchers: one goes on at x4, the other slows to x1/4, so
    // three of every four of its pictures are drawn again. Where both show
    // the same frame, they must show the same run.
    auto playPastTheResults = [this](int key) {
        frame();
        for (int i = 0; i < 40 && shownFrame() < kLastFrame; ++i) {
            frame({KEY_PAGEDOWN});
            frame();
        }
        EXPECT_TRUE(theatre->isPaused()) << "a jump onto the results pauses there too";
        frame({KEY_z});
        frame({key});
        frame();
        frame({key});
        std::map<int, FrameState> shown;
        for (int i = 0; i < 400 && !HasFatalFailure(); ++i) {
            frame();
            shown[shownFrame()] = stateOf(theatre->watchedRun()->game());
        }
        EXPECT_EQ(theatre->watchedRun()->phase(), GameMain::RESULTS);
        return shown;
    };
    open();
    const std::map<int, FrameState> fast = playPastTheResults(KEY_RIGHT);
    open();
    const std::map<int, FrameState> slow = playPastTheResults(KEY_LEFT);
    EXPECT_EQ(theatre->speedStep(), 0);
    int compared = 0;
    for (const auto& [at, state] : slow) {
        const auto found = fast.find(at);
        if (found == fast.end()) continue;
        ASSERT_EQ(state, found->second) << "frame " << at;
        ++compared;
    }
    EXPECT_GT(compared, 20);
}

TEST_F(Theatre, TheResultsPromptTakesZAndEndsTheShowAndBLeavesAnyTime) {
    open(THEATRE_SPEED_COUNT - 1);
    for (int i = 0; i < 2000 && theatre->watchedRun()->phase() != GameMain::RESULTS; ++i) frame();
    ASSERT_TRUE(theatre->isPaused());
    frame({KEY_z});
    EXPECT_FALSE(theatre->isPaused()) << "the first A resumes";
    frames(20);  // x8: past the two seconds in which the results hold A back
    EXPECT_EQ(theatre->getMessage(), MSG_NONE);
    frame({KEY_z});
    EXPECT_FALSE(theatre->isPaused()) << "on the results screen A is the run's own prompt";
    frame();
    EXPECT_EQ(theatre->getMessage(), MSG_TITLE);

    open();
    frames(5);
    frame({KEY_x});
    EXPECT_EQ(theatre->getMessage(), MSG_TITLE);
    EXPECT_EQ(shownFrame(), 5) << "the B that leaves moves nothing";
}

TEST_F(Theatre, NothingToWatchGoesBackToTheTitle) {
    theatre = std::make_unique<TheatreMain>(WatchRequest{"replay/replay_02.bin", 2, THEATRE_NORMAL_SPEED, 0});
    EXPECT_EQ(theatre->watchedRun(), nullptr);
    Kiln_waitFrame(16);
    theatre->update();
    theatre->draw();
    EXPECT_EQ(theatre->getMessage(), MSG_TITLE);
    EXPECT_NE(readFile("run.log").find("Theatre: no replay to watch at replay/replay_02.bin"), std::string::npos);

    std::filesystem::create_directories("replay/replay_01.bin");
    theatre = std::make_unique<TheatreMain>(WatchRequest{"replay/replay_01.bin", 1, THEATRE_NORMAL_SPEED, 0});
    EXPECT_EQ(theatre->watchedRun(), nullptr) << "a directory dropped on the window is no replay";
}

TEST_F(Theatre, TheStartingSpeedAndThePlayersHiScoreComeWithTheRequest) {
    writeFile("config.ini", "HI_SCORE1 = 31000\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 2\n");
    struct Case {
        const char* speed;  // as the command line spells it
        const char* label;
        int frames, shown;  // the replay's frame shown after that many frames
    };
    const Case cases[] = {{"4", "x4", 1, 4}, {"0.25", "x1/4", 8, 2}};
    for (const Case& c : cases) {
        const std::optional<int> step = theatreSpeedStepFromText(c.speed);
        ASSERT_TRUE(step.has_value()) << c.speed;
        requestWatch({.replayFile = kReplay, .stage = 0, .speedStep = *step});
        theatre = std::make_unique<TheatreMain>();
        ASSERT_NE(theatre->watchedRun(), nullptr);
        EXPECT_STREQ(theatreSpeed(theatre->speedStep()).label, c.label) << c.speed;
        frames(c.frames);
        EXPECT_EQ(shownFrame(), c.shown) << c.speed << " after " << c.frames << " frames";
        EXPECT_EQ(barText().substr(barText().size() - std::string(c.label).size()), c.label) << barText();
        EXPECT_EQ(theatre->watchedRun()->game().hiScores[0], 31000) << "read from config.ini when not given";
        EXPECT_FALSE(takeWatchRequest().has_value()) << "a request is taken once";
    }
}

}  // namespace
