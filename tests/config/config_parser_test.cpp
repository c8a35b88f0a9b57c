// How "config.ini"-style files are read, converted and written back.
#include "config/config_parser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_dir.h"

namespace {

// Loads text through a real file, as the game does.
ConfigParser parse(const TempDir& dir, const std::string& text) {
    const std::string file = dir.file("parse.ini");
    writeText(file, text);
    ConfigParser config;
    config.load(file);
    return config;
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ConfigError& e) {
        return e.what();
    }
    return "(no ConfigError)";
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// ---- Line format ----

TEST(ConfigFormat, CommentAfterValueAndNoSpacesAroundEquals) {
    TempDir dir;
    ConfigParser config = parse(dir, "HI_SCORE1=120 # best run so far\n");
    EXPECT_EQ(config.getString("HI_SCORE1"), "120");
    EXPECT_EQ(config.getInt("HI_SCORE1"), 120);
}

TEST(ConfigFormat, SpacesAroundKeyEqualsAndValueAreTrimmed) {
    TempDir dir;
    ConfigParser config = parse(dir, "  MODE  =  1  \n\tNAME = a b\t\n");
    EXPECT_EQ(config.getString("MODE"), "1");
    EXPECT_EQ(config.getString("NAME"), "a b");
}

TEST(ConfigFormat, CommentLinesBlankLinesAndLinesWithoutEqualsSetNothing) {
    TempDir dir;
    ConfigParser config = parse(dir, "# A = 5\n\n   \njust words\n#=7\n");
    EXPECT_EQ(config.keyCount(), 0);
    EXPECT_TRUE(config.keyOrder().empty());
    EXPECT_FALSE(config.hasKey("A"));
    EXPECT_FALSE(config.hasKey(""));
}

TEST(ConfigFormat, CrLfLineEndsReadLikeLf) {
    TempDir dir;
    ConfigParser config = parse(dir, "A = 1\r\nB=2\r\nC =\r\n");
    EXPECT_EQ(config.getString("A"), "1");
    EXPECT_EQ(config.getString("B"), "2");
    EXPECT_EQ(config.getString("C"), "");
    EXPECT_EQ(config.getInt("B"), 2);
}

TEST(ConfigFormat, LastLineWithoutLineFeedIsRead) {
    TempDir dir;
    ConfigParser config = parse(dir, "A = 1\nB = 2");
    EXPECT_EQ(config.getString("B"), "2");
}

TEST(ConfigFormat, EmptyKeyIsAllowed) {
    TempDir dir;
    ConfigParser config = parse(dir, "=5\n");
    EXPECT_EQ(config.keyCount(), 1);
    EXPECT_EQ(config.getString(""), "5");
}

TEST(ConfigFormat, OnlyTheFirstTwoPiecesOfALineCount) {
    TempDir dir;
    ConfigParser config = parse(dir, "A = 1 = 2\nB==2\n");
    EXPECT_EQ(config.getString("A"), "1");
    EXPECT_EQ(config.getString("B"), "");
}

TEST(ConfigFormat, DuplicateKeyKeepsFirstPositionAndLastValue) {
    TempDir dir;
    ConfigParser config = parse(dir, "A = 1\nB = 2\nA = 3\n");
    EXPECT_EQ(config.keyCount(), 2);
    EXPECT_EQ(config.keyOrder(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(config.getString("A"), "3");

    const std::string out = dir.file("out.ini");
    config.save(out);
    EXPECT_EQ(readText(out), "A = 3\nB = 2\n");
}

TEST(ConfigFormat, LoadReplacesWhatWasThere) {
    TempDir dir;
    ConfigParser config;
    config.set("OLD", "1");
    writeText(dir.file("a.ini"), "NEW = 2\n");
    config.load(dir.file("a.ini"));
    EXPECT_FALSE(config.hasKey("OLD"));
    EXPECT_EQ(config.keyCount(), 1);
    EXPECT_EQ(config.keyOrder(), (std::vector<std::string>{"NEW"}));
}

// ---- Conversions ----

TEST(ConfigConvert, MissingKeyThrowsTheCheckKeyMessageFromEveryGetter) {
    ConfigParser config;
    const std::string expected = "ConfigParser.checkKey(): not exist key ... 'NOPE'";
    EXPECT_EQ(errorOf([&] { config.getString("NOPE"); }), expected);
    EXPECT_EQ(errorOf([&] { config.getInt("NOPE"); }), expected);
    EXPECT_EQ(errorOf([&] { config.getFloat("NOPE"); }), expected);
    EXPECT_EQ(errorOf([&] { config.getBool("NOPE"); }), expected);
}

TEST(ConfigConvert, IntegersAreDigitsOnly) {
    ConfigParser config;
    config.set("X", "-3");
    EXPECT_EQ(errorOf([&] { config.getInt("X"); }), "not digit value ... 'X' -> '-3'");
    config.set("X", "+3");
    EXPECT_EQ(errorOf([&] { config.getInt("X"); }), "not digit value ... 'X' -> '+3'");
    config.set("X", "12a");
    EXPECT_EQ(errorOf([&] { config.getInt("X"); }), "not digit value ... 'X' -> '12a'");
    config.set("X", " 12");
    EXPECT_EQ(errorOf([&] { config.getInt("X"); }), "not digit value ... 'X' -> ' 12'");
    config.set("X", "1.5");
    EXPECT_EQ(errorOf([&] { config.getInt("X"); }), "not digit value ... 'X' -> '1.5'");

    config.set("X", "");
    EXPECT_EQ(config.getInt("X"), 0);
    config.set("X", "007");
    EXPECT_EQ(config.getInt("X"), 7);
    config.set("X", "98765");
    EXPECT_EQ(config.getInt("X"), 98765);
}

TEST(ConfigConvert, IntegersBeyond32BitsAreBadNumbers) {
    ConfigParser config;
    config.set("BIG", "2147483647");
    EXPECT_EQ(config.getInt("BIG"), INT_MAX);
    config.set("BIG", "0000000000002147483647");
    EXPECT_EQ(config.getInt("BIG"), INT_MAX);
    for (const char* tooBig : {"2147483648", "4294967296", "99999999999999999999999999"}) {
        config.set("BIG", tooBig);
        EXPECT_EQ(errorOf([&] { config.getInt("BIG"); }), std::string("not digit value ... 'BIG' -> '") + tooBig + "'");
    }
}

TEST(ConfigConvert, FloatsAreDigitsAndPointsReadLikeAtof) {
    ConfigParser config;
    config.set("F", "1.5");
    EXPECT_DOUBLE_EQ(config.getFloat("F"), 1.5);
    config.set("F", "1.5.7");
    EXPECT_DOUBLE_EQ(config.getFloat("F"), 1.5);
    config.set("F", "");
    EXPECT_DOUBLE_EQ(config.getFloat("F"), 0.0);
    config.set("F", "42");
    EXPECT_DOUBLE_EQ(config.getFloat("F"), 42.0);
    for (const char* bad : {"-1.0", "1e5", "1.0f", " 1"}) {
        config.set("F", bad);
        EXPECT_EQ(errorOf([&] { config.getFloat("F"); }), std::string("not digit value ... 'F' -> '") + bad + "'");
    }
}

TEST(ConfigConvert, BooleansAreEightExactWords) {
    ConfigParser config;
    const std::pair<const char*, bool> words[] = {{"0", false},   {"1", true},   {"no", false},   {"on", true},
                                                  {"off", false}, {"yes", true}, {"true", true}, {"false", false}};
    for (const auto& [word, value] : words) {
        config.set("B", word);
        EXPECT_EQ(config.getBool("B"), value) << word;
    }
    for (const char* bad : {"True", "YES", "2", "", " on"}) {
        config.set("B", bad);
        EXPECT_EQ(errorOf([&] { config.getBool("B"); }), std::string("not boolean value ... 'B' -> '") + bad + "'");
    }
}

TEST(ConfigConvert, SettersStoreText) {
    ConfigParser config;
    config.setInt("I", -42);
    EXPECT_EQ(config.getString("I"), "-42");
    config.setInt("I", INT_MIN);
    EXPECT_EQ(config.getString("I"), "-2147483648");
    config.setBool("T", true);
    config.setBool("F", false);
    EXPECT_EQ(config.getString("T"), "true");
    EXPECT_EQ(config.getString("F"), "false");
    config.setFloat("R", 0.1f);
    EXPECT_EQ(config.getString("R"), "0.1");
    config.setFloat("R", 1234567.0f);
    EXPECT_EQ(config.getString("R"), "1.23457e+06");
    EXPECT_EQ(errorOf([&] { config.getFloat("R"); }), "not digit value ... 'R' -> '1.23457e+06'");
}

TEST(ConfigConvert, SetCountsOnlyNewKeysAndClearForgetsAll) {
    ConfigParser config;
    config.set("A", "1");
    config.set("B", "2");
    config.set("A", "3");
    EXPECT_EQ(config.keyCount(), 2);
    EXPECT_EQ(config.keyOrder(), (std::vector<std::string>{"A", "B"}));
    config.clear();
    EXPECT_EQ(config.keyCount(), 0);
    EXPECT_TRUE(config.keyOrder().empty());
    EXPECT_FALSE(config.hasKey("A"));
}

// ---- Saving ----

TEST(ConfigSave, WritesOneLinePerKeyInOrderOfFirstSetting) {
    TempDir dir;
    ConfigParser config;
    config.setInt("HI_SCORE1", 0);
    config.setInt("HI_SCORE2", 0);
    config.setInt("HI_SCORE3", 0);
    config.setInt("HI_SCORE4", 0);
    config.setInt("MODE", 1);
    config.setInt("HI_SCORE2", 777);
    const std::string file = dir.file("config.ini");
    config.save(file);
    EXPECT_EQ(readText(file), "HI_SCORE1 = 0\nHI_SCORE2 = 777\nHI_SCORE3 = 0\nHI_SCORE4 = 0\nMODE = 1\n");
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
    EXPECT_EQ(config.keyCount(), 5);
}

TEST(ConfigSave, DropsCommentsAndSpacingAndReadsBackTheSame) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, "# settings\n  B=2 # two\r\n\nA =  x y \n");
    ConfigParser config;
    config.load(file);
    config.save("");  // empty name: the file of the last load
    EXPECT_EQ(readText(file), "B = 2\nA = x y\n");
    ConfigParser again;
    again.load(file);
    EXPECT_EQ(again.keyOrder(), config.keyOrder());
    EXPECT_EQ(again.getString("A"), "x y");
}

TEST(ConfigSave, ReplacesALongerOldFileCompletely) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, std::string(5000, 'z') + "\n");
    ConfigParser config;
    config.set("A", "1");
    config.save(file);
    EXPECT_EQ(readText(file), "A = 1\n");
}

