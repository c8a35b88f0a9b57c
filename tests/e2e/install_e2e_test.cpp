// The game as a player gets it: installed with `cmake --install` into a
// prefix, or unpacked from the Debian package, then started from an empty
// working directory with HOME and XDG_DATA_HOME of its own. A run that sets
// a record keeps it, its replay, the run log and a screenshot in the
// per-user directory, and leaves the working directory, the installed files
// and the checkout exactly as they were.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <regex>

#include "e2e_support.h"
#include "screenshot.h"

namespace {

using namespace e2e;
namespace fs = std::filesystem;

const std::string kVersion = KVR_VERSION;

// What must not change while the game plays: the tree's listing with every
// file's size and hash, and for the checkout its git status and resources.
struct Untouched {
    std::map<std::string, std::string> workingDir, installed, home, checkoutResources;
    std::string checkoutStatus;
    bool operator==(const Untouched&) const = default;
};

class InstalledGame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under an X server (scripts/test.sh uses xvfb-run)";
        ASSERT_TRUE(gameWindows().empty()) << "another game window is still open";
        fs::create_directories(root / "home");
        fs::create_directories(root / "output");
    }

    Untouched look(const fs::path& installedTree) const {
        return {snapshotTree(workingDir.path()), snapshotTree(installedTree), snapshotTree(root / "home"),
                snapshotTree(repoResourceDir()),
                runCommand("git -C " + shellQuote(KVR_SOURCE_DIR) + " status --porcelain --untracked-files=all")};
    }

    // Every file the install puts in place, under prefix.
    static void expectInstalledFiles(const fs::path& prefix) {
        for (const char* file : {"games/kvr2013", "games/kvr2013-verify", "share/kvr2013/resource/font/font.bmp",
                                 "share/kvr2013/resource/sound/bgm.ogg", "share/applications/kvr2013.desktop",
                                 "share/icons/hicolor/32x32/apps/kvr2013.png",
                                 "share/icons/hicolor/48x48/apps/kvr2013.png",
                                 "share/icons/hicolor/64x64/apps/kvr2013.png",
                                 "share/icons/hicolor/128x128/apps/kvr2013.png",
                                 "share/metainfo/kvr2013.metainfo.xml", "share/man/man6/kvr2013.6.gz",
                                 "share/man/man6/kvr2013-verify.6.gz", "share/doc/kvr2013/copyright",
                                 "share/doc/kvr2013/changelog.gz"}) {
            EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
        }
        EXPECT_FALSE(fs::exists(prefix / "share/kvr2013/resource/icons")) << "the icons live in the icon theme";
    }

    // Starts binary from the empty working directory, takes a screenshot of
    // the title, lets the craft fall on stage 1000 m until it sets a record,
    // and quits; then checks where everything went.
    void playARecordRun(const std::string& binary, const fs::path& installedTree) {
        const Untouched before = look(installedTree);
        const fs::path data = root / "xdg" / "kvr2013";
        const Launch launch{.binary = binary,
                            .outputDir = root / "output",
                            .playerFiles = data,
                            .environment = {{"HOME", (root / "home").string()},
                                            {"XDG_DATA_HOME", (root / "xdg").string()}}};
        game = std::make_unique<GameProcess>(workingDir, std::vector<std::string>{}, launch);
        window = game->waitForWindow();
        ASSERT_FALSE(window.empty()) << "no game window; stderr: " << game->standardError();
        focusWindow(window);
        ASSERT_TRUE(game->waitForLog("Exec loop.\n")) << game->standardError() << game->runLog();
        pressKey(window, "z");
        ASSERT_TRUE(game->waitForLog("TitleMain\n")) << game->runLog();

        SDL_Surface* title = takeScreenshot(data / "screenshots", window);
        ASSERT_NE(title, nullptr) << "no screenshot in " << (data / "screenshots");
        EXPECT_EQ(title->w, 640);
        EXPECT_EQ(title->h, 480);
        int white = 0;  // "KVR 2013" at (220, 200), scale 3
        for (int y = 200; y < 224; ++y) {
            for (int x = 220; x < 412; ++x) {
                const Rgb c = pixelAt(title, x, y);
                white += c.r > 240 && c.g > 240 && c.b > 240;
            }
        }
        EXPECT_GT(white, 192 * 24 / 10) << "the title's name is on the screenshot";
        SDL_FreeSurface(title);
        EXPECT_TRUE(fs::exists(data / "screenshots" / "kilnshot-0001.png"));

        pressKey(window, "z");
        static const std::regex hiScore(R"(HI_SCORE1 = ([1-9]\d*)\n)");
        ASSERT_TRUE(waitUntil(
            [&] {
                return std::regex_search(readFile(data / "config.ini"), hiScore) &&
                       fs::exists(data / "replay" / "replay_00.bin");
            },
            30s))
            << "no record in " << data << "; run.log: " << game->runLog();
        pressKey(window, "Escape");
        const std::optional<int> status = game->waitForExit();
        ASSERT_TRUE(status.has_value());
        EXPECT_EQ(*status, 0) << game->runLog();
        EXPECT_EQ(game->standardError(), "");

        EXPECT_NE(game->runLog().find("Gamecoer init\n"), std::string::npos);
        EXPECT_GT(fs::file_size(data / "replay" / "replay_00.bin"), 24u * 50);
        struct stat info {};
        ASSERT_EQ(::stat(data.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u) << "the player's directory is private";
        const Untouched after = look(installedTree);
        EXPECT_EQ(after.workingDir, before.workingDir) << "the working directory stays empty";
        EXPECT_EQ(after.installed, before.installed) << "the installed files are not touched";
        EXPECT_EQ(after.home, before.home) << "with XDG_DATA_HOME set, nothing goes to ~/.local/share";
        EXPECT_EQ(after.checkoutResources, before.checkoutResources);
        EXPECT_EQ(after.checkoutStatus, before.checkoutStatus) << "the checkout is left as it was";
    }

    WorkDir scratch{WorkDir::NoResources};
    const fs::path root = scratch.path();
    WorkDir workingDir{WorkDir::NoResources};
    std::unique_ptr<GameProcess> game;
    std::string window;
};

