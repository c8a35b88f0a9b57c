// The real SDL2/OpenGL window, when a display is there (for example under
// xvfb-run): start-up time, pixels that really reach the screen, the
// full-screen switch, the picture in a window of another size, and the cost
// of a frame of text. Skipped without one.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_opengl.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "kiln2/kiln_state.h"
#include "kiln2_sdl/real_backend.h"
#include "kiln2/kiln_test_support.h"

using namespace kiln_test;

namespace {

double cpuMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Colour of pixel (x, y), top-left origin, of a screenshot file.
Rgb shotPixel(const std::string& file, int x, int y) {
    SDL_Surface* image = IMG_Load(file.c_str());
    if (!image) return {1, 2, 3};
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(image, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(image);
    const auto* p = static_cast<const uint8_t*>(rgb->pixels) + y * rgb->pitch + x * 3;
    const Rgb colour{p[0], p[1], p[2]};
    SDL_FreeSurface(rgb);
    return colour;
}

bool sameColour(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

class RealWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        kiln_headless::reset();
        Kiln_useRealBackend();
        // Font: every cell white on the green key colour, except a one-pixel
        // green border, so a glyph is a white square with a transparent rim.
        writeBmp("resource/font/font.bmp", 128, 48, [](int x, int y) {
            const bool rim = x % 8 == 0 || y % 8 == 0;
            return rim ? Rgb{0, 255, 0} : Rgb{255, 255, 255};
        });
    }

    void TearDown() override {
        if (kilnState().initialized) Kiln_quit();
        kiln_headless::reset();
    }

    ScratchDir scratch_;
};

// Draws a red quarter, a white glyph and a blue texture, and saves the
// screenshot; answers its file name.
std::string shootTheTestPicture() {
    Kiln_resetView();
    Kiln_setBlendMode(BLEND_ALPHA);
    Kiln_clear();
    Kiln_drawRect(0, 0, 320, 240, 0, 0, 255, 0, 0, 255);
    Kiln_drawText("0", 400, 300, 4.0f, 255, 255, 255, 255);
    writeSolidBmp("blue.bmp", 16, 16, {0, 0, 255});
    Kiln_loadTexture("blue", "blue.bmp", {-1, 0, 0});
    Kiln_drawTexture("blue", 500, 100, 0, 0, 0, 0, 2.0f, 2.0f, 0, 255, 255, 255, 255);
    return Kiln_screenshot();
}

TEST_F(RealWindow, StartsQuicklyAndDrawsWhatItIsAsked) {
    const auto begin = std::chrono::steady_clock::now();
    const double cpuBegin = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    try {
        Kiln_init("KVR2013 test", 640, 480, false, false);
    } catch (const KilnError& e) {
        GTEST_SKIP() << "no usable GL window here: " << e.what();
    }
    const auto initialised = std::chrono::steady_clock::now();
    const double cpuInitialised = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    Kiln_resetView();
    Kiln_clear();
    Kiln_flip();
    const auto firstFrame = std::chrono::steady_clock::now();
    const double cpuFirstFrame = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    using Ms = std::chrono::duration<double, std::milli>;
    std::printf("[ timing   ] Kiln_init %.1f ms (%.1f ms CPU), first frame presented after %.1f ms (%.1f ms CPU)\n",
                Ms(initialised - begin).count(), cpuInitialised - cpuBegin, Ms(firstFrame - begin).count(),
                cpuFirstFrame - cpuBegin);

    const std::string shot = shootTheTestPicture();
    ASSERT_EQ(shot, "screenshots/kilnshot-0001.png");
    ASSERT_TRUE(std::filesystem::exists(shot));
    EXPECT_TRUE(sameColour(shotPixel(shot, 10, 10), Rgb{255, 0, 0}));
    EXPECT_TRUE(sameColour(shotPixel(shot, 330, 250), Rgb{0, 0, 0}));
    EXPECT_TRUE(sameColour(shotPixel(shot, 400 + 16, 300 + 16), Rgb{255, 255, 255})) << "inside the glyph";
    EXPECT_TRUE(sameColour(shotPixel(shot, 400 + 1, 300 + 1), Rgb{0, 0, 0})) << "its keyed rim";
    EXPECT_TRUE(sameColour(shotPixel(shot, 531, 131), Rgb{0, 0, 255})) << "texture scaled to 32x32";
    EXPECT_TRUE(sameColour(shotPixel(shot, 533, 133), Rgb{0, 0, 0}));
    Kiln_flip();
    Kiln_waitFrame(16);
}

TEST_F(RealWindow, FullScreenSwitchKeepsTexturesUsable) {
    try {
        Kiln_init("KVR2013 test", 640, 480, false, false);
    } catch (const KilnError& e) {
        GTEST_SKIP() << "no usable GL window here: " << e.what();
    }
    writeSolidBmp("blue.bmp", 16, 16, {0, 0, 255});
    Kiln_loadTexture("blue", "blue.bmp", {-1, 0, 0});
    Kiln_setBlendMode(BLEND_ALPHA);
    try {
        Kiln_toggleFullScreen();
        Kiln_toggleFullScreen();
    } catch (const KilnError& e) {
        GTEST_SKIP() << "this display has no full screen: " << e.what();
    }
    Kiln_resetView();
    Kiln_clear();
    Kiln_drawTexture("blue", 0, 0, 0, 0, 0, 0, 1.0f, 1.0f, 0, 255, 255, 255, 255);
    const std::string shot = Kiln_screenshot();
    EXPECT_TRUE(sameColour(shotPixel(shot, 8, 8), Rgb{0, 0, 255}));
    EXPECT_EQ(Kiln_getBlendMode(), BLEND_ALPHA);
}

TEST_F(RealWindow, AFileDroppedOnTheWindowReachesTheGame) {
    try {
        Kiln_init("KVR2013 test", 640, 480, false, false);
    } catch (const KilnError& e) {
        GTEST_SKIP() << "no usable GL window here: " << e.what();
    }
    // What the window system posts when a file is dragged onto the window; SDL hands over the path's copy.
    SDL_Event drop{};
    drop.type = SDL_DROPFILE;
    drop.drop.file = SDL_strdup("/tmp/a replay.bin");
    drop.drop.windowID = 0;
    ASSERT_EQ(SDL_PushEvent(&drop), 1) << SDL_GetError();
    Kiln_waitFrame(16);
    EXPECT_EQ(Kiln_takeDroppedFile(), "/tmp/a replay.bin");
    Kiln_waitFrame(16);
    EXPECT_EQ(Kiln_takeDroppedFile(), "");
}

// Draws the test picture, saves the screenshot and checks it is the 640x480
// picture with exactly those pixels.
void expectScreenshotOfTheTestPicture() {
    const std::string shot = shootTheTestPicture();
    ASSERT_TRUE(std::filesystem::exists(shot)) << shot;
    SDL_Surface* image = IMG_Load(shot.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, 640);
    EXPECT_EQ(image->h, 480);
    SDL_FreeSurface(image);
    EXPECT_TRUE(sameColour(shotPixel(shot, 10, 10), Rgb{255, 0, 0}));
    EXPECT_TRUE(sameColour(shotPixel(shot, 319, 239), Rgb{255, 0, 0}));
    EXPECT_TRUE(sameColour(shotPixel(shot, 320, 240), Rgb{0, 0, 0}));
    EXPECT_TRUE(sameColour(shotPixel(shot, 400 + 16, 300 + 16), Rgb{255, 255, 255}));
    EXPECT_TRUE(sameColour(shotPixel(shot, 531, 131), Rgb{0, 0, 255}));
    EXPECT_TRUE(sameColour(shotPixel(shot, 533, 133), Rgb{0, 0, 0}));
}

TEST_F(RealWindow, TheScreenshotIsThePictureWhateverTheWindowsSizeAndScaling) {
    try {
        Kiln_init("KVR2013 test", 1000, 500, false, false);
    } catch (const KilnError& e) {
        GTEST_SKIP() << "no usable GL window here: " << e.what();
    }
    expectScreenshotOfTheTestPicture();
    Kiln_flip();  // the picture survives being shown in the window
    Kiln_setPictureScaling(PICTURE_INTEGER);
    Kiln_flip();
    Kiln_waitFrame(16);
    const std::string shot = Kiln_screenshot();
    EXPECT_TRUE(sameColour(shotPixel(shot, 10, 10), Rgb{255, 0, 0}));
    EXPECT_TRUE(sameColour(shotPixel(shot, 531, 131), Rgb{0, 0, 255}));
}

TEST_F(RealWindow, WithoutFramebufferObjectsTheScenesDrawStraightIntoTheWindow) {
    auto backend = kilnMakeRealBackend();
    backend->video = kilnMakeSdlGlVideoWithoutPicture();
    kilnInstallBackend(std::move(backend));
    try {
        Kiln_init("KVR2013 test", 640, 480, false, false);
    } catch (const KilnError& e) {
        GTEST_SKIP() << "no usable GL window here: " << e.what();
    }
    expectScreenshotOfTheTestPicture();
    Kiln_flip();
    Kiln_waitFrame(16);
}

// The window's pixels as last shown. Mesa's software renderer under Xvfb
// copies the back buffer out at a swap and leaves it as it was, so it still
// holds what was shown; the picture is bound again afterwards.
std::vector<uint8_t> shownWindow(int width, int height) {
    using BindFramebuffer = void(APIENTRY*)(GLenum, GLuint);
    auto bind = reinterpret_cast<BindFramebuffer>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    GLint picture = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &picture);
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    bind(GL_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    bind(GL_FRAMEBUFFER, static_cast<GLuint>(picture));
    return rgb;
}

// Most of a run's picture is black: only the cells drawn on are scaled into
// the window, and the window must come out as if the whole picture had been.
TEST_F(RealWindow, ShowingOnlyTheDrawnCellsLooksTheSameAsShowingTheWholePicture) {
    try {
        Kiln_init("KVR2013 test", 1000, 500, false, false);
    } catch (const KilnError& e) {
        GTEST_SKIP() << "no usable GL window here: " << e.what();
    }
    writeSolidBmp("blue.bmp", 16, 16, {0, 0, 255});
    Kiln_loadTexture("blue", "blue.bmp", {-1, 0, 0});
    for (KilnPictureScaling scaling : {PICTURE_SMOOTH, PICTURE_INTEGER}) {
        SCOPED_TRACE(scaling == PICTURE_SMOOTH ? "smooth" : "integer");
        Kiln_setPictureScaling(scaling);
        std::vector<uint8_t> shown[2];
        for (int whole = 0; whole < 2; ++whole) {
            Kiln_resetView();
            Kiln_setBlendMode(BLEND_ALPHA);
            Kiln_clear();
            Kiln_drawRect(37, 41, 50, 3, 0, 0, 255, 128, 0, 255);
            Kiln_drawRect(600, 400, 39, 79, 2, 0, 0, 255, 0, 255);
            Kiln_drawText("12", 301, 203, 2.0f, 255, 255, 255, 255);
            Kiln_drawTexture("blue", 500, 100, 0, 0, 0, 0, 2.0f, 2.0f, 30.0f, 255, 255, 255, 255);
            Kiln_drawCircle(100, 300, 25, 1, 255, 255, 0, 255);
            if (whole == 1) kilnState().drawnCells.markAll();
            Kiln_flip();
            shown[whole] = shownWindow(1000, 500);
        }
        size_t different = 0;
        for (size_t i = 0; i < shown[0].size(); ++i) different += shown[0][i] != shown[1][i] ? 1 : 0;
        EXPECT_EQ(different, 0u);
        size_t lit = 0;
        for (uint8_t value : shown[0]) lit += value != 0 ? 1 : 0;
        EXPECT_GT(lit, 1000u) << "the drawing reached the window";
    }
}

TEST_F(RealWindow, TitleScreenOfTextIsCheap) {
    try {
        Kiln_init("KVR2013 test", 640, 480, false, false);
    } catch (const KilnError& e) {
        GTEST_SKIP() << "no usable GL window here: " << e.what();
    }
    const std::string line = "PUSH Z KEY TO START  HI:123450";  // 30 glyph cells
    const int frames = 120;
    double drawCpu = 0;
    double frameCpu = 0;
    for (int i = 0; i < frames; ++i) {
        const double before = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        const double threadBefore = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        Kiln_resetView();
        Kiln_setBlendMode(BLEND_ALPHA);
        Kiln_clear();
        for (int row = 0; row < 6; ++row) Kiln_drawText(line, 40, 100 + row * 20, 1.5f, 255, 255, 255, 255);
        Kiln_drawFps(550, 10);
        drawCpu += cpuMs(CLOCK_THREAD_CPUTIME_ID) - threadBefore;
        Kiln_flip();
        frameCpu += cpuMs(CLOCK_PROCESS_CPUTIME_ID) - before;
        Kiln_waitFrame(16);
    }
    std::printf("[ timing   ] a frame of about 190 glyphs: drawing calls %.3f ms CPU; with the swap and the "
                "GL driver's threads %.3f ms CPU\n",
                drawCpu / frames, frameCpu / frames);
    EXPECT_GT(Kiln_getFps(), 0);
}

}  // namespace
