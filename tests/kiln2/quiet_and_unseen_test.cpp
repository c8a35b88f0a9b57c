// The framework's two scopes for a run nobody is meant to see or hear (a
// ghost, a theatre catching up after a jump): inside a quiet scope sounds,
// music, the draw offset and the log do nothing; inside a discard scope every
// drawing call is thrown away. Both give back what was there before.
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class QuietAndUnseen : public HeadlessTest {
protected:
    void SetUp() override {
        KilnHeadlessOptions options = noFiles();
        options.writeRunLog = true;
        start(options);
        Kiln_loadWAV("miss", "resource/sound/miss.wav");
    }

    static int eventCount() { return static_cast<int>(kiln_headless::soundEvents().size()); }

    // Where a 1x1 rectangle asked for at (0, 0) lands: the draw offset.
    static std::pair<float, float> offsetSeen() {
        kiln_headless::clearDrawCalls();
        Kiln_drawRect(0, 0, 1, 1, 0, 0.0f, 255, 255, 255, 255);
        const KilnDrawCall& call = kiln_headless::drawCalls().back();
        return {call.x, call.y};
    }
};

TEST_F(QuietAndUnseen, AQuietStretchIsNeitherHeardNorLoggedNorShaken) {
    Kiln_setDrawOffset(8, 4);
    Kiln_playBgm("resource/sound/bgm.ogg", -1, 0);
    const int before = eventCount();
    testing::internal::CaptureStderr();
    {
        KilnQuietScope quiet;
        Kiln_playWAV("miss", 0, -1);
        Kiln_playBgm("resource/sound/results.wav", 0, 0);
        Kiln_setDrawOffset(40, 40);
        Kiln_log("Gamecoer init\n");
        Kiln_logException(KilnError("a replay's read error"));
        EXPECT_EQ(offsetSeen(), std::make_pair(8.0f, 4.0f)) << "the picture does not shake";
        {
            KilnQuietScope nested;
            Kiln_playWAV("miss", 0, -1);
        }
        Kiln_playWAV("miss", 0, -1);  // still quiet after the nested scope ended
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(eventCount(), before);
    EXPECT_EQ(readFile("run.log").find("Gamecoer"), std::string::npos);

    Kiln_playWAV("miss", 0, -1);
    Kiln_setDrawOffset(12, 0);
    Kiln_log("heard again\n");
    EXPECT_EQ(eventCount(), before + 1);
    EXPECT_EQ(offsetSeen(), std::make_pair(12.0f, 0.0f));
    EXPECT_NE(readFile("run.log").find("heard again"), std::string::npos);
}

TEST_F(QuietAndUnseen, AQuietStretchStillStopsMusicAndRegistersSounds) {
    Kiln_playBgm("resource/sound/bgm.ogg", -1, 0);
    {
        KilnQuietScope quiet;
        Kiln_loadWAV("break", "resource/sound/break.wav");
        Kiln_stopBgm(0);
    }
    ASSERT_FALSE(kiln_headless::soundEvents().empty());
    EXPECT_EQ(kiln_headless::soundEvents().back().kind, KilnSoundEvent::STOP_BGM) << "only making sound is quiet";
    Kiln_playWAV("break", 0, -1);
    EXPECT_EQ(kiln_headless::soundEvents().back().name, "break");
}

TEST_F(QuietAndUnseen, DrawingInADiscardScopeReachesNothingAndComesBackAfter) {
    Kiln_loadTexture("tama", "resource/image/tama.bmp", {0, 255, 0});
    ASSERT_FALSE(Kiln_isDrawingDiscarded());
    {
        KilnDiscardDrawingScope unseen;
        EXPECT_TRUE(Kiln_isDrawingDiscarded());
        Kiln_clear();
        Kiln_drawRect(0, 0, 10, 10, 0, 0.0f, 255, 0, 0, 255);
        Kiln_drawText("SCORE:1", 2, 2, 2.0f, 255, 255, 255, 255);
        Kiln_drawTexture("tama", 0, 0, 0, 0, 8, 8, 1.0f, 1.0f, 0.0f, 255, 255, 255, 255);
        Kiln_drawCircle(50, 50, 10, 0, 255, 255, 255, 255);
        EXPECT_EQ(errorOf([] { Kiln_drawTexture("nope", 0, 0, 0, 0, 8, 8, 1, 1, 0, 255, 255, 255, 255); }),
                  "Kiln_drawTexture: Has not exist key: nope")
            << "a missing texture is still an error while nothing is drawn";
    }
    EXPECT_TRUE(kiln_headless::drawCalls().empty());
    EXPECT_FALSE(Kiln_isDrawingDiscarded());
    Kiln_drawRect(0, 0, 10, 10, 0, 0.0f, 255, 0, 0, 255);
    EXPECT_EQ(kiln_headless::drawCalls().size(), 1u);
}

TEST(QuietAndUnseenOnAVerifierBackend, EndingADiscardScopeKeepsABackendThatDrawsNothing) {
    kiln_headless::reset();
    KilnHeadlessOptions options;
    options.readResourceFiles = false;
    options.recordDrawCalls = false;
    options.writeRunLog = false;
    Kiln_useHeadlessBackend(options);
    Kiln_init("test", 640, 480, false, false);
    ASSERT_TRUE(Kiln_isDrawingDiscarded());
    { KilnDiscardDrawingScope unseen; }
    EXPECT_TRUE(Kiln_isDrawingDiscarded());
    Kiln_quit();
    kiln_headless::reset();
}

}  // namespace
