// A replace is: temporary file opened, written, synced and closed, renamed
// over the target, then the directory opened, synced and closed. Each of
// those steps may fail; the save must then say so and leave no temporary file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "config/temp_dir.h"
#include "durable_file/durable_file.h"

namespace {

// The real system calls, each noted by what it touches, the one named failAt failing with EIO.
struct Recorder {
    std::vector<std::string> steps;
    std::vector<std::string> syncedDirs;
    std::map<int, std::string> fdKinds;
    std::string failAt;
    size_t largestWrite = 1 << 20;
};
Recorder* recorder = nullptr;

bool step(const std::string& name) {
    recorder->steps.push_back(name);
    if (name != recorder->failAt) return true;
    errno = EIO;
    return false;
}

const durable::FileOps kRecordingOps{
    [](const char* path, int flags, mode_t mode) {
        const std::string kind = (flags & O_DIRECTORY) ? "dir" : "temp";
        if (!step("open " + kind)) return -1;
        const int fd = durable::systemFileOps().open(path, flags, mode);
        recorder->fdKinds[fd] = kind;
        if (kind == "dir") recorder->syncedDirs.push_back(path);
        return fd;
    },
    [](int fd, const void* data, size_t size) -> ssize_t {
        if (!step("write " + recorder->fdKinds[fd])) return -1;
        return durable::systemFileOps().write(fd, data, std::min(size, recorder->largestWrite));
    },
    [](int fd) { return step("fsync " + recorder->fdKinds[fd]) ? durable::systemFileOps().fsync(fd) : -1; },
    [](int fd) {
        const bool ok = step("close " + recorder->fdKinds[fd]);
        durable::systemFileOps().close(fd);  // a failed close still releases the descriptor
        return ok ? 0 : -1;
    },
    [](const char* from, const char* to) { return step("rename") ? durable::systemFileOps().rename(from, to) : -1; },
    [](const char* path) { return step("unlink temp") ? durable::systemFileOps().unlink(path) : -1; },
};

class DurableFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        recorder = &record;
        durable::fileOps() = kRecordingOps;
        writeText(target, "old bytes\n");
    }
    void TearDown() override {
        durable::fileOps() = durable::systemFileOps();
        recorder = nullptr;
    }
    // Saves "new bytes\n" either from memory or through a writer that writes the file by name.
    int save(bool byName, const std::string& file) {
        if (!byName) return durable::replaceFile(file, "new bytes\n", ".tmp");
        return durable::replaceFileWrittenBy(file, ".part", [this](const std::string& temp) {
            writeText(temp, "new bytes\n");
            return record.failAt != "writer";
        });
    }
    std::vector<std::string> leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "config.ini") names.push_back(name);
        }
        return names;
    }

    TempDir dir;
    std::string target = dir.file("config.ini");
    Recorder record;
};

const std::vector<std::string> kFromMemory{"open temp",   "write temp", "fsync temp", "close temp",
                                           "rename",      "open dir",   "fsync dir",  "close dir"};
const std::vector<std::string> kByName{"open temp", "fsync temp", "close temp", "rename",
                                       "open dir",  "fsync dir",  "close dir"};

TEST_F(DurableFileTest, TheFileIsSyncedBeforeTheRenameAndTheDirectoryAfter) {
    for (bool byName : {false, true}) {
        record.steps.clear();
        ASSERT_EQ(save(byName, target), 0);
        EXPECT_EQ(record.steps, byName ? kByName : kFromMemory);
        EXPECT_EQ(readText(target), "new bytes\n");
        EXPECT_EQ(record.syncedDirs.back(), dir.path().string());
        EXPECT_TRUE(leftovers().empty());
    }
}

TEST_F(DurableFileTest, AFailureAtAnyStepFailsTheSaveAndLeavesNoTemporaryFile) {
    struct Case {
        bool byName;
        const char* failAt;
        const char* targetAfter;  // before the rename the old bytes stay; after it the new are already in place
    };
    const Case cases[] = {
        {false, "open temp", "old bytes\n"}, {false, "write temp", "old bytes\n"}, {false, "fsync temp", "old bytes\n"},
        {false, "close temp", "old bytes\n"}, {false, "rename", "old bytes\n"},    {false, "open dir", "new bytes\n"},
        {false, "fsync dir", "new bytes\n"}, {false, "close dir", "new bytes\n"},  {true, "writer", "old bytes\n"},
        {true, "open temp", "old bytes\n"},  {true, "fsync temp", "old bytes\n"},  {true, "rename", "old bytes\n"},
        {true, "fsync dir", "new bytes\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.byName ? "by name, " : "from memory, ") + c.failAt);
        writeText(target, "old bytes\n");
        record.steps.clear();
        record.failAt = c.failAt;
        EXPECT_EQ(save(c.byName, target), EIO);
        EXPECT_EQ(readText(target), c.targetAfter);
        EXPECT_TRUE(leftovers().empty()) << leftovers().front();
    }
}

TEST_F(DurableFileTest, ShortWritesStillWriteEveryByte) {
    record.largestWrite = 3;
    ASSERT_EQ(save(false, target), 0);
    EXPECT_EQ(readText(target), "new bytes\n");
}

TEST_F(DurableFileTest, TheDirectorySyncedIsTheOneHoldingTheTarget) {
    std::filesystem::create_directory(dir.file("replay"));
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const std::pair<std::string, std::string> cases[] = {
        {"config.ini", "."}, {"replay/replay_00.bin", "replay"}, {target, dir.path().string()}};
    for (const auto& [file, expectedDir] : cases) {
        EXPECT_EQ(save(false, file), 0) << file;
        EXPECT_EQ(record.syncedDirs.back(), expectedDir) << file;
    }
    std::filesystem::current_path(previous);
}

}  // namespace
