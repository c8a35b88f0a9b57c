// The 640x480 picture in a window of any shape: where it sits (centred, 4:3,
// smooth or whole multiples), the mouse read back into picture coordinates,
// high-DPI scale included, and outside them on the black bars; and the cells
// of the picture each kind of drawing marks as drawn on.
#include <cmath>

#include "kiln2/kiln_state.h"
#include "kiln2/picture_cells.h"
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

namespace {

int markedCount(const KilnPictureCells& cells) {
    int count = 0;
    for (int row = 0; row < KilnPictureCells::ROWS; ++row) count += static_cast<int>(cells.row(row).count());
    return count;
}

TEST(PictureCells, ARectangleMarksTheCellsItTouchesInsideThePicture) {
    KilnPictureCells cells;
    cells.mark(8.0f, 16.0f, 24.5f, 17.0f);  // columns 1 to 3, row 2
    EXPECT_EQ(markedCount(cells), 3);
    EXPECT_TRUE(cells.marked(1, 2) && cells.marked(3, 2));
    EXPECT_FALSE(cells.marked(0, 2) || cells.marked(4, 2) || cells.marked(1, 1) || cells.marked(1, 3));
    cells.clear();
    cells.mark(-100.0f, -100.0f, 4.0f, 3.0f);
    EXPECT_EQ(markedCount(cells), 1) << "only the corner cell is in the picture";
    cells.clear();
    cells.mark(630.0f, 470.0f, 5000.0f, 9000.0f);
    EXPECT_EQ(markedCount(cells), 4);
    EXPECT_TRUE(cells.marked(79, 59));
    cells.clear();
    cells.mark(700.0f, 10.0f, 800.0f, 20.0f);
    cells.mark(10.0f, 20.0f, 5.0f, 30.0f);
    cells.mark(std::nanf(""), 0.0f, 10.0f, 10.0f);
    EXPECT_EQ(markedCount(cells), 0) << "outside, reversed and unreadable rectangles mark nothing";
    cells.markAll();
    EXPECT_EQ(markedCount(cells), 80 * 60);
}

class DrawnCells : public HeadlessTest {
protected:
    void SetUp() override {
        start(noFiles());
        Kiln_loadTexture("sprite", "sprite.bmp", {0, 0, 0});
        Kiln_clear();
    }
    static const KilnPictureCells& drawn() { return kilnState().drawnCells; }
};

TEST_F(DrawnCells, EveryKindOfDrawingMarksWhereItCanReachAndAClearForgetsIt) {
    Kiln_drawRect(100, 100, 16, 16, 0, 0, 255, 0, 0, 255);  // picture pixels 100..115, one more either side
    EXPECT_TRUE(drawn().marked(12, 12) && drawn().marked(14, 14));
    EXPECT_FALSE(drawn().marked(11, 12) || drawn().marked(15, 12) || drawn().marked(12, 15));
    EXPECT_EQ(markedCount(drawn()), 9);

    Kiln_clear();
    EXPECT_EQ(markedCount(drawn()), 0);
    // An outline reaches half its width past its rectangle, a turned one its corners' circle.
    Kiln_drawRect(200, 200, 16, 16, 8, 0, 255, 255, 255, 255);
    EXPECT_TRUE(drawn().marked(23, 23) && drawn().marked(27, 27));
    Kiln_clear();
    Kiln_drawTexture("sprite", 300, 300, 0, 0, 32, 8, 1.0f, 1.0f, 45.0f, 255, 255, 255, 255);
    EXPECT_TRUE(drawn().marked(37, 36)) << "the turned sprite's corners swing above its rectangle";
    EXPECT_TRUE(drawn().marked(39, 40));
    Kiln_clear();
    Kiln_drawCircle(320, 240, 20, 1, 255, 255, 255, 255);
    EXPECT_TRUE(drawn().marked(37, 27) && drawn().marked(42, 32));
    EXPECT_FALSE(drawn().marked(36, 30) || drawn().marked(43, 30));
    Kiln_clear();
    Kiln_drawText("AB", 16, 400, 2.0f, 255, 255, 255, 255);  // two 16 px cells
    EXPECT_TRUE(drawn().marked(1, 49) && drawn().marked(6, 51));
    EXPECT_FALSE(drawn().marked(7, 50) || drawn().marked(0, 52));
}

TEST_F(DrawnCells, TheShakeOffsetMovesWhatIsMarked) {
    Kiln_setDrawOffset(40, 0);
    Kiln_drawRect(0, 0, 8, 8, 0, 0, 255, 0, 0, 255);
    Kiln_setDrawOffset(0, 0);
    EXPECT_TRUE(drawn().marked(5, 0));
    EXPECT_FALSE(drawn().marked(0, 0) || drawn().marked(1, 0));
}

}  // namespace
