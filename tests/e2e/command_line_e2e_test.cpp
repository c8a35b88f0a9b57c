// The real game's command line as a player meets it: --help and --version
// print and stop without a window or a file, and an argument the game does
// not know costs one warning line while the game plays on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "e2e_support.h"

namespace {

using namespace e2e;
namespace fs = std::filesystem;

class CommandLineE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under an X server (scripts/test.sh uses xvfb-run)";
        ASSERT_TRUE(gameWindows().empty()) << "another game window is still open";
    }

    // Runs the game to its end with these arguments in an empty working directory.
    int runToEnd(const std::vector<std::string>& args, const Launch& launch = {}) {
        game = std::make_unique<GameProcess>(dir, args, launch);
        const std::optional<int> status = game->waitForExit();
        return status.value_or(-1);
    }

    WorkDir dir{WorkDir::NoResources};
    WorkDir output{WorkDir::NoResources};
    std::unique_ptr<GameProcess> game;
};

TEST_F(CommandLineE2E, HelpPrintsTheOptionsTheControlsAndTheDirectoriesOfThisRun) {
    const fs::path xdg = output / "xdg";
    const Launch launch{.outputDir = output.path(), .environment = {{"XDG_DATA_HOME", xdg.string()}}};
    ASSERT_EQ(runToEnd({"--help"}, launch), 0);
    const std::string help = game->standardOutput();
    for (const char* text : {"usage: kvr2013", "  -window ", "  -fullscreen ", "  -res W H ", "  --resources DIR ",
                             "  --data-dir DIR ", "  --headless ", "  --toolbox ", "  --help ", "  --version ",
                             "Controls:", "F12 screenshot", "Escape quit"}) {
        EXPECT_NE(help.find(text), std::string::npos) << text << "\n" << help;
    }
    // The build's game finds the checkout's resources above itself; started
    // from elsewhere, its player's files go to the per-user directory.
    const fs::path checkoutResources = fs::path(gameBinary()).parent_path().parent_path() / "resource";
    EXPECT_NE(help.find("  pictures and sounds  " + checkoutResources.string() + "\n"), std::string::npos) << help;
    EXPECT_NE(help.find("  player's files       " + (xdg / "kvr2013").string() + "\n"), std::string::npos) << help;
    EXPECT_EQ(game->standardError(), "");
    EXPECT_TRUE(fs::is_empty(dir.path())) << "--help creates nothing";
    EXPECT_FALSE(fs::exists(xdg));

    ASSERT_EQ(runToEnd({"--help", "--data-dir", "saves"}, {.outputDir = output.path()}), 0);
    EXPECT_NE(game->standardOutput().find("  player's files       " + (dir / "saves").string() + "\n"),
              std::string::npos)
        << game->standardOutput();
    EXPECT_TRUE(gameWindows().empty());
}

TEST_F(CommandLineE2E, VersionPrintsTheOneVersionNumber) {
    ASSERT_EQ(runToEnd({"--version"}, {.outputDir = output.path()}), 0);
    EXPECT_EQ(game->standardOutput(), std::string("kvr2013 ") + KVR_VERSION + "\n");
    EXPECT_EQ(game->standardError(), "");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(CommandLineE2E, AnUnknownOptionIsOneWarningAndTheGamePlaysOn) {
    WorkDir playing;  // the checkout's resources, so the player's files stay here
    game = std::make_unique<GameProcess>(playing, std::vector<std::string>{"-fulscreen"});
    const std::string window = game->waitForWindow();
    ASSERT_FALSE(window.empty()) << "no game window; stderr: " << game->standardError();
    focusWindow(window);
    ASSERT_TRUE(game->waitForLog("Exec loop.\n")) << game->runLog();
    EXPECT_EQ(game->standardError(), "kvr2013: ignoring unknown option '-fulscreen' (see --help)\n");
    pressKey(window, "Escape");
    const std::optional<int> status = game->waitForExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << game->runLog();
}

}  // namespace
