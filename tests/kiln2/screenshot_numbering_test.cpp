// F12's files: numbered kilnshot-0001.png, kilnshot-0002.png, ... in the
// screenshot directory, the first free number each time, never written over
// an earlier picture, and nothing at all when there is nowhere to write.
// The headless backend stands in a small text file for the picture.
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

namespace fs = std::filesystem;

class ScreenshotNumbering : public HeadlessTest {
protected:
    void SetUp() override { start(); }
};

TEST_F(ScreenshotNumbering, F12SavesTheNextNumberAndNeverReplacesAnEarlierPicture) {
    kiln_headless::setKey(KEY_F12, true);
    frame();
    kiln_headless::setKey(KEY_F12, false);
    frame();
    ASSERT_TRUE(fs::exists("screenshots/kilnshot-0001.png")) << "the folder is made on the first F12";
    EXPECT_EQ(readFile("screenshots/kilnshot-0001.png"), "headless screenshot 640x480\n");

    // A picture the player kept from an earlier session, and a gap they made.
    std::ofstream("screenshots/kilnshot-0003.png") << "the player's picture";
    EXPECT_EQ(Kiln_screenshot(), "screenshots/kilnshot-0002.png");
    EXPECT_EQ(Kiln_screenshot(), "screenshots/kilnshot-0004.png");
    fs::remove("screenshots/kilnshot-0001.png");
    EXPECT_EQ(Kiln_screenshot(), "screenshots/kilnshot-0001.png");
    EXPECT_EQ(readFile("screenshots/kilnshot-0003.png"), "the player's picture");

    int files = 0;
    for (const auto& entry : fs::directory_iterator("screenshots")) {
        ++files;
        EXPECT_EQ(entry.path().extension(), ".png") << "no half-written file stays behind: " << entry.path();
    }
    EXPECT_EQ(files, 4);
}

TEST_F(ScreenshotNumbering, GoesToTheChosenDirectory) {
    Kiln_setScreenshotDir((scratch_.path() / "data" / "screenshots").string());
    EXPECT_EQ(Kiln_screenshot(), (scratch_.path() / "data" / "screenshots" / "kilnshot-0001.png").string());
    EXPECT_FALSE(fs::exists("screenshots"));
}

TEST_F(ScreenshotNumbering, NowhereToWriteMeansNoFileAndNoError) {
    Kiln_setScreenshotDir("");
    kiln_headless::setKey(KEY_F12, true);
    EXPECT_NO_THROW(frame());
    EXPECT_EQ(Kiln_screenshot(), "");
    EXPECT_TRUE(fs::is_empty(scratch_.path())) << "nothing at all is written";

    // A file where the folder should be: nothing is saved, the file is left alone.
    Kiln_setScreenshotDir("screenshots");
    std::ofstream("screenshots") << "not a folder";
    EXPECT_EQ(Kiln_screenshot(), "");
    EXPECT_EQ(readFile("screenshots"), "not a folder");
}

TEST_F(ScreenshotNumbering, APictureThatCannotBeWrittenGivesBackItsNumber) {
    // The picture is written beside its claimed name first; block that place.
    fs::create_directories("screenshots/kilnshot-0001.png.part");
    EXPECT_EQ(Kiln_screenshot(), "");
    EXPECT_FALSE(fs::exists("screenshots/kilnshot-0001.png")) << "no empty file is left claiming the number";
    fs::remove("screenshots/kilnshot-0001.png.part");
    EXPECT_EQ(Kiln_screenshot(), "screenshots/kilnshot-0001.png");
}

}  // namespace
