// Reading the command line: window size, window or full screen, the atoi
// rule for the size, and the usage errors.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "boot/command_line.h"

namespace {

CommandLine parse(std::vector<const char*> args) {
    args.insert(args.begin(), "kvr2013");
    return parseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, NoArgumentsGiveA640x480Window) {
    CommandLine line = parse({});
    EXPECT_EQ(line.screenWidth, 640);
    EXPECT_EQ(line.screenHeight, 480);
    EXPECT_FALSE(line.fullScreen);
    EXPECT_FALSE(line.toolbox);
    EXPECT_EQ(line.frameLimit, 0);
}

TEST(CommandLine, TheLastOfWindowAndFullscreenWins) {
    EXPECT_FALSE(parse({"-fullscreen", "-window"}).fullScreen);
    EXPECT_TRUE(parse({"-window", "-fullscreen"}).fullScreen);
    EXPECT_TRUE(parse({"-fullscreen"}).fullScreen);
    EXPECT_TRUE(parse({"-window", "-fullscreen", "-res", "800", "600"}).fullScreen);
}

TEST(CommandLine, ResSetsTheSizeAndALaterOneWins) {
    CommandLine line = parse({"-res", "800", "600"});
    EXPECT_EQ(line.screenWidth, 800);
    EXPECT_EQ(line.screenHeight, 600);
    line = parse({"-res", "800", "600", "-res", "320", "240"});
    EXPECT_EQ(line.screenWidth, 320);
    EXPECT_EQ(line.screenHeight, 240);
}

TEST(CommandLine, ResValuesAreSkippedEvenWhenTheyLookLikeOptions) {
    CommandLine line = parse({"-res", "-fullscreen", "-window"});
    EXPECT_FALSE(line.fullScreen);
    EXPECT_EQ(line.screenWidth, 0);
    EXPECT_EQ(line.screenHeight, 0);
    line = parse({"-fullscreen", "-res", "1024", "-window", "x"});
    EXPECT_TRUE(line.fullScreen);
    EXPECT_EQ(line.screenWidth, 1024);
}

TEST(CommandLine, ResValuesAreReadLikeAtoiWithoutARangeCheck) {
    CommandLine line = parse({"-res", "abc", "600"});
    EXPECT_EQ(line.screenWidth, 0);
    EXPECT_EQ(line.screenHeight, 600);
    line = parse({"-res", "  +1280x", "-5"});
    EXPECT_EQ(line.screenWidth, 1280);
    EXPECT_EQ(line.screenHeight, -5);
}

TEST(CommandLine, AtoiRules) {
    EXPECT_EQ(readAtoiInt(""), 0);
    EXPECT_EQ(readAtoiInt("42"), 42);
    EXPECT_EQ(readAtoiInt(" \t\n42"), 42);
    EXPECT_EQ(readAtoiInt("-17"), -17);
    EXPECT_EQ(readAtoiInt("+17"), 17);
    EXPECT_EQ(readAtoiInt("12ab34"), 12);
    EXPECT_EQ(readAtoiInt("- 3"), 0);
    EXPECT_EQ(readAtoiInt("--3"), 0);
    EXPECT_EQ(readAtoiInt("x12"), 0);
    EXPECT_EQ(readAtoiInt("007"), 7);
    EXPECT_EQ(readAtoiInt("2147483647"), INT_MAX);
    EXPECT_EQ(readAtoiInt("-2147483648"), INT_MIN);
    EXPECT_EQ(readAtoiInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(readAtoiInt("-99999999999999999999"), INT_MIN);
}

TEST(CommandLine, OtherArgumentsAreIgnoredAndMatchingIsExact) {
    CommandLine line = parse({"-Window", "-FULLSCREEN", "--fullscreen", "fullscreen", "-res800", "hello"});
    EXPECT_FALSE(line.fullScreen);
    EXPECT_EQ(line.screenWidth, 640);
    EXPECT_EQ(line.screenHeight, 480);
    EXPECT_EQ(line.unknown,
              (std::vector<std::string>{"-Window", "-FULLSCREEN", "--fullscreen", "fullscreen", "-res800", "hello"}));
}

TEST(CommandLine, EachIgnoredArgumentGetsOneWarningLine) {
    CommandLine line = parse({"-fulscreen", "-res", "800", "600", "--data-dir", "saves", "x y"});
    EXPECT_EQ(unknownOptionWarnings(line),
              "kvr2013: ignoring unknown option '-fulscreen' (see --help)\n"
              "kvr2013: ignoring unknown option 'x y' (see --help)\n")
        << "values of options are not options";
    EXPECT_EQ(unknownOptionWarnings(parse({"-window"})), "");
    // The program's own path is not something the player typed.
    const char* args[] = {"/usr/bin/kvr2013"};
    EXPECT_TRUE(parseCommandLine(1, args).unknown.empty());
}

TEST(CommandLine, WhereTheFilesAreAndTheSwitchesThatOnlyPrint) {
    CommandLine line = parse({"--resources", "/opt/kvr/resource", "--data-dir", "saves", "--data-dir", "other"});
    EXPECT_EQ(line.resourcesDir, "/opt/kvr/resource");
    EXPECT_EQ(line.dataDir, "other") << "a later one wins";
    EXPECT_FALSE(line.help);
    EXPECT_FALSE(line.version);
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"-fullscreen", "--version"}).version);
    EXPECT_THROW(parse({"--resources"}), CommandLineError);
    EXPECT_THROW(parse({"-window", "--data-dir"}), CommandLineError);
}

