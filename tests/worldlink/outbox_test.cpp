// The outbox on disk: a record is one file written whole or not at all, even
// when the process dies in the middle of writing it; its name keeps its
// stage and token; a refused one is kept with its reason.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "durable_file/durable_file.h"
#include "fake_server.h"
#include "worldlink/outbox.h"

using namespace worldlink;
using namespace worldlink_test;

namespace {

std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Every name the directory holds, temporary files included.
std::vector<std::string> namesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(dir, error)) names.push_back(item.path().filename().string());
    return names;
}

TEST(Outbox, AFileNameKeepsTheRecordsStageAndTokenAndNothingElseReadsAsARecord) {
    const OutboxRecord record{"", 2, "ab12"};
    const std::string name = outboxFileName(record, 1700000000123LL, 7);
    EXPECT_EQ(name, "1700000000123-0007-s2-tab12.bin");
    const auto read = outboxRecordNamed(name);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->stage, 2);
    EXPECT_EQ(read->token, "ab12");
    EXPECT_EQ(outboxRecordNamed("1700000000123-0007-s3.bin")->token, "");

    for (const char* notRecord : {"1700000000123-0007-s2-tab12.bin.tmp", "1700000000123-0007-s4.bin",
                                  "1700000000123-0007-s2-tAB12.bin", "1700000000123-0007-s2-t.bin",
                                  "170000000012x-0007-s2.bin", "1700000000123-0007-s2-x.bin", "refused", ".bin"}) {
        EXPECT_FALSE(outboxRecordNamed(notRecord).has_value()) << notRecord;
    }
}

TEST(Outbox, ASaveThatFailsAtAnyStepLeavesNoRecordAndAWholeOneIsKeptAsItWas) {
    TempDir dir;
    const std::string replay = writeReplay(dir, "replay_01.bin", 3, '\x05');
    // The step of the save that fails; every write is short, as on a filling disk.
    static std::string failing;
    static int writes;
    const durable::FileOps faulty{
        [](const char* path, int flags, mode_t mode) {
            const bool dir = (flags & O_DIRECTORY) != 0;
            if (failing == (dir ? "open dir" : "open")) return errno = ENOSPC, -1;
            return durable::systemFileOps().open(path, flags, mode);
        },
        [](int fd, const void* data, size_t size) -> ssize_t {
            if (failing == "write " + std::to_string(++writes)) return errno = ENOSPC, -1;
            return durable::systemFileOps().write(fd, data, size / 2 + 1);
        },
        [](int fd) { return failing == "fsync" ? (errno = EIO, -1) : durable::systemFileOps().fsync(fd); },
        durable::systemFileOps().close,
        [](const char* from, const char* to) {
            return failing == "rename" ? (errno = EIO, -1) : durable::systemFileOps().rename(from, to);
        },
        durable::systemFileOps().unlink,
    };
    Outbox outbox(dir.file("outbox"));
    for (const char* step : {"open", "write 1", "write 2", "write 3", "fsync", "rename"}) {
        SCOPED_TRACE(step);
        failing = step;
        writes = 0;
        durable::fileOps() = faulty;
        const auto kept = outbox.keep(1, replay, "", 1700000000000LL);
        durable::fileOps() = durable::systemFileOps();
        EXPECT_FALSE(kept.has_value());
        EXPECT_TRUE(outbox.waiting().empty());
        EXPECT_TRUE(namesIn(dir.path / "outbox").empty());
    }
    const auto kept = outbox.keep(1, replay, "c0ffee", 1700000000000LL);
    ASSERT_TRUE(kept.has_value());
    ASSERT_EQ(outbox.waiting().size(), 1u);
    EXPECT_EQ(outbox.waiting()[0].token, "c0ffee");
    EXPECT_EQ(outbox.replay(outbox.waiting()[0]), std::string(72, '\x05'));
}

TEST(Outbox, AProcessKilledWhileSavingLeavesTheWholeRecordOrNone) {
    TempDir dir;
    const std::string replay = writeReplay(dir, "replay_01.bin", 1000, '\x06');
    Outbox outbox(dir.file("outbox"));
    ASSERT_TRUE(outbox.keep(0, replay, "", 1700000000000LL).has_value());  // an older record, whole
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Dies with a part of the new record written and nothing cleaned up.
        durable::fileOps().write = [](int fd, const void* data, size_t size) -> ssize_t {
            durable::systemFileOps().write(fd, data, size / 3);
            ::_exit(9);
        };
        Outbox(dir.file("outbox")).keep(1, replay, "", 1700000000001LL);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 9);

    const auto waiting = outbox.waiting();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].stage, 0);
    EXPECT_EQ(outbox.replay(waiting[0])->size(), 24000u);
}

TEST(Outbox, ARefusedRecordIsKeptWithItsReasonAndNoLongerWaits) {
    TempDir dir;
    Outbox outbox(dir.file("outbox"));
    const auto kept = outbox.keep(3, writeReplay(dir, "replay_03.bin", 2, '\x07'), "", 1700000000000LL);
    ASSERT_TRUE(kept.has_value());
    ASSERT_TRUE(outbox.refuse(*kept, "HTTP 422: the replay does not play to its end"));
    EXPECT_TRUE(outbox.waiting().empty());
    const std::string kept_file = outbox.refusedDir() + "/" + kept->name;
    EXPECT_EQ(contents(kept_file), std::string(48, '\x07'));
    EXPECT_EQ(contents(kept_file + ".reason"), "HTTP 422: the replay does not play to its end\n");
}

}  // namespace
