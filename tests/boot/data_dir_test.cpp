// The rules for the player's data directory, one by one, and making it
// ready: created private to the player, proven writable, or explained.
#include "boot/data_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "config/temp_dir.h"

namespace {

namespace fs = std::filesystem;

DataDirInput player() {
    return {.optionDir = "",
            .resourcesInWorkingDir = false,
            .workingDir = "/home/ann/games",
            .xdgDataHome = std::nullopt,
            .home = "/home/ann",
            .accountHome = "/home/ann-account"};
}

TEST(DataDirRules, TheOptionAlwaysWins) {
    DataDirInput input = player();
    input.resourcesInWorkingDir = true;
    input.xdgDataHome = "/xdg";
    input.optionDir = "/srv/kvr";
    EXPECT_EQ(chooseDataDir(input).dir, "/srv/kvr");
    EXPECT_EQ(chooseDataDir(input).rule, DataDirRule::Option);
    input.optionDir = "saves/../kvr-saves";
    EXPECT_EQ(chooseDataDir(input).dir, "/home/ann/games/kvr-saves") << "relative to the working directory";
}

TEST(DataDirRules, ResourcesFromTheWorkingDirectoryKeepTheFilesThere) {
    DataDirInput input = player();
    input.resourcesInWorkingDir = true;
    input.xdgDataHome = "/xdg";
    EXPECT_EQ(chooseDataDir(input).dir, "/home/ann/games");
    EXPECT_EQ(chooseDataDir(input).rule, DataDirRule::WorkingDir);
}

TEST(DataDirRules, XdgDataHomeCountsOnlyWhenAbsolute) {
    DataDirInput input = player();
    input.xdgDataHome = "/home/ann/.data";
    EXPECT_EQ(chooseDataDir(input).dir, "/home/ann/.data/kvr2013");
    EXPECT_EQ(chooseDataDir(input).rule, DataDirRule::XdgDataHome);
    for (const char* ignored : {"data", "./data", ""}) {
        input.xdgDataHome = ignored;
        EXPECT_EQ(chooseDataDir(input).dir, "/home/ann/.local/share/kvr2013") << "XDG_DATA_HOME='" << ignored << "'";
        EXPECT_EQ(chooseDataDir(input).rule, DataDirRule::Home);
    }
    input.xdgDataHome = std::nullopt;
    EXPECT_EQ(chooseDataDir(input).dir, "/home/ann/.local/share/kvr2013") << "unset";
}

TEST(DataDirRules, WithoutAUsableHomeTheAccountsHomeIsUsed) {
    DataDirInput input = player();
    for (const std::optional<std::string>& home : {std::optional<std::string>{}, std::optional<std::string>{""},
                                                   std::optional<std::string>{"ann"}}) {
        input.home = home;
        EXPECT_EQ(chooseDataDir(input).dir, "/home/ann-account/.local/share/kvr2013") << home.value_or("(unset)");
        EXPECT_EQ(chooseDataDir(input).rule, DataDirRule::AccountHome);
    }
    input.accountHome = "";
    EXPECT_EQ(chooseDataDir(input).rule, DataDirRule::Nowhere);
    EXPECT_TRUE(chooseDataDir(input).dir.empty());
}

TEST(DataDirAccessTest, AMissingDirectoryIsCreatedPrivateToThePlayer) {
    TempDir root;
    const fs::path dir = root.path() / "home" / ".local" / "share" / "kvr2013";
    const DataDirAccess access = prepareDataDir(dir);
    EXPECT_TRUE(access.writable) << access.reason;
    for (const fs::path& level : {root.path() / "home", dir}) {
        struct stat info {};
        ASSERT_EQ(::stat(level.c_str(), &info), 0) << level;
        EXPECT_EQ(info.st_mode & 07777, 0700u) << level;
    }
    EXPECT_TRUE(fs::is_empty(dir)) << "the write test leaves nothing behind";
    EXPECT_TRUE(prepareDataDir(dir).writable) << "an existing directory is fine";
    EXPECT_EQ(dataDirProblemLine({dir, DataDirRule::Home}, access), "");
}

TEST(DataDirAccessTest, ADirectoryThatCannotBeMadeIsExplainedInOneLine) {
    TempDir root;
    writeText(root.file("file"), "a file, not a directory");
    const fs::path dir = root.path() / "file" / "kvr2013";
    const DataDirAccess access = prepareDataDir(dir);
    EXPECT_FALSE(access.writable);
    EXPECT_EQ(access.reason, "Not a directory");
    EXPECT_EQ(dataDirProblemLine({dir, DataDirRule::XdgDataHome}, access),
              "kvr2013: cannot write the player's files in " + dir.string() +
                  " (Not a directory); hi-scores are kept for this session only\n");
    EXPECT_EQ(readText(root.file("file")), "a file, not a directory");

    const DataDirAccess nowhere = prepareDataDir("");
    EXPECT_FALSE(nowhere.writable);
    const std::string line = dataDirProblemLine({}, nowhere);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
    EXPECT_NE(line.find("HOME"), std::string::npos) << line;
}

}  // namespace
