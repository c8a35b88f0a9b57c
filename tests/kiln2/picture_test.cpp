// The 640x480 picture in a window of any shape: where it sits (centred, 4:3,
// smooth or whole multiples), and the mouse read back into picture
// coordinates, high-DPI scale included, and outside them on the black bars.
#include "kiln2/picture_fit.h"
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

struct Rect {
    int x, y, width, height;
    bool operator==(const Rect&) const = default;
};

Rect fit(int width, int height, KilnPictureScaling scaling) {
    const KilnPictureRect r = kilnFitPicture(width, height, scaling);
    return {r.x, r.y, r.width, r.height};
}

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << r.width << "x" << r.height << "+" << r.x << "+" << r.y;
}

TEST(PictureFit, SmoothKeepsTheShapeCentredWithBarsOnTheLongSides) {
    EXPECT_EQ(fit(640, 480, PICTURE_SMOOTH), (Rect{0, 0, 640, 480}));
    EXPECT_EQ(fit(1000, 500, PICTURE_SMOOTH), (Rect{167, 0, 666, 500})) << "bars left and right";
    EXPECT_EQ(fit(500, 1000, PICTURE_SMOOTH), (Rect{0, 312, 500, 375})) << "bars above and below";
    EXPECT_EQ(fit(1920, 1080, PICTURE_SMOOTH), (Rect{240, 0, 1440, 1080}));
    EXPECT_EQ(fit(1280, 960, PICTURE_SMOOTH), (Rect{0, 0, 1280, 960}));
    EXPECT_EQ(fit(320, 240, PICTURE_SMOOTH), (Rect{0, 0, 320, 240}));
    EXPECT_EQ(fit(0, 480, PICTURE_SMOOTH), (Rect{0, 0, 0, 0}));
}

TEST(PictureFit, IntegerUsesTheLargestWholeMultipleThatFits) {
    EXPECT_EQ(fit(1920, 1080, PICTURE_INTEGER), (Rect{320, 60, 1280, 960}));
    EXPECT_EQ(fit(1000, 500, PICTURE_INTEGER), (Rect{180, 10, 640, 480}));
    EXPECT_EQ(fit(1280, 1000, PICTURE_INTEGER), (Rect{0, 20, 1280, 960}));
    EXPECT_EQ(fit(3840, 2160, PICTURE_INTEGER), (Rect{640, 120, 2560, 1920})) << "limited by the height";
    // No whole multiple fits a window smaller than the picture: it is scaled down smoothly.
    EXPECT_EQ(fit(500, 1000, PICTURE_INTEGER), fit(500, 1000, PICTURE_SMOOTH));
}

TEST(PictureFit, WindowPointsMapBackToPicturePointsAndBarsToNone) {
    const KilnPictureRect picture = kilnFitPicture(1000, 500, PICTURE_SMOOTH);
    int x = 0, y = 0;
    ASSERT_TRUE(kilnPicturePoint(picture, 167, 0, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(kilnPicturePoint(picture, 832, 499, x, y));
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
    ASSERT_TRUE(kilnPicturePoint(picture, 500, 250, x, y));
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
    // Past the edges the point carries on, outside the picture's range.
    EXPECT_FALSE(kilnPicturePoint(picture, 166, 250, x, y)) << "the left bar";
    EXPECT_EQ(x, -1);
    EXPECT_FALSE(kilnPicturePoint(picture, 0, 250, x, y));
    EXPECT_EQ(x, -161);
    EXPECT_FALSE(kilnPicturePoint(picture, 833, 250, x, y)) << "the right bar";
    EXPECT_EQ(x, 640);
    EXPECT_FALSE(kilnPicturePoint(picture, 500, -1, x, y));
    EXPECT_EQ(y, -1);
    EXPECT_FALSE(kilnPicturePoint(picture, 500, 500, x, y));
    EXPECT_EQ(y, 480);
    EXPECT_FALSE(kilnPicturePoint(KilnPictureRect{}, 0, 0, x, y)) << "no picture at all";
}

class PictureMouse : public HeadlessTest {
protected:
    void SetUp() override { start(noFiles()); }

    static std::pair<int, int> mouseAt(int x, int y) {
        kiln_headless::setMouse(x, y, 0);
        return {Kiln_getMouseX(), Kiln_getMouseY()};
    }
};

TEST_F(PictureMouse, TheMouseReadsPicturePointsAtEveryWindowSize) {
    EXPECT_EQ(mouseAt(12, 34), std::make_pair(12, 34)) << "a 640x480 window is the picture";
    EXPECT_EQ(mouseAt(-5, 700), std::make_pair(-5, 700)) << "and the world around it";
    kiln_headless::setWindowGeometry(1000, 500, 1000, 500);
    EXPECT_EQ(mouseAt(167 + 333, 250), std::make_pair(320, 240));
    // A click on a bar is outside the picture, where no widget is.
    EXPECT_LT(mouseAt(100, 250).first, 0);
    EXPECT_GE(mouseAt(900, 10).first, 640);
    kiln_headless::setWindowGeometry(500, 1000, 500, 1000);
    EXPECT_EQ(mouseAt(250, 500), std::make_pair(320, 240));
    EXPECT_LT(mouseAt(250, 100).second, 0);
    EXPECT_GE(mouseAt(250, 900).second, 480);
    // High DPI: the window counts in points, the picture is placed in pixels.
    kiln_headless::setWindowGeometry(640, 480, 1280, 960);
    EXPECT_EQ(mouseAt(320, 240), std::make_pair(320, 240));
    EXPECT_EQ(mouseAt(639, 479), std::make_pair(639, 479));
    kiln_headless::setWindowGeometry(1000, 500, 2000, 1000);
    EXPECT_EQ(mouseAt(500, 250), std::make_pair(320, 240));
}

TEST_F(PictureMouse, TheScalingChoiceReachesTheWindowAndTheMouse) {
    EXPECT_EQ(Kiln_getPictureScaling(), PICTURE_SMOOTH);
    EXPECT_EQ(kiln_headless::pictureScaling(), PICTURE_SMOOTH);
    Kiln_setPictureScaling(PICTURE_INTEGER);
    EXPECT_EQ(kiln_headless::pictureScaling(), PICTURE_INTEGER);
    kiln_headless::setWindowGeometry(1000, 500, 1000, 500);
    // Integer: 640x480 at (180, 10), so the smooth picture's left edge is now a bar.
    EXPECT_EQ(mouseAt(180, 10), std::make_pair(0, 0));
    EXPECT_EQ(mouseAt(170, 250), std::make_pair(-10, 240));
    EXPECT_EQ(mouseAt(819, 489), std::make_pair(639, 479));
}

TEST_F(PictureMouse, AChoiceMadeBeforeStartUpIsHandedToTheWindowThen) {
    kiln_headless::reset();
    Kiln_useHeadlessBackend(noFiles());
    Kiln_setPictureScaling(PICTURE_INTEGER);
    Kiln_init("test", 640, 480, false, false);
    EXPECT_EQ(kiln_headless::pictureScaling(), PICTURE_INTEGER);
}

}  // namespace
