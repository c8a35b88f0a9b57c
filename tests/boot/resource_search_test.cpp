// The search for the pictures and sounds: the four places in their order,
// the font as the mark of a usable place, and when the working directory's
// resource/ counts as the one found (playing from a checkout).
#include "boot/resource_search.h"

#include <gtest/gtest.h>

#include "config/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A machine with every place the game could find its resources:
// an installed copy under prefix/, a checkout with a build tree, and an
// unrelated working directory.
class ResourceSearchTest : public ::testing::Test {
protected:
    void makeResources(const fs::path& dir) const {
        fs::create_directories(dir / "font");
        writeText((dir / "font" / "font.bmp").string(), "BM");
    }

    ResourceSearch search(const std::string& option, const fs::path& executable, const fs::path& workingDir) const {
        return findResources({option, executable, workingDir});
    }

    TempDir root;
    const fs::path prefix = root.path() / "prefix";
    const fs::path installedExe = prefix / "bin" / "kvr2013";
    const fs::path installed = prefix / "share" / "kvr2013" / "resource";
    const fs::path checkout = root.path() / "checkout";
    const fs::path buildExe = checkout / "build" / "kvr2013";
    const fs::path elsewhere = root.path() / "elsewhere";
};

TEST_F(ResourceSearchTest, FourPlacesInOrderAndTheFirstWithTheFontWins) {
    const fs::path mine = root.path() / "mine";
    for (const fs::path& dir : {mine, installed, prefix / "resource", elsewhere / "resource"}) makeResources(dir);

    ResourceSearch found = search(mine.string(), installedExe, elsewhere);
    EXPECT_EQ(found.dir, mine);
    EXPECT_EQ(found.searched,
              (std::vector<fs::path>{mine, installed, prefix / "resource", elsewhere / "resource"}));

    EXPECT_EQ(search("", installedExe, elsewhere).dir, installed);
    fs::remove_all(installed);
    EXPECT_EQ(search("", installedExe, elsewhere).dir, prefix / "resource") << "the directory above the program";
    fs::remove_all(prefix / "resource");
    EXPECT_EQ(search("", installedExe, elsewhere).dir, elsewhere / "resource");
    fs::remove_all(elsewhere / "resource");
    EXPECT_FALSE(search("", installedExe, elsewhere).found());
}

TEST_F(ResourceSearchTest, APlaceWithoutTheFontIsPassedOver) {
    makeResources(installed);
    const fs::path empty = root.path() / "empty";
    fs::create_directories(empty / "image");
    EXPECT_EQ(search(empty.string(), installedExe, elsewhere).dir, installed);
    // A file where the font should be a picture's directory does not count either.
    fs::create_directories(elsewhere / "resource" / "font" / "font.bmp");
    fs::remove_all(installed);
    EXPECT_FALSE(search("", installedExe, elsewhere).found());
}

TEST_F(ResourceSearchTest, ARelativeOptionIsTakenFromTheWorkingDirectory) {
    makeResources(elsewhere / "my-resources");
    ResourceSearch found = search("my-resources", installedExe, elsewhere);
    EXPECT_EQ(found.dir, elsewhere / "my-resources");
    EXPECT_EQ(found.searched.front(), elsewhere / "my-resources");
}

TEST_F(ResourceSearchTest, OnlyTheWorkingDirectorysResourceKeepsThePlayersFilesThere) {
    makeResources(checkout / "resource");
    makeResources(installed);
    // scripts/play.sh: the checkout's root, running build/kvr2013.
    ResourceSearch fromCheckout = search("", buildExe, checkout);
    EXPECT_EQ(fromCheckout.dir, checkout / "resource");
    EXPECT_TRUE(fromCheckout.inWorkingDir);
    // The same program started from another directory.
    EXPECT_FALSE(search("", buildExe, elsewhere).inWorkingDir);
    // A working directory whose resource/ is a link to the checkout's.
    fs::create_directories(elsewhere);
    fs::create_directory_symlink(checkout / "resource", elsewhere / "resource");
    EXPECT_TRUE(search("", buildExe, elsewhere).inWorkingDir);
    EXPECT_TRUE(search("resource", buildExe, elsewhere).inWorkingDir);
    // An installed game stays a player's game even when started inside its own data.
    ResourceSearch insideInstall = search("", installedExe, installed.parent_path());
    EXPECT_EQ(insideInstall.dir, installed);
    EXPECT_FALSE(insideInstall.inWorkingDir);
}

TEST_F(ResourceSearchTest, WithoutItsOwnPathTheProgramSearchesTheOptionAndTheWorkingDirectory) {
    makeResources(elsewhere / "resource");
    ResourceSearch found = search("/nowhere", "", elsewhere);
    EXPECT_EQ(found.searched, (std::vector<fs::path>{"/nowhere", elsewhere / "resource"}));
    EXPECT_EQ(found.dir, elsewhere / "resource");
}

TEST_F(ResourceSearchTest, TheMessageNamesEveryPlaceAndTheWayOut) {
    ResourceSearch missing = search("/opt/kvr", installedExe, elsewhere);
    ASSERT_FALSE(missing.found());
    const std::string message = resourcesNotFoundMessage(missing);
    for (const fs::path& place : missing.searched) {
        EXPECT_NE(message.find("  " + place.string() + "\n"), std::string::npos) << place << "\n" << message;
    }
    EXPECT_EQ(message.rfind("kvr2013: ", 0), 0u) << message;
    EXPECT_NE(message.find("--resources DIR"), std::string::npos) << message;
    EXPECT_NE(message.find("cmake --install"), std::string::npos) << message;
    EXPECT_EQ(message.back(), '\n');
}

}  // namespace
