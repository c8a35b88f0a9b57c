// The menu pool's rules: hit tests with inclusive edges in storage order, the
// first image button as the initial selection, clicks and toggle mode, and
// dropping widgets once the pool is full.
#include <memory>
#include <string>

#include "clickable/clickable_pool.h"
#include "menu_fixture.h"

namespace {

std::shared_ptr<Vec3> at(float x, float y) { return std::make_shared<Vec3>(x, y, 0.0f); }

}  // namespace

using PoolTest = MenuTest;

TEST_F(PoolTest, AllFourEdgesOfAWidgetCountAsInside) {
    ClickablePool pool;
    pool.addImageButton("PLAY", at(100, 50), ImageButton::LARGE_0);  // 80 x 32
    const struct {
        int x, y;
        bool inside;
    } probes[] = {
        {100, 50, true},  {180, 82, true},  {180, 50, true},  {100, 82, true},  {140, 66, true},
        {99, 50, false},  {181, 50, false}, {100, 49, false}, {100, 83, false}, {181, 83, false},
    };
    for (const auto& probe : probes) {
        moveMouse(probe.x, probe.y);
        EXPECT_EQ(pool.getMouseOver(), probe.inside ? "PLAY" : "") << probe.x << "," << probe.y;
    }
}

TEST_F(PoolTest, TheWidgetStoredFirstWinsWhereTwoOverlap) {
    ClickablePool pool;
    pool.addText("BACK", at(10, 10), at(100, 20));
    pool.addText("FRONT", at(50, 10), at(100, 20));
    moveMouse(60, 15);
    EXPECT_EQ(pool.getMouseOver(), "BACK");
    moveMouse(140, 15);
    EXPECT_EQ(pool.getMouseOver(), "FRONT");
    moveMouse(60, 15, 0);
    moveMouse(60, 15, 1);
    EXPECT_EQ(pool.update(), "BACK");
    EXPECT_EQ(pool.getSelected(), "BACK");
}

TEST_F(PoolTest, OnlyTheFirstImageButtonBecomesTheSelection) {
    ClickablePool pool;
    pool.addText("LABEL", at(0, 0), at(50, 10));
    EXPECT_EQ(pool.getSelected(), "") << "a text widget is never selected by being added";
    pool.addImageButton("PLAY", at(0, 100), ImageButton::LARGE_0);
    pool.addImageButton("QUIT", at(0, 200), ImageButton::LARGE_1);
    EXPECT_EQ(pool.getSelected(), "PLAY");

    ClickablePool toggling;
    toggling.setToggle(true);
    toggling.addImageButton("PLAY", at(0, 100), ImageButton::LARGE_0);
    EXPECT_EQ(toggling.getSelected(), "");
}

TEST_F(PoolTest, ClicksSelectAndMissesChangeNothing) {
    ClickablePool pool;
    pool.addImageButton("PLAY", at(100, 100), ImageButton::LARGE_0);
    pool.addImageButton("QUIT", at(100, 200), ImageButton::SMALL_2);  // 32 x 16

    moveMouse(110, 210);
    EXPECT_EQ(pool.update(), "") << "hovering is not clicking";
    EXPECT_EQ(pool.getSelected(), "PLAY");

    clickAt(5, 5);
    EXPECT_EQ(pool.update(), "");
    EXPECT_EQ(pool.getSelected(), "PLAY");

    clickAt(132, 216);
    EXPECT_EQ(pool.update(), "QUIT");
    EXPECT_EQ(pool.getSelected(), "QUIT");

    // Holding the button down is one click, not one per frame.
    moveMouse(110, 110, 1);
    EXPECT_EQ(pool.update(), "");
    EXPECT_EQ(pool.getSelected(), "QUIT");

    // Without toggle mode a second click keeps the selection and reports it again.
    for (int again = 0; again < 2; ++again) {
        clickAt(132, 216);
        EXPECT_EQ(pool.update(), "QUIT");
        EXPECT_EQ(pool.getSelected(), "QUIT");
    }

    // Any button counts as a click.
    moveMouse(110, 110, 0);
    moveMouse(110, 110, 4);
    EXPECT_EQ(pool.update(), "PLAY");
}

TEST_F(PoolTest, ToggleModeClearsTheSelectionOnASecondClick) {
    ClickablePool pool;
    pool.setToggle(true);
    pool.addImageButton("PLAY", at(100, 100), ImageButton::LARGE_0);
    pool.addText("HELP", at(300, 100), at(40, 16));

    clickAt(120, 110);
    EXPECT_EQ(pool.update(), "PLAY");
    EXPECT_EQ(pool.getSelected(), "PLAY");
    clickAt(120, 110);
    EXPECT_EQ(pool.update(), "PLAY");
    EXPECT_EQ(pool.getSelected(), "");
    clickAt(320, 110);
    EXPECT_EQ(pool.update(), "HELP");
    EXPECT_EQ(pool.getSelected(), "HELP");
    clickAt(120, 110);
    EXPECT_EQ(pool.update(), "PLAY");
    EXPECT_EQ(pool.getSelected(), "PLAY") << "clicking another widget selects it, toggle or not";
}

TEST_F(PoolTest, AFullPoolDropsNewWidgets) {
    ClickablePool pool;
    pool.setToggle(true);  // so the first image button is not preselected
    for (int i = 0; i < ClickablePool::CAPACITY; ++i) {
        pool.addText("T" + std::to_string(i), at(static_cast<float>(i * 10), 0), at(5, 5));
    }
    EXPECT_EQ(pool.count(), ClickablePool::CAPACITY);
    pool.setToggle(false);
    pool.addImageButton("LATE", at(400, 400), ImageButton::LARGE_0);
    pool.addText("LATER", at(400, 300), at(50, 50));
    EXPECT_EQ(pool.count(), ClickablePool::CAPACITY);
    EXPECT_EQ(pool.getSelected(), "") << "a dropped button must not become the selection";
    moveMouse(410, 410);
    EXPECT_EQ(pool.getMouseOver(), "");
    moveMouse(410, 310);
    EXPECT_EQ(pool.getMouseOver(), "");
    moveMouse(312, 2);
    EXPECT_EQ(pool.getMouseOver(), "T31");
}

TEST_F(PoolTest, MovingTheSharedPositionMovesTheHitArea) {
    ClickablePool pool;
    auto position = at(100, 100);
    pool.addImageButton("PLAY", position, ImageButton::MEDIUM_0);  // 64 x 16
    moveMouse(104, 104);
    EXPECT_EQ(pool.getMouseOver(), "PLAY");
    position->x = 300.0f;
    EXPECT_EQ(pool.getMouseOver(), "");
    moveMouse(364, 116);
    EXPECT_EQ(pool.getMouseOver(), "PLAY");
}

TEST_F(PoolTest, UnknownButtonTypesAreRefused) {
    ClickablePool pool;
    EXPECT_THROW(pool.addImageButton("BAD", at(0, 0), 12), KilnError);
    EXPECT_THROW(pool.addImageButton("BAD", at(0, 0), -1), KilnError);
    EXPECT_EQ(pool.count(), 0);
    EXPECT_EQ(pool.getSelected(), "");
}