TEST(ConfigSave, MissingDirectoryThrowsTheSystemErrorText) {
    TempDir dir;
    ConfigParser config;
    config.set("A", "1");
    const std::string file = dir.file("no-such-dir/config.ini");
    const std::string message = errorOf([&] { config.save(file); });
    EXPECT_TRUE(contains(message, std::strerror(ENOENT))) << message;
    EXPECT_TRUE(contains(message, file)) << message;
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(ConfigSave, UnwritablePlaceUnderProcThrows) {
    ConfigParser config;
    config.set("A", "1");
    const std::string message = errorOf([&] { config.save("/proc/kvr-config-test/config.ini"); });
    EXPECT_TRUE(contains(message, "ConfigParser.save(): /proc/kvr-config-test/config.ini: ")) << message;
}

TEST(ConfigSave, FailingToCreateTheTemporaryFileLeavesTheOldFile) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, "A = old\n");
    ConfigParser config;
    config.set("A", "new");
    if (::geteuid() != 0) {
        // A read-only directory stops an ordinary user from creating anything in it.
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        const std::string message = errorOf([&] { config.save(file); });
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
        EXPECT_TRUE(contains(message, std::strerror(EACCES))) << message;
    } else {
        // Permissions do not stop root; a directory squatting on the temporary name does.
        std::filesystem::create_directories(file + ".tmp/inside");
        const std::string message = errorOf([&] { config.save(file); });
        EXPECT_TRUE(contains(message, std::strerror(EISDIR))) << message;
        EXPECT_TRUE(std::filesystem::exists(file + ".tmp/inside"));
    }
    EXPECT_EQ(readText(file), "A = old\n");
}

