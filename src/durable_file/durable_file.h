// Replacing a file so that after a crash or a power cut it holds either all
// of its old bytes or all of its new ones: the new bytes go to a temporary
// file beside it, which is synced, renamed over it, and then the directory
// is synced so the rename itself is on disk. Every save of a player's file
// (settings, replays, screenshots) goes through here.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace durable {

// The system calls a replace goes through. Tests put their own in place to
// follow the order of the operations or to make one of them fail.
struct FileOps {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
};

// The table in use, the real system calls unless a test has changed it.
FileOps& fileOps();
const FileOps& systemFileOps();

// Builds the new file piece by piece, for callers that write as they go.
// Errors are errno values (0 for success); after the first error the save
// is abandoned, its temporary file removed, and every later call fails.
class FileWriter {
public:
    // Nothing is opened yet: open() creates target + tempSuffix with the
    // given mode (less the umask), which the target then has.
    FileWriter(std::string target, std::string tempSuffix, mode_t mode = 0666);
    // Removes the temporary file unless commit() succeeded.
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    int open();
    int write(const void* data, size_t size);
    // Syncs the temporary file, renames it over the target and syncs the
    // directory. A failure of the last step leaves the new file in place,
    // but the save is still reported failed: it may not survive a power cut.
    int commit();

private:
    int abandon(int error);

    std::string target_;
    std::string temp_;
    mode_t mode_;
    int fd_ = -1;
    bool tempExists_ = false;
    int error_ = 0;
};

// target's bytes become data, through target + tempSuffix (a private file
// such as a key passes mode 0600).
int replaceFile(const std::string& target, std::string_view data, const std::string& tempSuffix = ".tmp",
                mode_t mode = 0666);

// For files another library writes by name (a PNG encoder): writeTemp is
// given the temporary file's name and returns false when it wrote nothing
// whole; the file is then synced and renamed like any other.
int replaceFileWrittenBy(const std::string& target, const std::string& tempSuffix,
                         const std::function<bool(const std::string& tempFile)>& writeTemp);

}  // namespace durable
