// Frame pacing against the counter clock, the fps and load counters, the
// ways out (window close, Escape) and the system keys.
#include "kiln2/backend_headless.h"
#include "kiln2/kiln_state.h"
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class FrameLoop : public HeadlessTest {
protected:
    void SetUp() override { start(noFiles()); }

    static bool cursorShown() { return kilnBackend().headless->cursorShown; }
};

TEST_F(FrameLoop, WaitsForTheRestOfTheFrame) {
    kiln_headless::setTicks(100);
    EXPECT_EQ(Kiln_waitFrame(16), 16) << "the first frame starts its slot now";
    EXPECT_EQ(kiln_headless::ticks(), 116u);
    kiln_headless::advanceTicks(5);
    EXPECT_EQ(Kiln_waitFrame(16), 16);
    EXPECT_EQ(kiln_headless::ticks(), 132u);
}

TEST_F(FrameLoop, LateFrameDoesNotWaitAndIsNotMadeUp) {
    kiln_headless::setTicks(100);
    Kiln_waitFrame(16);
    kiln_headless::advanceTicks(40);
    EXPECT_EQ(Kiln_waitFrame(16), 40);
    EXPECT_EQ(kiln_headless::ticks(), 156u);
    kiln_headless::advanceTicks(2);
    EXPECT_EQ(Kiln_waitFrame(16), 16) << "the next slot is measured from the late frame's end";
    EXPECT_EQ(kiln_headless::ticks(), 172u);
}

TEST_F(FrameLoop, FrameExactlyOnTimeDoesNotWait) {
    kiln_headless::setTicks(100);
    Kiln_waitFrame(16);
    kiln_headless::advanceTicks(16);
    EXPECT_EQ(Kiln_waitFrame(16), 16);
    EXPECT_EQ(kiln_headless::ticks(), 132u);
}

TEST_F(FrameLoop, HalfBusySecondReportsFiftyPercentAndItsFrameCount) {
    kiln_headless::setTicks(1000);
    Kiln_waitFrame(16);  // the first frame also counts the time before it
    EXPECT_EQ(kiln_headless::ticks(), 1016u);
    for (int i = 0; i < 61; ++i) {
        kiln_headless::advanceTicks(8);
        Kiln_waitFrame(16);
        ASSERT_EQ(Kiln_getFps(), 1) << "no new second yet at frame " << i;
    }
    kiln_headless::advanceTicks(8);
    Kiln_waitFrame(16);
    EXPECT_EQ(kiln_headless::ticks(), 2008u);
    EXPECT_EQ(Kiln_getFps(), 62);
    EXPECT_EQ(Kiln_getCpuPercent(), 50);

    // The next second: every frame busy for 20 ms, so none of them waits.
    for (int i = 0; i < 50; ++i) {
        kiln_headless::advanceTicks(20);
        Kiln_waitFrame(16);
    }
    EXPECT_EQ(kiln_headless::ticks(), 3008u);
    EXPECT_EQ(Kiln_getFps(), 50);
    EXPECT_EQ(Kiln_getCpuPercent(), 125) << "1000 busy ms over a budget of 50 * 16";
}

TEST_F(FrameLoop, WindowCloseThrowsTheQuitError) {
    kiln_headless::requestQuit();
    try {
        Kiln_waitFrame(16);
        FAIL() << "no quit";
    } catch (const KilnQuit& quit) {
        EXPECT_STREQ(quit.what(), "dKiln system quit.");
    }
    EXPECT_THROW(Kiln_waitFrame(16), KilnQuit) << "the request stays";
}

TEST_F(FrameLoop, AFileDroppedOnTheWindowIsOfferedForOneFrameOnce) {
    frame();
    EXPECT_EQ(Kiln_takeDroppedFile(), "");
    kiln_headless::dropFile("/home/player/best run.bin");
    EXPECT_EQ(Kiln_takeDroppedFile(), "") << "the drop arrives with the next frame's events";
    frame();
    EXPECT_EQ(Kiln_takeDroppedFile(), "/home/player/best run.bin");
    EXPECT_EQ(Kiln_takeDroppedFile(), "") << "taken once";

    kiln_headless::dropFile("replay_02.bin");
    frame();
    frame();
    EXPECT_EQ(Kiln_takeDroppedFile(), "") << "a drop nobody took in its frame is forgotten";
}

TEST_F(FrameLoop, EscapeHeldQuitsOnTheFirstFrame) {
    frame();
    kiln_headless::setKey(KEY_ESCAPE, true);
    EXPECT_THROW(Kiln_waitFrame(16), KilnQuit);
}