TEST_F(InstalledGame, FromCmakeInstallKeepsThePlayersFilesInTheirHome) {
    const fs::path prefix = root / "prefix";
    int status = -1;
    const std::string log = runCommand(std::string(KVR_CMAKE) + " --install " + shellQuote(KVR_BINARY_DIR) +
                                           " --prefix " + shellQuote(prefix.string()) + " 2>&1",
                                       &status);
    ASSERT_EQ(status, 0) << log;
    expectInstalledFiles(prefix);
    EXPECT_EQ(runCommand(shellQuote((prefix / "games/kvr2013").string()) + " --version"), "kvr2013 " + kVersion + "\n");
    playARecordRun((prefix / "games/kvr2013").string(), prefix);
}

TEST_F(InstalledGame, FromTheDebianPackageWithItsMetadata) {
    const fs::path packages = root / "packages";
    int status = -1;
    const std::string log = runCommand(std::string(KVR_CPACK) + " -G DEB --config " +
                                           shellQuote(std::string(KVR_BINARY_DIR) + "/CPackConfig.cmake") + " -B " +
                                           shellQuote(packages.string()) + " 2>&1",
                                       &status);
    ASSERT_EQ(status, 0) << log;
    const fs::path deb = packages / ("kvr2013_" + kVersion + "_amd64.deb");
    ASSERT_TRUE(fs::exists(deb)) << log;

    const std::string info = runCommand("dpkg -I " + shellQuote(deb.string()), &status);
    ASSERT_EQ(status, 0) << info;
    for (const std::string& field : {std::string(" Package: kvr2013\n"), " Version: " + kVersion + "\n",
                                     std::string(" Architecture: amd64\n"), std::string(" Section: games\n"),
                                     std::string(" Description: side-scrolling flight game through walls of blocks\n"),
                                     std::string("  Your small square craft holds its place"),
                                     std::string(" Maintainer: KVR 2013 maintainers <")}) {
        EXPECT_NE(info.find(field), std::string::npos) << field << "\n" << info;
    }
    // Worked out from the binary: the libraries it links, not a list kept by hand.
    for (const char* library : {"libsdl2-2.0-0", "libsdl2-mixer-2.0-0", "libsdl2-image-2.0-0", "libc6"}) {
        EXPECT_NE(info.find(library), std::string::npos) << library << "\n" << info;
    }

    const fs::path unpacked = root / "unpacked";
    const std::string unpackLog = runCommand("dpkg-deb -x " + shellQuote(deb.string()) + " " +
                                                 shellQuote(unpacked.string()) + " 2>&1",
                                             &status);
    ASSERT_EQ(status, 0) << unpackLog;
    expectInstalledFiles(unpacked / "usr");
    playARecordRun((unpacked / "usr/games/kvr2013").string(), unpacked);
}

// The server's package holds no game: it lives in bin/ and section net, and
// its service runs the verifier the game's package installs, so the two
// unpacked together hold every program the unit names.
TEST_F(InstalledGame, TheServerPackageRunsTheGamePackagesVerifier) {
    const fs::path packages = root / "packages";
    int status = -1;
    const std::string log = runCommand(std::string(KVR_CPACK) + " -G DEB --config " +
                                           shellQuote(std::string(KVR_BINARY_DIR) + "/CPackConfig.cmake") + " -B " +
                                           shellQuote(packages.string()) + " 2>&1",
                                       &status);
    ASSERT_EQ(status, 0) << log;
    const fs::path unpacked = root / "unpacked";
    for (const std::string& name : {std::string("kvr2013"), std::string("kvr2013-scores")}) {
        const fs::path deb = packages / (name + "_" + kVersion + "_amd64.deb");
        ASSERT_TRUE(fs::exists(deb)) << log;
        const std::string unpackLog = runCommand("dpkg-deb -x " + shellQuote(deb.string()) + " " +
                                                     shellQuote(unpacked.string()) + " 2>&1",
                                                 &status);
        ASSERT_EQ(status, 0) << unpackLog;
    }
    const std::string info =
        runCommand("dpkg -I " + shellQuote((packages / ("kvr2013-scores_" + kVersion + "_amd64.deb")).string()));
    for (const std::string& field : {std::string(" Package: kvr2013-scores\n"), std::string(" Section: net\n"),
                                     "kvr2013 (= " + kVersion + ")", std::string("libsodium23")}) {
        EXPECT_NE(info.find(field), std::string::npos) << field << "\n" << info;
    }
    EXPECT_FALSE(fs::exists(unpacked / "usr/games/kvr2013-scores"));

    const std::string unit = readFile(unpacked / "usr/lib/systemd/system/kvr2013-scores.service");
    std::smatch execStart;
    ASSERT_TRUE(std::regex_search(unit, execStart, std::regex("\nExecStart=(/\\S+) serve .*--verifier (/\\S+)")))
        << unit;
    for (const std::string& program : {execStart[1].str(), execStart[2].str()}) {
        EXPECT_TRUE(fs::is_regular_file(unpacked / program.substr(1))) << program;
    }
    const std::string help = runCommand(shellQuote((unpacked / "usr/bin/kvr2013-scores").string()) + " --help 2>&1", &status);
    EXPECT_EQ(status, 0) << help;
    EXPECT_NE(help.find("kvr2013-scores serve"), std::string::npos) << help;
}

}  // namespace