TEST(ConfigSave, WriteErrorLikeAFullDiskLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, "A = old\n");
    ConfigParser config;
    config.set("A", std::string(4096, 'n'));

    // A file-size limit makes write() fail part way, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = errorOf([&] { config.save(file); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(contains(message, std::strerror(EFBIG))) << message;
    EXPECT_EQ(readText(file), "A = old\n");
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
}

TEST(ConfigSave, RenameFailureRemovesTheTemporaryFile) {
    TempDir dir;
    // A non-empty directory where the file should go cannot be renamed over.
    const std::string file = dir.file("config.ini");
    std::filesystem::create_directories(file + "/keep");
    ConfigParser config;
    config.set("A", "1");
    const std::string message = errorOf([&] { config.save(file); });
    EXPECT_TRUE(contains(message, "ConfigParser.save(): " + file + ": ")) << message;
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
    EXPECT_TRUE(std::filesystem::exists(file + "/keep"));
}

// ---- Loading errors, times, dump ----

TEST(ConfigLoad, MissingFileThrowsTheSystemErrorAndLeavesContentCleared) {
    TempDir dir;
    ConfigParser config;
    config.set("A", "1");
    const std::string file = dir.file("absent.ini");
    const std::string message = errorOf([&] { config.load(file); });
    EXPECT_EQ(message, "ConfigParser.load(): " + file + ": " + std::strerror(ENOENT));
    EXPECT_EQ(config.keyCount(), 0);
    EXPECT_FALSE(config.hasKey("A"));
    EXPECT_EQ(config.fileName(), file);
}