TEST(CommandLine, TheHelpListsEveryOptionForThePlayerButNotTheTimingSwitch) {
    const std::string help = commandLineOptionsHelp();
    for (const char* option : {"-window", "-fullscreen", "-res W H", "--resources DIR", "--data-dir DIR", "--toolbox",
                               "--help", "--version"}) {
        EXPECT_NE(help.find(std::string("  ") + option + " "), std::string::npos) << option << "\n" << help;
    }
    EXPECT_EQ(help.find("--frames"), std::string::npos);
    size_t start = 0;
    for (size_t end = help.find('\n'); end != std::string::npos; start = end + 1, end = help.find('\n', start)) {
        EXPECT_LE(end - start, 79u) << help.substr(start, end - start);
    }
}

TEST(CommandLine, TheProgramPathIsWalkedToo) {
    const char* args[] = {"-fullscreen"};
    EXPECT_TRUE(parseCommandLine(1, args).fullScreen);
}

TEST(CommandLine, ResAmongTheLastTwoArgumentsIsAUsageError) {
    EXPECT_THROW(parse({"-res"}), CommandLineError);
    EXPECT_THROW(parse({"-res", "800"}), CommandLineError);
    EXPECT_THROW(parse({"-window", "-res", "800"}), CommandLineError);
    EXPECT_THROW(parse({"-res", "800", "600", "-res", "320"}), CommandLineError);
    EXPECT_NO_THROW(parse({"-res", "800", "600"}));
}

TEST(CommandLine, DeveloperSwitches) {
    CommandLine line = parse({"--toolbox", "--frames", "12"});
    EXPECT_TRUE(line.toolbox);
    EXPECT_EQ(line.frameLimit, 12);
    EXPECT_THROW(parse({"--frames"}), CommandLineError);
    EXPECT_THROW(parse({"--frames", "0"}), CommandLineError);
    EXPECT_THROW(parse({"--frames", "many"}), CommandLineError);
}

TEST(CommandLine, WatchTakesAReplayAStageAndAStartingSpeed) {
    CommandLine line = parse({"--watch", "replay/replay_01.bin", "--stage", "1"});
    EXPECT_EQ(line.watchFile, "replay/replay_01.bin");
    EXPECT_EQ(line.watchStage, 1);
    EXPECT_EQ(line.watchSpeedStep, -1) << "not given: the theatre starts at x1";
    const std::pair<const char*, const char*> speeds[] = {{"0.25", "x1/4"}, {"0.5", "x1/2"}, {"1", "x1"},
                                                          {"2", "x2"},     {"4", "x4"},     {"8", "x8"},
                                                          {"8.0", "x8"},   {"0.50", "x1/2"}};
    for (const auto& [text, label] : speeds) {
        line = parse({"--speed", text, "-window", "--stage", "3", "--watch", "/tmp/best run.bin"});
        EXPECT_STREQ(theatreSpeed(line.watchSpeedStep).label, label) << text;
        EXPECT_EQ(line.watchStage, 3);
        EXPECT_EQ(line.watchFile, "/tmp/best run.bin");
    }
    EXPECT_EQ(parse({}).watchFile, "") << "without --watch the game starts on its logo";
    const std::string help = commandLineOptionsHelp();
    for (const char* row : {"  --watch FILE ", "  --stage S ", "  --speed X "}) {
        EXPECT_NE(help.find(row), std::string::npos) << row << "\n" << help;
    }
}

TEST(CommandLine, WatchingWithoutAStageOrAtAnotherSpeedIsAUsageError) {
    for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{
             {"--watch", "a.bin"},
             {"--watch", "a.bin", "--stage"},
             {"--watch", "a.bin", "--stage", "4"},
             {"--watch", "a.bin", "--stage", "-1"},
             {"--watch", "a.bin", "--stage", "01"},
             {"--watch", "a.bin", "--stage", "0", "--speed", "3"},
             {"--watch", "a.bin", "--stage", "0", "--speed", "16"},
             {"--watch", "a.bin", "--stage", "0", "--speed", "x2"},
             {"--watch", "a.bin", "--stage", "0", "--speed", "2x"},
             {"--watch", "a.bin", "--stage", "0", "--speed", "0.5abc"},
             {"--watch", "a.bin", "--stage", "0", "--speed", ""},
             {"--watch", "a.bin", "--stage", "0", "--speed"},
             {"--watch", "", "--stage", "0"},
             {"--watch"},
             {"--stage", "2"},
             {"--speed", "2"},
         }) {
        std::string shown;
        for (const char* arg : args) shown += std::string(arg) + " ";
        EXPECT_THROW(parse(args), CommandLineError) << shown;
    }
}

TEST(CommandLine, AScoreServerForOneSessionIsAnHttpUrlOrAUsageError) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"https://scores.example.org/", "https://scores.example.org"},
        {"ftp://scores.example.org", nullptr},
        {"scores.example.org", nullptr},
        {"http://", nullptr},
        {"http://two words", nullptr},
        {"", nullptr},
    };
    for (const auto& [given, kept] : cases) {
        if (kept) {
            EXPECT_EQ(parse({"--score-server", given}).scoreServer, kept) << given;
        } else {
            EXPECT_THROW(parse({"--score-server", given}), CommandLineError) << given;
        }
    }
    EXPECT_EQ(parse({}).scoreServer, "") << "without it, config.ini says";
    EXPECT_THROW(parse({"--score-server"}), CommandLineError);
    EXPECT_NE(commandLineOptionsHelp().find("  --score-server URL "), std::string::npos);
}

}  // namespace
