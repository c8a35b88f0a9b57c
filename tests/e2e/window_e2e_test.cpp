// The real game's window at any size: captures of the window itself show the
// 4:3 picture centred with black bars on the long sides, F9 fills the screen
// with the picture in shape (a window manager carries full screen out) and
// returns to the window, and integer scaling shows every picture pixel as a
// crisp square. F12 always saves the 640x480 picture.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "e2e_support.h"
#include "screenshot.h"

namespace {

using namespace e2e;

// Bright parts of a picture screenshot, placed where the window shows the picture.
Box placedIn(const Box& inPicture, const PictureRect& picture) {
    return {picture.x + inPicture.x0 * picture.width / 640, picture.y + inPicture.y0 * picture.height / 480,
            picture.x + inPicture.x1 * picture.width / 640, picture.y + inPicture.y1 * picture.height / 480};
}

// Within a few pixels: the smooth filter spreads an edge by one or two.
bool near(const Box& a, const Box& b) {
    return std::abs(a.x0 - b.x0) <= 3 && std::abs(a.y0 - b.y0) <= 3 && std::abs(a.x1 - b.x1) <= 3 &&
           std::abs(a.y1 - b.y1) <= 3;
}

std::string describe(const Box& b) {
    std::ostringstream text;
    text << "(" << b.x0 << "," << b.y0 << ")-(" << b.x1 << "," << b.y1 << ")";
    return text.str();
}

class WindowE2E : public GameWindowTest {
protected:
    void TearDown() override {
        if (capture) SDL_FreeSurface(capture);
        if (picture) SDL_FreeSurface(picture);
    }

    void startAtTitleAndShoot(const std::vector<std::string>& args = {}) {
        ASSERT_NO_FATAL_FAILURE(startAtTitle(args));
        picture = takeScreenshot(dir, window);
        ASSERT_NE(picture, nullptr);
        ASSERT_EQ(picture->w, 640);
        ASSERT_EQ(picture->h, 480);
    }

    // Captures the window until it is width x height and shows the title's
    // bright parts where the picture belongs; false when that never happens.
    bool waitForPictureAt(int width, int height, const PictureRect& expected) {
        const Box want = placedIn(brightBox(picture), expected);
        return waitUntil([&] {
            if (capture) SDL_FreeSurface(capture);
            capture = captureWindow(dir, window);
            return capture && capture->w == width && capture->h == height && near(brightBox(capture), want);
        });
    }

    SDL_Surface* picture = nullptr;  // the F12 screenshot of the title
    SDL_Surface* capture = nullptr;  // the window as the X server shows it
};

TEST_F(WindowE2E, ThePictureKeepsItsShapeInAWideAndInATallWindow) {
    ASSERT_NO_FATAL_FAILURE(startAtTitleAndShoot());
    struct Size {
        int width, height;
        bool wide;
    };
    for (const Size size : {Size{1000, 500, true}, Size{500, 1000, false}}) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        placeWindow(window, size.width, size.height);
        const PictureRect expected = expectedPicture(size.width, size.height);
        ASSERT_TRUE(waitForPictureAt(size.width, size.height, expected))
            << "bright parts at " << (capture ? describe(brightBox(capture)) : "no capture") << ", expected near "
            << describe(placedIn(brightBox(picture), expected));
        if (size.wide) {
            EXPECT_EQ(expected.width, 666);
            EXPECT_EQ(litPixels(capture, 0, 0, expected.x, size.height), 0) << "the left bar is black";
            EXPECT_EQ(litPixels(capture, expected.x + expected.width, 0, size.width, size.height), 0);
        } else {
            EXPECT_EQ(expected.height, 375);
            EXPECT_EQ(litPixels(capture, 0, 0, size.width, expected.y), 0) << "the top bar is black";
            EXPECT_EQ(litPixels(capture, 0, expected.y + expected.height, size.width, size.height), 0);
        }
        // F12 still saves the picture itself, the same as before the resize.
        SDL_Surface* again = takeScreenshot(dir, window);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(again->w, 640);
        EXPECT_EQ(again->h, 480);
        EXPECT_EQ(litPixels(again, 0, 0, 640, 480), litPixels(picture, 0, 0, 640, 480));
        SDL_FreeSurface(again);
    }
    quitWithEscape();
}

TEST_F(WindowE2E, F9FillsTheScreenWithThePictureInShapeAndF9AgainGivesTheWindowBack) {
    WindowManager windowManager(dir);
    ASSERT_TRUE(windowManager.running()) << "openbox did not start (scripts/setup.sh installs it): "
                                         << dir.read("openbox.log");
    ASSERT_NO_FATAL_FAILURE(startAtTitleAndShoot({"-res", "1000", "500"}));
    const WindowGeometry screen = screenSize();
    ASSERT_GT(screen.width, 0);
    pressKey(window, "F9");
    ASSERT_TRUE(waitUntil([&] {
        const WindowGeometry now = windowGeometry(window);
        return now.width == screen.width && now.height == screen.height;
    })) << "the window never covered the screen";
    const PictureRect expected = expectedPicture(screen.width, screen.height);
    ASSERT_TRUE(waitForPictureAt(screen.width, screen.height, expected))
        << "bright parts at " << (capture ? describe(brightBox(capture)) : "no capture");
    EXPECT_EQ(litPixels(capture, 0, 0, screen.width, expected.y), 0);
    EXPECT_EQ(litPixels(capture, 0, 0, expected.x, screen.height), 0);

    pressKey(window, "F9");
    EXPECT_TRUE(waitUntil([&] {
        const WindowGeometry now = windowGeometry(window);
        return now.width == 1000 && now.height == 500;
    })) << "not back to the earlier window size";
    EXPECT_TRUE(waitForPictureAt(1000, 500, expectedPicture(1000, 500)));
    quitWithEscape();
}

TEST_F(WindowE2E, IntegerScalingShowsEachPicturePixelAsACrispSquare) {
    dir.write("config.ini", "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\nPICTURE = integer\n");
    ASSERT_NO_FATAL_FAILURE(startAtTitleAndShoot());
    const WindowGeometry screen = screenSize();
    const int width = std::min(screen.width, 1280);
    const int height = std::min(screen.height, 1000);
    placeWindow(window, width, height);
    const PictureRect expected = expectedPicture(width, height, true);
    const int scale = expected.width / 640;
    ASSERT_GE(scale, 1);
    ASSERT_TRUE(waitForPictureAt(width, height, expected));
    // Every window pixel of the picture is its picture pixel, unblended.
    int different = 0;
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            const Rgb shown = pixelAt(capture, expected.x + x, expected.y + y);
            const Rgb drawn = pixelAt(picture, x / scale, y / scale);
            different += shown.r != drawn.r || shown.g != drawn.g || shown.b != drawn.b ? 1 : 0;
        }
    }
    EXPECT_EQ(different, 0) << "at " << scale << "x";
    EXPECT_EQ(litPixels(capture, 0, 0, width, expected.y), 0);
    EXPECT_EQ(litPixels(capture, 0, expected.y + expected.height, width, height), 0);
    quitWithEscape();
    EXPECT_EQ(game->runLog().find("PICTURE"), std::string::npos) << "a good value is no problem";
}

}  // namespace