TEST(ConfigLoad, DirectoryInPlaceOfTheFileThrows) {
    TempDir dir;
    ConfigParser config;
    const std::string message = errorOf([&] { config.load(dir.path().string()); });
    EXPECT_TRUE(contains(message, std::strerror(EISDIR))) << message;
}

TEST(ConfigLoad, IsUpToDateUntilTheFileIsAccessedAgain) {
    TempDir dir;
    const std::string file = dir.file("config.ini");
    writeText(file, "A = 1\n");
    ConfigParser config;
    config.load(file);
    EXPECT_TRUE(config.isUpToDate());

    // Stamp a later access time on the file, keeping its modification time.
    struct timespec times[2];
    ASSERT_EQ(::clock_gettime(CLOCK_REALTIME, &times[0]), 0);
    times[0].tv_sec += 3600;
    times[1].tv_nsec = UTIME_OMIT;
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    EXPECT_FALSE(config.isUpToDate());

    writeText(file, "A = 2\n");
    config.reload();
    EXPECT_EQ(config.getString("A"), "2");
    EXPECT_TRUE(config.isUpToDate());
}

TEST(ConfigDump, PrintsEveryKeyInMapOrderWithATrailingComma) {
    ConfigParser config;
    config.set("MODE", "1");
    config.set("HI_SCORE1", "120");
    testing::internal::CaptureStdout();
    config.dump();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "{\n  \"HI_SCORE1\" : \"120\",\n  \"MODE\" : \"1\",\n}\n");

    ConfigParser empty;
    testing::internal::CaptureStdout();
    empty.dump();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "{\n}\n");
}
