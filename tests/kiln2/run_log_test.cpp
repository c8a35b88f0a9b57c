// The run log: a fresh file per start, text appended exactly as logged and
// in order, and the headless switches for where it goes.
#include "kiln_test_support.h"

using namespace kiln_test;

namespace {

class RunLog : public HeadlessTest {};

TEST_F(RunLog, StartDeletesTheOldLogAndLoggingNothingLeavesNoFile) {
    std::ofstream("run.log") << "old run\n";
    start(noFiles());
    EXPECT_FALSE(std::filesystem::exists("run.log"));
}

TEST_F(RunLog, PiecesWithoutLineFeedsJoinIntoOneLine) {
    start(noFiles());
    Kiln_log("Unknown msg at loop.");
    Kiln_log("Exec loop.\n");
    Kiln_log("%d0m %s\n", 42, "done");
    EXPECT_EQ(readFile("run.log"), "Unknown msg at loop.Exec loop.\n420m done\n");
}

TEST_F(RunLog, ExceptionTextGetsALineFeed) {
    start(noFiles());
    Kiln_log("Exec loop.\n");
    Kiln_logException(KilnQuit());
    Kiln_logException(KilnError("ConfigParser: broken"));
    EXPECT_EQ(readFile("run.log"), "Exec loop.\ndKiln system quit.\nConfigParser: broken\n");
}

TEST_F(RunLog, EachStartBeginsAFreshLog) {
    start(noFiles());
    Kiln_log("first run\n");
    Kiln_quit();
    start(noFiles());
    Kiln_log("second run\n");
    EXPECT_EQ(readFile("run.log"), "second run\n");
}

TEST_F(RunLog, CanBeKeptOffDisk) {
    std::ofstream("run.log") << "kept\n";
    KilnHeadlessOptions options = noFiles();
    options.writeRunLog = false;
    start(options);
    Kiln_log("not written\n");
    Kiln_logException(KilnQuit());
    EXPECT_EQ(readFile("run.log"), "kept\n");
}

TEST_F(RunLog, GoesToStandardOutputOrStandardError) {
    KilnHeadlessOptions options = noFiles();
    options.logToStderr = false;
    start(options);
    testing::internal::CaptureStdout();
    Kiln_log("to stdout %d\n", 1);
    Kiln_logException(KilnError("oops"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "to stdout 1\noops\n");

    options.logToStderr = true;
    start(options);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Kiln_log("to stderr\n");
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "to stderr\n");
}

// A full disk or a directory taken away during play must not end the game.
TEST_F(RunLog, AnUnwritableLogIsSaidOnceOnStderrAndTheRunGoesOn) {
    start(noFiles());
    std::filesystem::create_directory("run.log");
    testing::internal::CaptureStderr();
    EXPECT_EQ(errorOf([] { Kiln_log("x\n"); }), "");
    EXPECT_EQ(errorOf([] { Kiln_logException(KilnError("y")); }), "");
    EXPECT_EQ(errorOf([] { Kiln_log("z\n"); }), "");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "x\nrun.log: Is a directory; the rest of this run is not written to it\ny\nz\n");
    EXPECT_TRUE(std::filesystem::is_empty("run.log")) << "nothing is put inside what stands in its place";
}

}  // namespace
