// The logo scene: how long it stays, what skips it, and what it draws.
#include "headless_scene.h"
#include "state/logo_main.h"
#include "state/title_main.h"

namespace {

using LogoMainTest = HeadlessScene;

TEST_F(LogoMainTest, StaysExactly181FramesWithoutInput) {
    int logoFrames = 0;
    while (dynamic_cast<TitleMain*>(currentSceneForTest()) == nullptr) {
        ASSERT_TRUE(frame());
        if (dynamic_cast<LogoMain*>(currentSceneForTest())) ++logoFrames;
        ASSERT_LE(logoFrames, 500) << "the logo never handed over";
    }
    EXPECT_EQ(logoFrames, 181);
}

TEST_F(LogoMainTest, PostsTheTitleOnlyWhenTheTimerPasses180) {
    LogoMain logo;
    for (int i = 1; i <= 180; ++i) {
        logo.update();
        ASSERT_EQ(logo.getMessage(), MSG_NONE) << "frame " << i;
    }
    logo.update();
    EXPECT_EQ(logo.getLogoTimer(), 181);
    EXPECT_EQ(logo.getMessage(), MSG_TITLE);
}

TEST_F(LogoMainTest, AHeldFromTheStartSkipsInFrame2AndTheTitleFollowsInFrame3) {
    // The key is down before the first frame, but the devices are first read
    // by the wait after frame 1.
    setKey(KEY_z, true);
    frame();
    EXPECT_EQ(currentSceneForTest()->getMessage(), MSG_NONE);
    frame();
    EXPECT_EQ(currentSceneForTest()->getMessage(), MSG_TITLE);
    EXPECT_NE(dynamic_cast<LogoMain*>(currentSceneForTest()), nullptr);
    frame();
    EXPECT_NE(dynamic_cast<TitleMain*>(currentSceneForTest()), nullptr);
}

TEST_F(LogoMainTest, EachSkipKeySkips) {
    for (int key : {KEY_z, KEY_SPACE, KEY_x, KEY_RETURN}) {
        LogoMain logo;
        logo.update();
        tapKeyForNextFrame(key);
        logo.update();
        EXPECT_EQ(logo.getMessage(), MSG_TITLE) << "key " << key;
        Kiln_waitFrame(16);
    }
}

TEST_F(LogoMainTest, DirectionKeysDoNotSkip) {
    LogoMain logo;
    logo.update();
    for (int key : {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT}) {
        tapKeyForNextFrame(key);
        logo.update();
        Kiln_waitFrame(16);
    }
    EXPECT_EQ(logo.getMessage(), MSG_NONE);
}

TEST_F(LogoMainTest, HoldingAKeyFromBeforeTheSceneIsNotAPress) {
    // A button still held from earlier went down in no frame of the logo.
    setKey(KEY_z, true);
    Kiln_waitFrame(16);
    Kiln_waitFrame(16);
    LogoMain logo;
    for (int i = 0; i < 10; ++i) {
        logo.update();
        Kiln_waitFrame(16);
    }
    EXPECT_EQ(logo.getMessage(), MSG_NONE);
}

TEST_F(LogoMainTest, LoadsThePictureOnItsFirstUpdateAndDrawsItCentredAndOpaque) {
    LogoMain logo;
    EXPECT_FALSE(Kiln_hasTexture("logo"));
    logo.update();
    EXPECT_TRUE(Kiln_hasTexture("logo"));

    kiln_headless::clearDrawCalls();
    logo.draw();
    const auto& calls = kiln_headless::drawCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, KilnDrawCall::CLEAR);
    const KilnDrawCall& picture = calls[1];
    EXPECT_EQ(picture.kind, KilnDrawCall::TEXTURE);
    EXPECT_EQ(picture.key, "logo");
    EXPECT_EQ(picture.x, 160.0f);
    EXPECT_EQ(picture.y, 120.0f);
    EXPECT_EQ(picture.w, 320.0f);
    EXPECT_EQ(picture.h, 320.0f);
    EXPECT_EQ(picture.srcX, 0);
    EXPECT_EQ(picture.srcY, 0);
    EXPECT_EQ(picture.srcW, 320);
    EXPECT_EQ(picture.srcH, 320);
    EXPECT_EQ(picture.angle, 0.0f);
    EXPECT_EQ(picture.a, 255);
    EXPECT_EQ(picture.r, 255);
    EXPECT_EQ(picture.blendMode, BLEND_ALPHA);
}

}  // namespace
