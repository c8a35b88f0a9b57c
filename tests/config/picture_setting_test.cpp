// PICTURE in "config.ini": smooth or integer, smooth when missing (quietly)
// or damaged (with one line naming the key and the value), and kept when
// the title saves the other settings.
#include "config/picture_setting.h"

#include <gtest/gtest.h>

#include "config/game_settings.h"
#include "temp_dir.h"

namespace {

PictureSetting pictureFrom(const std::string& text, std::vector<std::string>& problems) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, text);
    ConfigParser config;
    config.load(file);
    return readPictureSetting(config, problems);
}

}  // namespace

TEST(PictureSetting, SmoothOrIntegerAsWritten) {
    std::vector<std::string> problems;
    EXPECT_EQ(pictureFrom("MODE = 0\nPICTURE = integer\n", problems), PictureSetting::Integer);
    EXPECT_EQ(pictureFrom("PICTURE = smooth\n", problems), PictureSetting::Smooth);
    EXPECT_EQ(pictureFrom("PICTURE=integer   \n", problems), PictureSetting::Integer);
    EXPECT_EQ(pictureFrom("HI_SCORE1 = 5\n", problems), PictureSetting::Smooth) << "older files lack the key";
    EXPECT_TRUE(problems.empty());
}

TEST(PictureSetting, AnyOtherValueIsSmoothWithOneProblemLine) {
    for (const std::string value : {"Integer", "sharp", "1", ""}) {
        std::vector<std::string> problems;
        EXPECT_EQ(pictureFrom("PICTURE = " + value + "\n", problems), PictureSetting::Smooth) << value;
        ASSERT_EQ(problems.size(), 1u) << value;
        EXPECT_NE(problems[0].find(": bad value for PICTURE ('" + value + "'), using smooth"), std::string::npos)
            << problems[0];
    }
}

TEST(PictureSetting, SavingTheOtherSettingsKeepsIt) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, "HI_SCORE1 = 0\nHI_SCORE2 = 0\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 0\nPICTURE = integer\n");
    ConfigParser config;
    std::vector<std::string> problems = loadOrCreateGameConfig(config, file, 0);
    config.setInt("MODE", 2);
    config.save(file);
    ConfigParser again;
    again.load(file);
    EXPECT_EQ(readPictureSetting(again, problems), PictureSetting::Integer);
    EXPECT_TRUE(problems.empty());
}
