// A record saved by the real code, watched from outside with strace: each
// file's new bytes are synced before it is renamed over the old file, and
// its directory is synced after the rename, so a power cut at any moment
// brings back the old record or the new one, never an empty file and never
// the old one after the game has said the new one is saved.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "proof_support.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool contains(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

// Index of the first line from `from` on that has every part; -1 when none has.
int findLine(const std::vector<std::string>& lines, size_t from, const std::vector<std::string>& parts) {
    for (size_t i = from; i < lines.size(); ++i) {
        bool all = true;
        for (const std::string& part : parts) all = all && contains(lines[i], part);
        if (all) return static_cast<int>(i);
    }
    return -1;
}

TEST(SaveOrder, EachFileIsSyncedBeforeItsRenameAndItsDirectoryAfter) {
    proof::ScratchDir dir;
    const std::filesystem::path root = std::filesystem::canonical(dir.path());
    const std::string log = (root / "strace.log").string();
    const std::string saveDir = (root / "save").string();
    std::filesystem::create_directory(saveDir);
    proof::ChildResult child = proof::runInChild([&] {
        // The leak checker cannot run under ptrace: in the sanitizer build it
        // would fail the traced save for a reason of its own.
        ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        ::execlp("strace", "strace", "-f", "-y", "-o", log.c_str(), "-e",
                 "trace=fsync,fdatasync,rename,renameat,renameat2", KVR_SAVE_DRIVER, saveDir.c_str(), "once",
                 static_cast<char*>(nullptr));
        return 127;  // scripts/setup.sh installs strace
    });
    ASSERT_EQ(child.exitStatus, 0) << child.output;
    const std::vector<std::string> calls = linesOf(proof::readFile(log));

    for (const std::string target : {"replay/replay_00.bin", "config.ini"}) {
        SCOPED_TRACE(target);
        const std::filesystem::path file = std::filesystem::path(saveDir) / target;
        const int rename = findLine(calls, 0, {"rename", "\"" + target + ".tmp\"", "\"" + target + "\""});
        ASSERT_GE(rename, 0) << proof::readFile(log);
        const int fileSync = findLine(calls, 0, {"sync(", "<" + file.string() + ".tmp>)"});
        EXPECT_GE(fileSync, 0) << "the new file is never synced";
        EXPECT_LT(fileSync, rename) << "the new file is synced after it has replaced the old one";
        EXPECT_GE(findLine(calls, rename, {"sync(", "<" + file.parent_path().string() + ">)"}), 0)
            << "the directory is not synced after the rename";
    }
}

}  // namespace