TEST_F(FrameLoop, OtherErrorsAreNotTheQuitError) {
    EXPECT_THROW(Kiln_drawTexture("nothing", 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0), KilnError);
    bool quit = false;
    try {
        Kiln_disposeTexture("nothing");
    } catch (const KilnQuit&) {
        quit = true;
    } catch (const KilnError&) {
    }
    EXPECT_FALSE(quit);
}

TEST_F(FrameLoop, F10TogglesTheCursorOncePerPush) {
    const bool before = cursorShown();
    kiln_headless::setKey(KEY_F10, true);
    frame();
    EXPECT_EQ(cursorShown(), !before);
    frame();
    EXPECT_EQ(cursorShown(), !before) << "held, not pushed again";
    kiln_headless::setKey(KEY_F10, false);
    frame();
    kiln_headless::setKey(KEY_F10, true);
    frame();
    EXPECT_EQ(cursorShown(), before);
}

TEST_F(FrameLoop, FullScreenStartHidesTheCursorUnlessAsked) {
    kiln_headless::reset();
    Kiln_useHeadlessBackend(noFiles());
    Kiln_init("test", 640, 480, true, false);
    EXPECT_FALSE(cursorShown());

    kiln_headless::reset();
    Kiln_useHeadlessBackend(noFiles());
    Kiln_init("test", 640, 480, true, true);
    EXPECT_TRUE(cursorShown());

    kiln_headless::reset();
    Kiln_useHeadlessBackend(noFiles());
    Kiln_init("test", 640, 480, false, false);
    EXPECT_TRUE(cursorShown()) << "a window keeps its cursor";
}

TEST_F(FrameLoop, SecondInitDoesNothing) {
    Kiln_setGlobalInt(3, 9);
    Kiln_init("again", 320, 240, false, false);
    EXPECT_EQ(Kiln_getScreenWidth(), 640);
    EXPECT_EQ(Kiln_getScreenHeight(), 480);
    EXPECT_EQ(Kiln_getGlobalInt(3), 9);
}

TEST_F(FrameLoop, InitClearsTheGlobalTable) {
    kiln_headless::reset();
    Kiln_useHeadlessBackend(noFiles());
    Kiln_setGlobalInt(REPLAY_FLAG_SLOT, 1);
    Kiln_init("test", 640, 480, false, false);
    EXPECT_EQ(Kiln_getGlobalInt(REPLAY_FLAG_SLOT), 0);
}

class FrameLoopFiles : public HeadlessTest {
protected:
    void SetUp() override { start(withFiles()); }
};

TEST_F(FrameLoopFiles, F9SwitchesFullScreenKeepingTexturesAndTheBlendMode) {
    writeSolidBmp("t.bmp", 8, 8, {1, 2, 3});
    Kiln_loadTexture("t", "t.bmp", {-1, 0, 0});
    Kiln_setBlendMode(BLEND_ADD);
    writeSolidBmp("t.bmp", 24, 16, {1, 2, 3});
    KilnHeadlessWorld& world = *kilnBackend().headless;
    world.appliedBlendMode = -1;
    kiln_headless::setKey(KEY_F9, true);
    frame();
    // Full screen on the desktop keeps the GL context: nothing is read again.
    EXPECT_EQ(kilnState().textures.at("t")->width, 8) << "not rebuilt from the file on disk";
    EXPECT_TRUE(world.fullScreen);
    EXPECT_TRUE(Kiln_isFullScreen());
    EXPECT_EQ(Kiln_getBlendMode(), BLEND_ADD);
    EXPECT_EQ(world.appliedBlendMode, BLEND_ADD) << "the blend state is applied again";
    kiln_headless::setKey(KEY_F9, false);
    frame();
    kiln_headless::setKey(KEY_F9, true);
    frame();
    EXPECT_FALSE(world.fullScreen) << "twice is back to a window";
    EXPECT_FALSE(Kiln_isFullScreen());
    EXPECT_EQ(kilnState().textures.at("t")->width, 8);
}

TEST_F(FrameLoopFiles, F4ReloadsTextures) {
    writeSolidBmp("t.bmp", 8, 8, {1, 2, 3});
    Kiln_loadTexture("t", "t.bmp", {-1, 0, 0});
    writeSolidBmp("t.bmp", 16, 8, {1, 2, 3});
    kiln_headless::setKey(KEY_F4, true);
    frame();
    EXPECT_EQ(kilnState().textures.at("t")->width, 16);
    EXPECT_FALSE(kilnBackend().headless->fullScreen) << "F4 is not F9";
}

}  // namespace
