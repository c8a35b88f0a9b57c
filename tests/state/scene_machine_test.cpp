// The scene machine: the first scene, replacement only at the start of a
// frame, unknown messages, and the shared textures.
#include <memory>
#include <string>
#include <vector>

#include "gamecore/game_main.h"
#include "headless_scene.h"
#include "state/live_run_main.h"
#include "state/logo_main.h"
#include "state/theatre_main.h"
#include "state/title_main.h"

namespace {

// What the probe scenes did, in order, across scene replacements.
std::vector<std::string> events;

// A scene that records its life and posts a chosen message on a chosen update.
struct ProbeScene : GameState {
    static inline int postOnUpdate = 1;
    static inline int messageToPost = MSG_NONE;

    ProbeScene() { events.push_back("construct"); }
    ~ProbeScene() override { events.push_back("destroy"); }
    void update() override {
        ++updates;
        events.push_back("update");
        if (updates == postOnUpdate) setMessage(messageToPost);
    }
    void draw() override { events.push_back("draw"); }
    int updates = 0;
};

std::unique_ptr<GameState> makeProbe() { return std::make_unique<ProbeScene>(); }

class SceneMachineTest : public HeadlessScene {
protected:
    void SetUp() override {
        HeadlessScene::SetUp();
        events.clear();
        ProbeScene::postOnUpdate = 1;
        ProbeScene::messageToPost = MSG_NONE;
    }

    // Starts the machine on a probe that posts message in its first update.
    void startProbePosting(int message) {
        ProbeScene::messageToPost = message;
        setFirstScene(makeProbe);
        ASSERT_TRUE(frame());
        ASSERT_EQ(events, (std::vector<std::string>{"construct", "update", "draw"}));
        events.clear();
    }
};

TEST_F(SceneMachineTest, FirstStepLogsOnceAndStartsOnTheLogo) {
    EXPECT_EQ(currentSceneForTest(), nullptr);
    EXPECT_TRUE(frame());
    GameState* logo = currentSceneForTest();
    ASSERT_NE(dynamic_cast<LogoMain*>(logo), nullptr);
    // The logo's first update already ran in that frame.
    EXPECT_EQ(static_cast<LogoMain*>(logo)->getLogoTimer(), 1);
    EXPECT_TRUE(frame());
    EXPECT_TRUE(frame());
    EXPECT_EQ(currentSceneForTest(), logo);
    EXPECT_EQ(readFile("run.log"), "Exec loop.\n");
}

TEST_F(SceneMachineTest, ASceneThatNeverPostsIsKept) {
    setFirstScene(makeProbe);
    frame();
    GameState* probe = currentSceneForTest();
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(frame());
    EXPECT_EQ(currentSceneForTest(), probe);
    EXPECT_EQ(static_cast<ProbeScene*>(probe)->updates, 21);
    EXPECT_EQ(std::count(events.begin(), events.end(), "construct"), 1);
}

TEST_F(SceneMachineTest, GameMessageIsActedOnInTheNextFrameAfterTheOldDraw) {
    startProbePosting(MSG_GAME);
    // The posting frame already drew (checked in startProbePosting); the next
    // frame drops the probe and runs a new game scene's first update and draw.
    EXPECT_TRUE(frame());
    EXPECT_EQ(events, (std::vector<std::string>{"destroy"}));
    EXPECT_NE(dynamic_cast<LiveRunMain*>(currentSceneForTest()), nullptr) << "a live run, with its ghost when there is one";
    EXPECT_EQ(currentSceneForTest()->getMessage(), MSG_NONE);
}

TEST_F(SceneMachineTest, TheatreMessageBuildsTheTheatreWhichGoesBackWithNothingToWatch) {
    startProbePosting(MSG_THEATRE);
    EXPECT_TRUE(frame());
    EXPECT_NE(dynamic_cast<TheatreMain*>(currentSceneForTest()), nullptr);
    EXPECT_EQ(currentSceneForTest()->getMessage(), MSG_TITLE) << "no watch request, nothing to show";
    EXPECT_TRUE(frame());
    EXPECT_NE(dynamic_cast<TitleMain*>(currentSceneForTest()), nullptr);
}

TEST_F(SceneMachineTest, TitleAndLogoMessagesBuildThoseScenes) {
    startProbePosting(MSG_TITLE);
    EXPECT_TRUE(frame());
    EXPECT_NE(dynamic_cast<TitleMain*>(currentSceneForTest()), nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"destroy"}));
    EXPECT_EQ(readFile("run.log"), "Exec loop.\nTitleMain\n");

    currentSceneForTest()->setMessage(MSG_LOGO);
    EXPECT_TRUE(frame());
    EXPECT_NE(dynamic_cast<LogoMain*>(currentSceneForTest()), nullptr);
}

TEST_F(SceneMachineTest, QuitMessageStopsTheLoopButTheSceneStillRunsItsFrame) {
    startProbePosting(MSG_QUIT);
    GameState* probe = currentSceneForTest();
    EXPECT_FALSE(frame());
    EXPECT_EQ(currentSceneForTest(), probe);
    EXPECT_EQ(events, (std::vector<std::string>{"update", "draw"}));
    EXPECT_EQ(readFile("run.log"), "Exec loop.\nUnknown msg at loop.");
}

TEST_F(SceneMachineTest, NegativeAndLargeMessagesCountAsUnknown) {
    for (int message : {-1, 8, 1000}) {
        resetSceneMachine();
        events.clear();
        ProbeScene::messageToPost = message;
        setFirstScene(makeProbe);
        frame();
        EXPECT_FALSE(frame()) << "message " << message;
        EXPECT_NE(dynamic_cast<ProbeScene*>(currentSceneForTest()), nullptr) << "message " << message;
    }
    std::string log = readFile("run.log");
    EXPECT_EQ(log, "Exec loop.\nUnknown msg at loop.Exec loop.\nUnknown msg at loop.Exec loop.\nUnknown msg at loop.");
}

TEST_F(SceneMachineTest, SharedResourcesRegisterFontAndMenuThenLog) {
    EXPECT_FALSE(Kiln_hasTexture("menu"));
    loadSharedResources();
    EXPECT_TRUE(Kiln_hasTexture("font"));
    EXPECT_TRUE(Kiln_hasTexture("menu"));
    EXPECT_EQ(readFile("run.log"), "resource loaded.\n");
}

}  // namespace
